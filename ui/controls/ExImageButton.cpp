#include "ui/controls/ExImageButton.h"

#include "platform/window/UiThread.h"

namespace ui::controls {

namespace {

bool given(const std::optional<resources::ExImage>& image) {
  return image.has_value() && image->GetHandle() != nullptr;
}

}  // namespace

int ExImageButton::create(HWND host, RectF bounds, resources::ExImage normal, std::optional<resources::ExImage> hover,
                          std::optional<resources::ExImage> pressed, int stretch, bool visible) {
  TUNORA_ASSERT_UI_THREAD();
  hover_ = given(hover) ? std::move(*hover) : normal;
  pressed_ = given(pressed) ? std::move(*pressed) : normal;
  normal_ = std::move(normal);
  stretch_ = stretch;
  Registration how;
  how.kind = kKindImageButton;
  how.visible = visible;
  const int result = registerWith(host, bounds, how);
  redraw();
  return result;
}

void ExImageButton::setImages(resources::ExImage normal, std::optional<resources::ExImage> hover,
                              std::optional<resources::ExImage> pressed) {
  TUNORA_ASSERT_UI_THREAD();
  normal_ = std::move(normal);
  if (given(hover)) hover_ = std::move(*hover);
  if (given(pressed)) pressed_ = std::move(*pressed);
  redraw();
}

void ExImageButton::drawLook(Graphics& g, RectF b, Look look) {
  const resources::ExImage& chosen = look == Look::Hover ? hover_ : look == Look::Pressed ? pressed_ : normal_;
  const platform::gfx::Image* picture = chosen.GetHandle();
  if (picture == nullptr) return;
  if (stretch_ == 0) {
    g.drawImage(*picture, RectF{b.x, b.y, static_cast<float>(picture->width()), static_cast<float>(picture->height())},
                RectF{0, 0, static_cast<float>(picture->width()), static_cast<float>(picture->height())});
  } else {
    drawStretched(g, *picture, b);
  }
}

void ExImageButton::onDestroy() {
  FadingButton::onDestroy();
  normal_.Release();
  hover_.Release();
  pressed_.Release();
}

}  // namespace ui::controls
