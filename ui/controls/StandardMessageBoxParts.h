#pragma once
// The message box's text and buttons as the control classes draw them: an ExLabel and
// ExButtons, made for the framework's box (ui/framework/MessageBoxParts.h).

#include "ui/framework/MessageBoxParts.h"

namespace ui::controls {

class StandardMessageBoxParts : public MessageBoxPartFactory {
 public:
  std::unique_ptr<MessageBoxPart> makeLabel(HWND box, const std::string& text, platform::gfx::RectF bounds,
                                            Argb textColour, int formatFlags) override;
  std::unique_ptr<MessageBoxPart> makeButton(HWND box, const std::string& caption,
                                             platform::gfx::RectF bounds) override;
};

}  // namespace ui::controls
