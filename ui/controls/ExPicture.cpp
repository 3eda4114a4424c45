#include "ui/controls/ExPicture.h"

#include "platform/window/UiThread.h"
#include "ui/framework/Drawing.h"

namespace ui::controls {

namespace {

constexpr int kDefaultFrameDelay = 10;  // hundredths of a second

}  // namespace

void ExPicture::takeImage(resources::ExImage image) {
  image_ = std::move(image);
  frameCount_ = image_.GetHandle() != nullptr ? image_.GetFrameCount() : 0;
  frameDelays_.assign(static_cast<std::size_t>(frameCount_), kDefaultFrameDelay);
  std::vector<int> delays;
  if (image_.GetFrameDelays(delays)) {
    for (std::size_t i = 0; i < frameDelays_.size() && i < delays.size(); ++i) {
      if (delays[i] > 0) frameDelays_[i] = delays[i];
    }
  }
  frame_ = 0;
  started_ = 0;
}

int ExPicture::create(HWND host, RectF bounds, resources::ExImage image, const PictureOptions& options) {
  TUNORA_ASSERT_UI_THREAD();
  const bool existed = exists();
  stopTimer();
  takeImage(std::move(image));
  animate_ = options.animate ? 1 : 0;
  borderColour_ = options.borderColour;
  Registration how;
  how.kind = kKindPicture;
  how.visible = options.visible;
  how.takesPress = options.takesPress;
  const int result = registerWith(host, bounds, how);
  if (existed) redraw();
  return result;
}

int ExPicture::createFromData(HWND host, RectF bounds, const platform::system::ByteBlock& source,
                              platform::gfx::Argb borderColour) {
  resources::ExImage image;
  image.LoadFromBytes(source);
  PictureOptions options;
  options.borderColour = borderColour;
  return create(host, bounds, std::move(image), options);
}

void ExPicture::setAnimate(bool animate) {
  TUNORA_ASSERT_UI_THREAD();
  animate_ = animate ? 1 : 0;
  frame_ = 0;
  started_ = 0;
  if (!animate) stopTimer();
  redraw();
}

void ExPicture::setImage(resources::ExImage image, bool redrawNow) {
  TUNORA_ASSERT_UI_THREAD();
  stopTimer();
  takeImage(std::move(image));
  if (redrawNow) redraw();
}

void ExPicture::paint() {
  const ControlRecord* r = controlRecord(windowIndex(), controlIndex());
  if (r == nullptr || !r->visible) return;
  if (frame_ >= frameCount_) frame_ = 0;
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  const RectF b = bounds();
  if (platform::gfx::Image* picture = image_.GetHandle()) {
    image_.SelectFrame(frame_);
    drawStretched(*g, *picture, b);
  }
  if (borderColour_ != 0) g->drawRectangle(createPen(borderColour_), RectF{b.x, b.y, b.width - 1, b.height - 1});
  animatedPaint(false);
  if (frameCount_ > 1 && animate_ != 0) {
    startTimer(frameDelays_[static_cast<std::size_t>(frame_)] * 10);
  }
}

void ExPicture::onPaint(LPARAM) {
  if (animate_ != 0 && started_ == 0) {
    started_ = 1;
    frame_ = 0;
  }
  paint();
}

void ExPicture::onTimer(UINT_PTR) {
  if (animate_ != 0 && frameCount_ > 0) {
    ++frame_;
    paint();
  } else {
    stopTimer();
  }
}

void ExPicture::onDestroy() {
  stopTimer();
  frame_ = 0;
  frameCount_ = 0;
  started_ = 0;
  frameDelays_.clear();
  image_.Release();
}

}  // namespace ui::controls
