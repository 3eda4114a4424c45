// What windows show: the pixels pushed by layered updates and paint copies, and the
// invalid rectangle that asks for WM_PAINT.

#include <algorithm>
#include <cmath>

#include "platform/window/WindowConstants.h"
#include "platform/window/WindowSystem.h"

namespace platform::window {

void WindowSystem::reshape(Window& w, int width, int height) {
  Backend& be = requireBackend();
  if (ShownImage* image = be.image(w.handle)) {
    image->resize(std::clamp(width, 0, kMaxWindowSide), std::clamp(height, 0, kMaxWindowSide), be.scale(w.handle));
  }
}

double WindowSystem::scale(HWND hwnd) {
  if (find(hwnd) == nullptr) return 1;
  const ShownImage* image = requireBackend().image(hwnd);
  return image != nullptr ? image->scale() : 1;
}

void WindowSystem::handleScaleChanged(const event::ScaleChanged& e) {
  Window* w = find(e.hwnd);
  if (w == nullptr) return;
  // Against what the window was last told: a resize may have taken the new scale already.
  reshape(*w, w->rect.width(), w->rect.height());
  const double now = scale(e.hwnd);
  if (now == w->scale) return;
  w->scale = now;
  send(e.hwnd, WM_DPICHANGED, static_cast<WPARAM>(std::lround(now * 96)), 0);
}

bool WindowSystem::updateLayered(HWND hwnd, const POINT* position, const SIZE* size,
                                 PixelView source, POINT sourceOrigin, BYTE constantAlpha,
                                 const RECT* dirty) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  if (source.pixels == nullptr || source.width <= 0 || source.height <= 0 ||
      source.strideBytes < source.width * 4) {
    return false;
  }
  if (position != nullptr || size != nullptr) {
    RECT r = w->rect;
    if (position != nullptr) r = {position->x, position->y, position->x + r.width(), position->y + r.height()};
    if (size != nullptr) {
      r.right = r.left + std::clamp(size->cx, 0, kMaxWindowSide);
      r.bottom = r.top + std::clamp(size->cy, 0, kMaxWindowSide);
    }
    setWindowRect(hwnd, r, position != nullptr, size != nullptr);
    if (find(hwnd) == nullptr) return false;
  }
  Backend& be = requireBackend();
  ShownImage* image = be.image(hwnd);
  if (image == nullptr) return false;
  const RECT whole{0, 0, image->width(), image->height()};
  const RECT written = image->copyFrom(source, sourceOrigin, dirty != nullptr ? *dirty : whole,
                                       constantAlpha);
  if (!written.empty()) be.present(hwnd, written);
  return true;
}

bool WindowSystem::copyPixels(HWND hwnd, PixelView source, const RECT& rect) {
  Window* w = find(hwnd);
  if (w == nullptr || source.pixels == nullptr ||
      source.strideBytes < source.width * 4) {
    return false;
  }
  Backend& be = requireBackend();
  ShownImage* image = be.image(hwnd);
  if (image == nullptr) return false;
  // A paint copy leaves what the source does not cover as it was.
  const RECT r{rect.left, rect.top, std::min(rect.right, static_cast<int>(source.width / source.scale)),
               std::min(rect.bottom, static_cast<int>(source.height / source.scale))};
  if (r.empty()) return true;
  const RECT written = image->copyFrom(source, {0, 0}, r, 255);
  if (!written.empty()) be.present(hwnd, written);
  return true;
}

bool WindowSystem::invalidate(HWND hwnd, const RECT* rect) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  RECT r = rect != nullptr ? *rect : RECT{0, 0, w->rect.width(), w->rect.height()};
  r = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w->rect.width()),
       std::min(r.bottom, w->rect.height())};
  if (r.empty()) return true;
  if (w->invalid) {
    RECT& u = *w->invalid;
    u = {std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
         std::max(u.bottom, r.bottom)};
  } else {
    w->invalid = r;
  }
  requireBackend().wake();
  return true;
}

bool WindowSystem::validate(HWND hwnd, const RECT* rect) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  // A partial validation keeps the whole bounding rectangle unless it covers it.
  if (rect == nullptr || (w->invalid && rect->left <= w->invalid->left && rect->top <= w->invalid->top &&
                          rect->right >= w->invalid->right && rect->bottom >= w->invalid->bottom)) {
    w->invalid.reset();
  }
  return true;
}

bool WindowSystem::updateRect(HWND hwnd, RECT& out) const {
  const Window* w = find(hwnd);
  if (w == nullptr || !w->invalid) {
    out = {};
    return false;
  }
  out = *w->invalid;
  return true;
}

}  // namespace platform::window
