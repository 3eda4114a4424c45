#pragma once
// The label and push buttons of the message box. Their classes live above the framework,
// so the controls layer installs a factory at start (ui/controls); without one the box
// shows its panel and icon only and closes by Escape or its close button.

#include <memory>
#include <string>

#include "platform/gfx/Geometry.h"
#include "ui/framework/Colours.h"
#include "ui/framework/ControlObject.h"

namespace ui {

// A control the box made through the factory; it is registered in the box window.
class MessageBoxPart {
 public:
  virtual ~MessageBoxPart() = default;
  virtual ControlObject& control() = 0;
  virtual std::string tag() = 0;
  virtual void setTag(const std::string& text) = 0;
  // Moves the control and repaints what changed.
  virtual void moveTo(float x, float y) = 0;
};

class MessageBoxPartFactory {
 public:
  virtual ~MessageBoxPartFactory() = default;
  // nullptr when the control cannot be made. Texts are program texts.
  virtual std::unique_ptr<MessageBoxPart> makeLabel(HWND box, const std::string& text, platform::gfx::RectF bounds,
                                                    Argb textColour, int formatFlags) = 0;
  virtual std::unique_ptr<MessageBoxPart> makeButton(HWND box, const std::string& caption,
                                                     platform::gfx::RectF bounds) = 0;
};

// UI thread.
void setMessageBoxPartFactory(std::unique_ptr<MessageBoxPartFactory> factory);

}  // namespace ui
