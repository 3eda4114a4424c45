#pragma once
// A push button: a caption in a rounded frame, an optional skin picture inside the frame,
// and an access key, the character after "&" in the caption ("&&" is a plain ampersand).
// The key is registered with the window, which clicks the button on Alt+key (or the key
// alone while the button has the focus), as it does on Space or Enter; every click reaches
// the window's click callback with kind 2. The frame shows the normal, hover and pressed
// looks (see FadingButton) and a ring while the button has the focus.

#include <memory>
#include <optional>
#include <string>

#include "resources/ExImage.h"
#include "ui/controls/FadingButton.h"
#include "ui/framework/Colours.h"

namespace ui::controls {

struct ButtonOptions {
  Argb textColour = 0xD2000000;
  // Any of the three given makes the button its own font; size defaults to 12, style to 0.
  std::optional<std::string> fontFace;  // program text
  std::optional<float> fontSize;
  std::optional<int> fontStyle;
  int value = 0;  // kept for the application
  std::optional<int> cornerRadius;  // default: the window's corner radius
  bool visible = true;
};

class ExButton : public FadingButton {
 public:
  // Registers with kind 2, then the caption's access key; returns the id (a second create
  // keeps it).
  int create(HWND host, std::string caption, RectF bounds, const ButtonOptions& options = {});
  // Replaces the caption, registers its access key (a caption without one drops the old
  // key) and redraws.
  void setCaption(std::string caption);
  const std::string& caption() const { return caption_; }
  // The upper-case access key of a caption, 0 when it has none.
  static int accessKeyOf(const std::string& caption);
  int accessKey() const { return accessKey_; }

  void setSkinImage(resources::ExImage image);
  const resources::ExImage& skinImage() const { return skin_; }
  int value() const { return value_; }
  int cornerRadius() const { return cornerRadius_; }
  Argb textColour() const { return textColour_; }
  const platform::gfx::Font* font() const;

 protected:
  int paintFadeStart() const override;
  int moveFadeStart() const override { return 153; }
  int pressFadeStart() const override { return 204; }
  void drawLook(Graphics& g, RectF bounds, Look look) override;
  // The focus ring and the dimmed caption of a locked button.
  int lookVariant() const override;
  // Its ring, shown whenever it has the focus, as a dialog's default button shows it.
  bool drawsOwnFocusLook() const override { return true; }
  void onDestroy() override;

 private:
  void registerAccessKey();

  resources::ExImage skin_;
  std::string caption_;
  std::unique_ptr<platform::gfx::Font> ownFont_;  // nullptr: the framework's default font
  int value_ = 0;
  Argb textColour_ = 0xD2000000;
  int cornerRadius_ = 0;
  int accessKey_ = 0;
};

}  // namespace ui::controls
