#pragma once
// The decorations every window host shows: caption buttons and the window-icon panel.

#include "ui/framework/ExWindow.h"

namespace ui::controls {

class StandardDecorations : public DecorationFactory {
 public:
  std::unique_ptr<ControlObject> makeCaptionButton(HWND host, int captionBit, RectF bounds) override;
  // A picture box showing the window's small icon, else its class icon, else the stock one.
  std::unique_ptr<ControlObject> makeIconPanel(HWND host, RectF bounds) override;
};

}  // namespace ui::controls
