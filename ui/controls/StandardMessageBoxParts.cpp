#include "ui/controls/StandardMessageBoxParts.h"

#include "ui/controls/ExButton.h"
#include "ui/controls/ExLabel.h"

namespace ui::controls {

namespace {

template <class Control>
class Part : public MessageBoxPart {
 public:
  Control& made() { return control_; }
  ControlObject& control() override { return control_; }
  std::string tag() override { return control_.tag(); }
  void setTag(const std::string& text) override { control_.tag(text); }
  void moveTo(float x, float y) override { control_.move(x, y); }

 private:
  Control control_;
};

}  // namespace

std::unique_ptr<MessageBoxPart> StandardMessageBoxParts::makeLabel(HWND box, const std::string& text,
                                                                   platform::gfx::RectF bounds, Argb textColour,
                                                                   int formatFlags) {
  auto part = std::make_unique<Part<ExLabel>>();
  LabelOptions options;
  options.textColour = textColour;
  options.formatFlags = formatFlags;
  if (part->made().create(box, text, bounds, options) == 0) return nullptr;
  return part;
}

std::unique_ptr<MessageBoxPart> StandardMessageBoxParts::makeButton(HWND box, const std::string& caption,
                                                                    platform::gfx::RectF bounds) {
  auto part = std::make_unique<Part<ExButton>>();
  if (part->made().create(box, caption, bounds) == 0) return nullptr;
  return part;
}

}  // namespace ui::controls
