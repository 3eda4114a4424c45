#include "ui/controls/FadingButton.h"

#include <algorithm>
#include <cmath>

#include "platform/window/UiThread.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/AreaFade.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

namespace pw = platform::window;
using platform::gfx::RectI;

namespace {

constexpr int kFullLevel = 255;

// Whole units covering r, limited to the surface.
RectI coveredUnits(RectF r, const platform::gfx::Surface& surface) {
  if (r.empty() || !r.finite()) return {};
  const RectI whole{0, 0, surface.unitWidth(), surface.unitHeight()};
  const float left = std::max(std::floor(r.x), -1.0f), top = std::max(std::floor(r.y), -1.0f);
  const float right = std::min(std::ceil(r.right()), static_cast<float>(whole.width) + 1);
  const float bottom = std::min(std::ceil(r.bottom()), static_cast<float>(whole.height) + 1);
  if (right <= left || bottom <= top) return {};
  return intersect({static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                    static_cast<int>(bottom - top)},
                   whole);
}

}  // namespace

void FadingButton::onPaint(LPARAM) {
  ExWindow* w = host();
  if (w == nullptr) return;
  if (!w->painting()) {
    // The host tells of an occasion (the pointer left, the focus went): back to normal.
    changeLook(Look::Normal, paintFadeStart(), pw::WM_PAINT);
    return;
  }
  if (!ownRepaint_) {
    // The window repaints the button; what it showed before is gone, so no fade.
    stopFade();
    look_ = Look::Normal;
    lastMessage_ = pw::WM_PAINT;
  }
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  drawnLook_ = look_;
  drawnVariant_ = lookVariant();
  drawLook(*g, bounds(), look_);
  if (fade_ > 0 && fade_ < kFullLevel) blendOverKept(*g);
  endPaint();
}

void FadingButton::onMouseMove(int, int, WPARAM) {
  if (lastMessage_ == pw::WM_MOUSEMOVE || holdsCapture()) return;
  changeLook(Look::Hover, moveFadeStart(), pw::WM_MOUSEMOVE);
}

void FadingButton::onLeftDown(int, int, WPARAM) {
  if (lastMessage_ == pw::WM_LBUTTONDOWN) return;
  changeLook(Look::Pressed, pressFadeStart(), pw::WM_LBUTTONDOWN);
}

void FadingButton::onDoubleClick(int x, int y, WPARAM keys) { onLeftDown(x, y, keys); }

void FadingButton::onLeftUp(int, int, WPARAM) {
  if (lastMessage_ == pw::WM_LBUTTONUP) return;
  changeLook(Look::Pressed, pressFadeStart(), pw::WM_LBUTTONUP);
}

void FadingButton::onTimer(UINT_PTR) {
  if (fade_ > 0 && fade_ < kFullLevel) {
    fade_ = nextFadeLevel(fade_);
    repaintLook();
  } else {
    stopFade();
  }
}

void FadingButton::onDestroy() { stopFade(); }

void FadingButton::repaintLook() {
  ownRepaint_ = true;
  invalidate();
  ownRepaint_ = false;
}

void FadingButton::changeLook(Look look, int fadeStart, UINT message) {
  ExWindow* w = host();
  if (w == nullptr) return;
  lastMessage_ = message;
  if (look == drawnLook_ && lookVariant() == drawnVariant_) {
    // Nothing on the screen would change (a release after the press, a second occasion
    // for the normal look): a running fade goes on, none starts.
    look_ = look;
    return;
  }
  look_ = look;
  fade_ = std::clamp(fadeStart, 0, kFullLevel);
  kept_ = platform::gfx::Surface{};
  keptArea_ = {};
  const platform::gfx::Surface* shown = w->composedSurface();
  if (fade_ > 0 && shown != nullptr && shown->valid()) {
    keptArea_ = coveredUnits(bounds(), *shown);
    kept_ = platform::gfx::Surface::createScaled(keptArea_.width, keptArea_.height, shown->scale());
    if (kept_.valid()) {
      kept_.copyFrom(*shown, keptArea_.x, keptArea_.y, keptArea_.width, keptArea_.height, 0, 0);
    }
  }
  repaintLook();
  // The repaint may have ended in a callback that destroyed the window.
  if (fade_ > 0 && host() != nullptr) {
    startTimer();
  } else {
    stopTimer();
  }
}

void FadingButton::stopFade() {
  stopTimer();
  fade_ = 0;
  kept_ = platform::gfx::Surface{};
  keptArea_ = {};
}

void FadingButton::blendOverKept(Graphics& g) {
  ExWindow* w = host();
  platform::gfx::Surface* shown = w != nullptr ? w->composedSurface() : nullptr;
  if (shown == nullptr || !shown->valid() || !kept_.valid()) return;
  const RectI area = intersect(coveredUnits(g.clipBounds(), *shown), keptArea_);
  mixKeptIntoShown(*shown, kept_, keptArea_, area, static_cast<int>(fade_));
}

}  // namespace ui::controls
