#include "ui/controls/ExScrollBar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "platform/window/UiThread.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

namespace pw = platform::window;
using platform::gfx::PointF;

namespace {

constexpr int kHoverFadeStart = 102;
constexpr int kPressFadeStart = 153;
constexpr int kWheelDelta = 120;
constexpr float kArrowInset = 4;

bool sameRect(RectF a, RectF b) { return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height; }

// Positions stay far from overflow whatever the owner stores.
constexpr int kLimit = 1 << 30;
int bounded(int v) { return std::clamp(v, -kLimit, kLimit); }

}  // namespace

int ExScrollBar::create(HWND host, RectF bounds, bool vertical, int value1, int value2, bool visible) {
  TUNORA_ASSERT_UI_THREAD();
  if (id() == 0) {
    vertical_ = vertical ? 1 : 0;
    value1_ = value1;
    value2_ = value2;
    dragOrigin_ = static_cast<float>(-minimum_);
  }
  Registration how;
  how.kind = kKindScrollBar;
  how.visible = visible;
  return registerWith(host, bounds, how);
}

// --- properties ------------------------------------------------------------------------------

int ExScrollBar::position(std::optional<int> value) {
  if (value) {
    const int before = position_;
    position_ = bounded(*value);
    clampPosition();
    if (position_ != before) redraw();
  }
  return position_;
}

int ExScrollBar::minimum(std::optional<int> value) {
  if (value) minimum_ = bounded(*value);
  return minimum_;
}

int ExScrollBar::maximum(std::optional<int> value) {
  if (value) maximum_ = bounded(*value);
  return maximum_;
}

int ExScrollBar::lineStep(std::optional<int> value) {
  if (value) lineStep_ = bounded(*value);
  return lineStep_;
}

int ExScrollBar::pageStep(std::optional<int> value) {
  if (value) pageStep_ = bounded(*value);
  return pageStep_;
}

int ExScrollBar::thumbSize(std::optional<int> value) {
  if (value) thumbSize_ = bounded(*value);
  return thumbSize_;
}

int ExScrollBar::vertical(std::optional<int> value) {
  if (value) {
    vertical_ = *value != 0 ? 1 : 0;
    redraw();
  }
  return vertical_;
}

void ExScrollBar::clampPosition() {
  // A range given upside down pins the position to the minimum.
  position_ = std::max(minimum_, std::min(position_, maximum_));
}

void ExScrollBar::updateRange(bool mayShow) {
  TUNORA_ASSERT_UI_THREAD();
  const int before = position_;
  clampPosition();
  const bool wanted = mayShow && rangeNeeded();
  if (exists()) {
    if (wanted != (visible() != 0)) {
      visible(wanted ? 1 : 0);
    } else if (wanted && (before != position_ || !sameRect(partRect(kThumb), paintedThumb_))) {
      redraw();
    }
  }
  if (position_ != before) notify();
}

void ExScrollBar::notify() {
  if (!onScroll_) return;
  const auto keep = onScroll_;  // the owner may replace its handler from inside
  keep(position_);
}

// --- geometry --------------------------------------------------------------------------------

float ExScrollBar::arrowLength() const {
  const RectF b = bounds();
  const float thickness = vertical_ != 0 ? b.width : b.height;
  const float length = vertical_ != 0 ? b.height : b.width;
  return std::max(0.0f, std::min(thickness, length / 2));
}

float ExScrollBar::trackLength() const {
  const RectF b = bounds();
  const float length = vertical_ != 0 ? b.height : b.width;
  return std::max(0.0f, length - 2 * arrowLength());
}

float ExScrollBar::thumbLength() const {
  const float track = trackLength();
  const double range = static_cast<double>(maximum_) - minimum_;
  if (range <= 0) return track;
  const double page = std::max(1, thumbSize_);
  const double proportional = track * page / (range + page);
  return static_cast<float>(std::min<double>(track, std::max<double>(proportional, thumbMin_)));
}

float ExScrollBar::thumbOffset() const {
  const double range = static_cast<double>(maximum_) - minimum_;
  if (range <= 0) return 0;
  const double room = trackLength() - thumbLength();
  return static_cast<float>(room * (static_cast<double>(position_) - minimum_) / range);
}

RectF ExScrollBar::partRect(Part part) const {
  const RectF b = bounds();
  const float arrow = arrowLength();
  const float trackStart = arrow;
  const float thumbStart = trackStart + thumbOffset();
  const float thumbEnd = thumbStart + thumbLength();
  float start = 0, length = 0;
  switch (part) {
    case kFirstArrow: start = 0, length = arrow; break;
    case kSecondArrow: start = arrow + trackLength(), length = arrow; break;
    case kThumb: start = thumbStart, length = thumbEnd - thumbStart; break;
    case kTrackBefore: start = trackStart, length = thumbStart - trackStart; break;
    case kTrackAfter: start = thumbEnd, length = arrow + trackLength() - thumbEnd; break;
    case kNone: return {};
  }
  if (vertical_ != 0) return {b.x, b.y + start, b.width, length};
  return {b.x + start, b.y, length, b.height};
}

ExScrollBar::Part ExScrollBar::partAt(int x, int y) const {
  const float px = static_cast<float>(x), py = static_cast<float>(y);
  for (Part part : {kFirstArrow, kSecondArrow, kThumb, kTrackBefore, kTrackAfter}) {
    if (pointInRect(partRect(part), px, py)) return part;
  }
  return kNone;
}

float ExScrollBar::along(int x, int y) const {
  const RectF b = bounds();
  return vertical_ != 0 ? static_cast<float>(y) - b.y : static_cast<float>(x) - b.x;
}

// --- behaviour -------------------------------------------------------------------------------

bool ExScrollBar::stepBy(int delta) {
  const int before = position_;
  const long long moved = static_cast<long long>(position_) + delta;
  position_ = static_cast<int>(std::clamp<long long>(moved, minimum_, std::max(minimum_, maximum_)));
  if (position_ == before) return false;
  redraw();
  notify();
  return true;
}

void ExScrollBar::startFade(int level) {
  fade_ = level;
  redraw();
  startTimer();
}

void ExScrollBar::onWheel(int delta, int, int) {
  // One page per notch; a message may carry several.
  const int notches = std::max(1, std::abs(delta) / kWheelDelta);
  const long long step = static_cast<long long>(pageStep_) * notches;
  const int distance = static_cast<int>(std::clamp<long long>(step, 0, kLimit));
  if (delta > 0 && position_ > minimum_) stepBy(-distance);
  else if (delta < 0 && position_ < maximum_) stepBy(distance);
}

void ExScrollBar::onKeyDown(WPARAM key, LPARAM) {
  // Tab reaches the bar like any control that takes presses, so the keys scroll it there.
  const long long line = std::max(1, lineStep_);
  const long long view = std::max({1, thumbSize_ - lineStep_, lineStep_});
  long long delta = 0;
  switch (key) {
    case pw::VK_UP: case pw::VK_LEFT: delta = -line; break;
    case pw::VK_DOWN: case pw::VK_RIGHT: delta = line; break;
    case pw::VK_PRIOR: delta = -view; break;
    case pw::VK_NEXT: delta = view; break;
    case pw::VK_HOME: delta = static_cast<long long>(minimum_) - position_; break;
    case pw::VK_END: delta = static_cast<long long>(std::max(minimum_, maximum_)) - position_; break;
    default: return;
  }
  stepBy(static_cast<int>(std::clamp<long long>(delta, -kLimit, kLimit)));
}

void ExScrollBar::onLeftDown(int x, int y, WPARAM) {
  const Part part = partAt(x, y);
  pressedPart_ = part;
  hoveredPart_ = part;
  switch (part) {
    case kFirstArrow:
    case kSecondArrow:
      stepBy(part == kFirstArrow ? -lineStep_ : lineStep_);
      // The timer repeats the step while the arrow is held, and runs the fade.
      startFade(kPressFadeStart);
      break;
    case kThumb:
      dragOrigin_ = along(x, y) - (arrowLength() + thumbOffset());
      startFade(kPressFadeStart);
      break;
    case kTrackBefore:
    case kTrackAfter:
      pressedPart_ = kNone;
      stepBy(part == kTrackBefore ? -pageStep_ : pageStep_);
      break;
    case kNone:
      break;
  }
}

void ExScrollBar::onMouseMove(int x, int y, WPARAM) {
  if (pressedPart_ == kThumb) {
    const double room = trackLength() - thumbLength();
    const double range = static_cast<double>(maximum_) - minimum_;
    if (room <= 0 || range <= 0) return;
    const double offset = along(x, y) - dragOrigin_ - arrowLength();
    const double wanted = minimum_ + std::round(offset / room * range);
    const int target = static_cast<int>(std::clamp<double>(wanted, minimum_, maximum_));
    stepBy(target - position_);
    return;
  }
  const Part part = partAt(x, y);
  if (pressedPart_ != kNone) {
    hoveredPart_ = part;  // an arrow repeats only while the pointer stays on it
    return;
  }
  if (part == hoveredPart_) return;
  hoveredPart_ = part;
  startFade(kHoverFadeStart);
}

void ExScrollBar::onLeftUp(int x, int y, WPARAM) {
  if (pressedPart_ == kNone) return;
  pressedPart_ = kNone;
  hoveredPart_ = partAt(x, y);
  startFade(kHoverFadeStart);
}

void ExScrollBar::onTimer(UINT_PTR) {
  bool busy = false;
  if ((pressedPart_ == kFirstArrow || pressedPart_ == kSecondArrow)) {
    busy = true;
    if (hoveredPart_ == pressedPart_) stepBy(pressedPart_ == kFirstArrow ? -lineStep_ : lineStep_);
  }
  if (fade_ > 0) {
    fade_ = fade_ >= 255 ? 0 : nextFadeLevel(fade_);
    redraw();
    busy = busy || fade_ > 0;
  }
  if (!busy) stopTimer();
}

void ExScrollBar::onHidden() {
  pressedPart_ = kNone;
  hoveredPart_ = kNone;
  fade_ = 0;
  stopTimer();
}

// --- painting --------------------------------------------------------------------------------

void ExScrollBar::onPaint(LPARAM occasion) {
  ExWindow* window = host();
  if (window == nullptr) return;
  if (!window->painting()) {
    // The host's notes: only a pointer that left changes the look.
    if (occasion != kPaintPointerLeft || hoveredPart_ == kNone || pressedPart_ != kNone) return;
    hoveredPart_ = kNone;
    startFade(kHoverFadeStart);
    return;
  }
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  const ColourRef theme = window->backgroundColour();
  const int level = fade_ == 0 ? 255 : fade_;
  const RectF b = bounds();
  g->fillRectangle(createSolidBrush(argbFrom(theme, 60)), b);

  auto highlight = [&](Part part, RectF r) {
    if (pressedPart_ == part) {
      g->fillRectangle(createSolidBrush(withAlpha(0xFF000000u, 60 * level / 255)), r);
    } else if (hoveredPart_ == part && pressedPart_ == kNone) {
      g->fillRectangle(createSolidBrush(withAlpha(0xFFFFFFFFu, 70 * level / 255)), r);
    }
  };
  const Argb outline = argbFrom(theme, 255);
  for (Part arrow : {kFirstArrow, kSecondArrow}) {
    const RectF r = partRect(arrow);
    if (r.empty()) continue;
    g->fillRectangle(createSolidBrush(argbFrom(theme, 90)), r);
    highlight(arrow, r);
    g->drawRectangle(createPen(outline), RectF{r.x, r.y, r.width - 1, r.height - 1});
    // The triangle points toward the end the arrow scrolls to.
    const float left = r.x + kArrowInset, top = r.y + kArrowInset;
    const float right = r.right() - kArrowInset, bottom = r.bottom() - kArrowInset;
    const float midX = (left + right) / 2, midY = (top + bottom) / 2;
    std::array<PointF, 3> points;
    if (vertical_ != 0) {
      points = arrow == kFirstArrow ? std::array<PointF, 3>{{{midX, top}, {right, bottom}, {left, bottom}}}
                                    : std::array<PointF, 3>{{{left, top}, {right, top}, {midX, bottom}}};
    } else {
      points = arrow == kFirstArrow ? std::array<PointF, 3>{{{left, midY}, {right, top}, {right, bottom}}}
                                    : std::array<PointF, 3>{{{left, top}, {right, midY}, {left, bottom}}};
    }
    g->fillPolygon(createSolidBrush(0xE6FFFFFFu), points);
    g->drawPolygon(createPen(withAlpha(outline, 160)), points);
  }
  const RectF thumb = partRect(kThumb);
  if (!thumb.empty()) {
    g->fillRectangle(createSolidBrush(argbFrom(theme, 120)), thumb);
    highlight(kThumb, thumb);
    g->drawRectangle(createPen(outline), RectF{thumb.x, thumb.y, thumb.width - 1, thumb.height - 1});
  }
  paintedThumb_ = thumb;
  endPaint();
}

}  // namespace ui::controls
