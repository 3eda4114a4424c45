#pragma once
// A button drawn entirely from three pictures: normal, hover and pressed, each new look
// fading in over the old one (see FadingButton). It reports nothing itself: the window's
// click callback carries its id (kind 6).

#include <optional>

#include "resources/ExImage.h"
#include "ui/controls/FadingButton.h"

namespace ui::controls {

class ExImageButton : public FadingButton {
 public:
  // Takes the pictures; a missing (absent or empty) hover or pressed picture is the
  // normal one. stretch 0 draws each picture at its own size at the top-left corner,
  // anything else scales it to the bounds. Registers with kind 6 and returns the id (a
  // second create keeps it).
  int create(HWND host, RectF bounds, resources::ExImage normal, std::optional<resources::ExImage> hover = std::nullopt,
             std::optional<resources::ExImage> pressed = std::nullopt, int stretch = 0, bool visible = true);
  // Replaces the pictures; a missing hover or pressed picture keeps the current one.
  void setImages(resources::ExImage normal, std::optional<resources::ExImage> hover = std::nullopt,
                 std::optional<resources::ExImage> pressed = std::nullopt);

  const resources::ExImage& normalImage() const { return normal_; }
  const resources::ExImage& hoverImage() const { return hover_; }
  const resources::ExImage& pressedImage() const { return pressed_; }
  int stretch() const { return stretch_; }

 protected:
  int paintFadeStart() const override { return 102; }
  int moveFadeStart() const override { return 102; }
  int pressFadeStart() const override { return 153; }
  void drawLook(Graphics& g, RectF bounds, Look look) override;
  void onDestroy() override;

 private:
  resources::ExImage normal_;
  resources::ExImage hover_;
  resources::ExImage pressed_;
  int stretch_ = 0;
};

}  // namespace ui::controls
