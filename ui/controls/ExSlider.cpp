#include "ui/controls/ExSlider.h"

#include <algorithm>
#include <cmath>

#include "assets/EmbeddedArtwork.h"
#include "platform/window/UiThread.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr double kTolerance = 1e-7;
constexpr int kFadeStart = 102;
constexpr gfx::Argb kHighlightTop = 0x3CFFFFFFu;  // white, alpha 60
constexpr gfx::Argb kHighlightBottom = 0x00FFFFFFu;

// The accepted range with its tolerance; NaN fails every comparison and so stays out.
bool inRange(double v) { return v >= -kTolerance && v <= 100.0 + kTolerance; }

float clampPercent(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<float>(std::clamp(v, 0.0, 100.0));
}

resources::ExImage builtIn(std::span<const std::uint8_t> png, double scale = 1) {
  resources::ExImage image;
  if (image.LoadFromBytes(platform::system::ByteBlock(png.begin(), png.end())) != nullptr && scale != 1) {
    image.GetHandle()->setScale(scale);
  }
  return image;
}

// The built-in thumbs drawn at twice the scale, for hosts above scale 1.
const resources::ExImage& sharperThumb(bool hot) {
  static const resources::ExImage normal = builtIn(assets::sliderThumbPng2x(), 2);
  static const resources::ExImage lit = builtIn(assets::sliderThumbHotPng2x(), 2);
  return hot ? lit : normal;
}

// A rounded bar whose corners never exceed its own size.
void fillBar(Graphics& g, RectF bar, float diameter, const gfx::Brush& brush) {
  if (!(bar.width >= 1) || !(bar.height >= 1)) return;
  const float d = std::clamp(std::min({diameter, bar.height - 1, bar.width - 1}), 0.0f, diameter);
  g.fillPath(brush, roundedPath(bar, d));
}

}  // namespace

int ExSlider::create(HWND host, RectF bounds, SliderOptions options) {
  TUNORA_ASSERT_UI_THREAD();
  if (exists()) return id();
  if (!(bounds.height >= kMinimumHeight)) bounds.height = kMinimumHeight;
  trackHeight_ = options.trackHeight;
  value_ = clampPercent(options.value);
  secondValue_ = clampPercent(options.secondValue);
  valueColorFrom_ = options.valueColorFrom;
  valueColorTo_ = options.valueColorTo;
  secondColor_ = options.secondColor;
  trackColor_ = options.trackColor;
  trackBorderColor_ = options.trackBorderColor;
  interactive_ = options.interactive;
  builtInThumbs_ = !options.thumbImage && !options.thumbHotImage;
  thumbImage_ = options.thumbImage ? std::move(*options.thumbImage) : builtIn(assets::sliderThumbPng());
  thumbHotImage_ = options.thumbHotImage ? std::move(*options.thumbHotImage) : builtIn(assets::sliderThumbHotPng());
  hot_ = fadeFromHot_ = false;
  fade_ = 0;
  Registration how;
  how.kind = kKindSlider;
  how.visible = options.visible;
  const int newId = registerWith(host, bounds, how);
  if (newId == 0) return 0;
  const ExWindow* window = this->host();
  cornerRadius_ = options.cornerRadius.value_or(window != nullptr ? window->cornerRadius() : 0);
  redraw();
  return newId;
}

float ExSlider::value(std::optional<double> v) {
  TUNORA_ASSERT_UI_THREAD();
  if (v && inRange(*v) && clampPercent(*v) != value_) {
    value_ = clampPercent(*v);
    redraw();
  }
  return value_;
}

float ExSlider::secondValue(std::optional<double> v) {
  TUNORA_ASSERT_UI_THREAD();
  if (v && inRange(*v) && clampPercent(*v) != secondValue_) {
    secondValue_ = clampPercent(*v);
    redraw();
  }
  return secondValue_;
}

// --- geometry --------------------------------------------------------------------------

float ExSlider::valueAt(int clientX) const {
  const RectF b = bounds();
  const float span = b.width - 2 * kThumbHalfWidth;
  // Too narrow for a track: either end, by the side of the middle.
  if (!(span > 0)) return static_cast<float>(clientX) < b.x + b.width / 2 ? 0.0f : 100.0f;
  const float v = (static_cast<float>(clientX) - b.x - kThumbHalfWidth) / span * 100.0f;
  return clampPercent(v);
}

float ExSlider::valueFromMouse() const {
  TUNORA_ASSERT_UI_THREAD();
  HWND window = hostHandle();
  pw::POINT p{};
  if (window == nullptr || !pw::GetCursorPos(&p)) return 0;
  pw::ScreenToClient(window, &p);
  return valueAt(p.x);
}

RectF ExSlider::trackRect() const {
  const RectF b = bounds();
  const float height = static_cast<float>(std::clamp(trackHeight_, 1, std::max(1, static_cast<int>(b.height))));
  const float top = std::floor(b.y + (b.height - height) / 2);
  return RectF{b.x + kThumbHalfWidth, top, std::max(0.0f, b.width - 2 * kThumbHalfWidth), height};
}

RectF ExSlider::thumbRect() const {
  TUNORA_ASSERT_UI_THREAD();
  const resources::ExImage& image = hot_ ? thumbHotImage_ : thumbImage_;
  if (!exists() || image.GetHandle() == nullptr) return RectF{};
  const RectF b = bounds();
  float w = static_cast<float>(image.GetWidth()), h = static_cast<float>(image.GetHeight());
  // A slider lower than its thumb shrinks the thumb, so it stays whole inside the bounds.
  if (h > b.height && h > 0) {
    w = w * b.height / h;
    h = b.height;
  }
  const RectF track = trackRect();
  const float centreX = track.x + track.width * value_ / 100.0f;
  const float centreY = b.y + b.height / 2;
  return RectF{std::round(centreX - w / 2), std::round(centreY - h / 2), w, h};
}

// --- input -----------------------------------------------------------------------------

void ExSlider::setHot(bool hot) {
  if (hot == hot_) return;
  fadeFromHot_ = hot_;
  hot_ = hot;
  fade_ = kFadeStart;
  startTimer();
  redraw();
}

void ExSlider::takeMouseValue(float v, bool alwaysReport) {
  const bool changed = v != value_;
  if (changed) {
    value_ = v;
    redraw();
  }
  if ((changed || alwaysReport) && onChange_) {
    const auto report = onChange_;  // the handler may replace itself
    report(static_cast<int>(value_));
  }
}

void ExSlider::onMouseMove(int x, int y, WPARAM) {
  if (!interactive_) return;
  const bool drag = holdsCapture();
  setHot(drag || pointInRect(thumbRect(), static_cast<float>(x), static_cast<float>(y)));
  if (hot_) pw::SetCursor(pw::LoadCursorA(nullptr, pw::IDC_HAND));
  // Last: the handler may do anything, even to this slider. A move that leaves the value
  // where it is (the pointer drifting up or down) reports nothing: a seek to the same
  // place would only stutter the song.
  if (drag) takeMouseValue(valueAt(x), false);
}

void ExSlider::onLeftDown(int, int, WPARAM) {
  if (interactive_ && holdsCapture()) setHot(true);
}

void ExSlider::onLeftUp(int x, int y, WPARAM) {
  if (!interactive_) return;
  setHot(pointInRect(thumbRect(), static_cast<float>(x), static_cast<float>(y)));
}

void ExSlider::onClickMessage(bool byKey) {
  // Keys on a slider are the application's to read; a click made by one would jump the
  // value to wherever the pointer happens to be.
  if (byKey || !interactive_ || locked() != 0) return;
  HWND window = hostHandle();
  pw::POINT p{};
  if (window == nullptr || !pw::GetCursorPos(&p) || !pw::ScreenToClient(window, &p)) return;
  if (!pointInRect(bounds(), static_cast<float>(p.x), static_cast<float>(p.y))) return;
  takeMouseValue(valueAt(p.x), true);
}

void ExSlider::onTimer(UINT_PTR) {
  if (fade_ > 0 && fade_ < 255) {
    fade_ = nextFadeLevel(fade_);
    redraw();
    return;
  }
  stopTimer();
  fade_ = 0;
}

void ExSlider::onHidden() {
  stopTimer();
  fade_ = 0;
  hot_ = fadeFromHot_ = false;
}

void ExSlider::onDestroy() {
  stopTimer();
  fade_ = 0;
  thumbImage_.Release();
  thumbHotImage_.Release();
}

// --- painting --------------------------------------------------------------------------

void ExSlider::onPaint(LPARAM occasion) {
  const ExWindow* window = host();
  if (window != nullptr && window->painting()) {
    paint();
    return;
  }
  // Outside a host paint the occasions only change state; the base follows the focus look.
  if (occasion == kPaintPointerLeft && !holdsCapture()) setHot(false);
}

void ExSlider::paint() {
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  const RectF track = trackRect();
  if (track.width >= 1) {
    const float diameter = static_cast<float>(std::max(0, cornerRadius_) * 2);
    const float d = std::clamp(std::min({diameter, track.height - 1, track.width - 1}), 0.0f, diameter);
    drawRoundRect(*g, track, d, trackColor_, trackBorderColor_);
    drawBars(*g, track);
  }
  drawThumb(*g);
  endPaint();
}

void ExSlider::drawBars(Graphics& g, RectF track) const {
  const float diameter = static_cast<float>(std::max(0, cornerRadius_) * 2);
  RectF second = track;
  second.width = track.width * secondValue_ / 100.0f;
  fillBar(g, second, diameter, createSolidBrush(secondColor_));
  RectF bar = track;
  bar.width = track.width * value_ / 100.0f;
  // The gradient spans the whole track, so a point keeps its colour as the value moves.
  fillBar(g, bar, diameter,
          gfx::Brush::linearGradient(track, valueColorFrom_, valueColorTo_, gfx::kGradientHorizontal, gfx::kWrapClamp));
  fillBar(g, bar, diameter,
          gfx::Brush::linearGradient(bar, kHighlightTop, kHighlightBottom, gfx::kGradientVertical, gfx::kWrapClamp));
}

void ExSlider::drawThumb(Graphics& g) const {
  const RectF dest = thumbRect();
  if (dest.empty()) return;
  const bool sharper = builtInThumbs_ && g.scale() > 1;
  const auto draw = [&](const resources::ExImage& image, float alpha) {
    const gfx::Image* picture = image.GetHandle();
    const gfx::Image* twice = sharper ? sharperThumb(&image == &thumbHotImage_).GetHandle() : nullptr;
    if (picture != nullptr && twice != nullptr) picture = twice;
    if (picture == nullptr) return;
    g.drawImage(*picture, dest,
                RectF{0, 0, static_cast<float>(picture->width()), static_cast<float>(picture->height())}, alpha);
  };
  const resources::ExImage& now = hot_ ? thumbHotImage_ : thumbImage_;
  if (fade_ > 0) {
    // The new look is laid over the old one, more opaque with every tick.
    draw(fadeFromHot_ ? thumbHotImage_ : thumbImage_, 1.0f);
    draw(now, static_cast<float>(fade_) / 255.0f);
  } else {
    draw(now, 1.0f);
  }
}

}  // namespace ui::controls
