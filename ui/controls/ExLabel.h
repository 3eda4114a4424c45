#pragma once
// A label: a program text (line breaks CR LF), optionally over a solid or gradient
// background and inside a one-pixel border, optionally with a glow. A label with an empty
// text and two equal fill colours is a colour swatch. Labels take no mouse input: a press
// on one acts as a press on the window.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ui/controls/ExControl.h"
#include "ui/framework/Colours.h"
#include "ui/framework/Drawing.h"

namespace ui::controls {

// A fill colour that stands for "fully transparent".
inline constexpr Argb kTransparentFill = 0xFFFFFFFFu;
inline constexpr int kNoFill = -1;

struct LabelOptions {
  Argb textColour = 0xE6000000;
  // The gradient direction of the background (0 horizontal, 1 vertical, 2 and 3 the
  // diagonals); kNoFill leaves the window background visible.
  int fillMode = kNoFill;
  Argb fillFrom = kTransparentFill;
  Argb fillTo = kTransparentFill;
  // Any of the three given makes the label its own font; size defaults to 12, style to 0.
  std::optional<std::string> fontFace;  // program text
  std::optional<float> fontSize;
  std::optional<int> fontStyle;
  int alignment = 3;  // the text routine's alignment code
  int formatFlags = platform::gfx::kFlagNoWrap;
  // Passed to the text routine for plain text: its effect and effect colour.
  int effect = kEffectNone;
  std::optional<std::int64_t> effectColour;
  Argb borderColour = 0;  // 0: no border
  bool glow = false;
  bool visible = true;
};

class ExLabel : public ExControl {
 public:
  // Registers with kind 3 and returns the id (a second create keeps it).
  int create(HWND host, std::string text, RectF bounds, const LabelOptions& options = {});

  // Getters and setters; the setters that change the look redraw.
  const std::string& text(std::optional<std::string> value = std::nullopt);
  void setTextColour(Argb colour);
  Argb textColour() const { return textColour_; }
  // Takes effect with the next paint.
  int glow(std::optional<int> value = std::nullopt);
  Argb fillFrom(std::optional<Argb> value = std::nullopt);
  Argb fillTo(std::optional<Argb> value = std::nullopt);
  int fillMode(std::optional<int> value = std::nullopt);
  Argb borderColour() const { return borderColour_; }
  const platform::gfx::Font* font() const;

 protected:
  void onPaint(LPARAM occasion) override;
  void onDestroy() override;

 private:
  void paintBackground(Graphics& g, RectF b) const;

  std::string text_;
  std::unique_ptr<platform::gfx::Font> ownFont_;  // nullptr: the framework's default font
  int alignment_ = 3;
  int formatFlags_ = platform::gfx::kFlagNoWrap;
  int effect_ = kEffectNone;
  std::optional<std::int64_t> effectColour_;
  Argb textColour_ = 0xE6000000;
  int fillMode_ = kNoFill;
  Argb fillFrom_ = kTransparentFill;
  Argb fillTo_ = kTransparentFill;
  Argb borderColour_ = 0;
  int glow_ = 0;
};

}  // namespace ui::controls
