// What windows show: the pixels pushed by layered updates and paint copies, and the
// invalid rectangle that asks for WM_PAINT.

#include <algorithm>

#include "platform/window/WindowSystem.h"

namespace platform::window {

void WindowSystem::reshape(Window& w, int width, int height) {
  width = std::clamp(width, 0, kMaxWindowSide);
  height = std::clamp(height, 0, kMaxWindowSide);
  if (w.shownWidth == width && w.shownHeight == height) return;
  std::vector<std::uint32_t> next(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), 0);
  for (int y = 0; y < std::min(height, w.shownHeight); ++y) {
    for (int x = 0; x < std::min(width, w.shownWidth); ++x) {
      next[y * width + x] = w.shown[y * w.shownWidth + x];
    }
  }
  w.shown = std::move(next);
  w.shownWidth = width;
  w.shownHeight = height;
}

void WindowSystem::present(Window& w, const RECT& dirty) {
  ++w.presents;
  requireBackend().present(w.handle, {w.shown.data(), w.shownWidth, w.shownHeight, w.shownWidth * 4},
                           dirty);
}

bool WindowSystem::updateLayered(HWND hwnd, const POINT* position, const SIZE* size,
                                 PixelView source, POINT sourceOrigin, BYTE constantAlpha) {
  Window* w = find(hwnd);
  if (w == nullptr || w->foreignId != 0) return false;
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
    w = find(hwnd);
    if (w == nullptr) return false;
  }
  const unsigned a = constantAlpha;
  for (int y = 0; y < w->shownHeight; ++y) {
    for (int x = 0; x < w->shownWidth; ++x) {
      const int sx = sourceOrigin.x + x;
      const int sy = sourceOrigin.y + y;
      std::uint32_t px = 0;
      if (sx >= 0 && sy >= 0 && sx < source.width && sy < source.height) px = source.at(sx, sy);
      if (a != 255) {
        // Premultiplied: every channel scales with the constant alpha.
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          const unsigned c = (px >> shift) & 0xFF;
          out |= ((c * a + 127) / 255) << shift;
        }
        px = out;
      }
      w->shown[y * w->shownWidth + x] = px;
    }
  }
  present(*w, {0, 0, w->shownWidth, w->shownHeight});
  return true;
}

bool WindowSystem::copyPixels(HWND hwnd, PixelView source, const RECT& rect) {
  Window* w = find(hwnd);
  if (w == nullptr || w->foreignId != 0 || source.pixels == nullptr ||
      source.strideBytes < source.width * 4) {
    return false;
  }
  RECT r{std::max(rect.left, 0), std::max(rect.top, 0),
         std::min({rect.right, w->shownWidth, source.width}),
         std::min({rect.bottom, w->shownHeight, source.height})};
  if (r.empty()) return true;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) w->shown[y * w->shownWidth + x] = source.at(x, y);
  }
  present(*w, r);
  return true;
}

bool WindowSystem::invalidate(HWND hwnd, const RECT* rect) {
  Window* w = find(hwnd);
  if (w == nullptr || w->foreignId != 0) return false;
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

PixelView WindowSystem::shownPixels(HWND hwnd) const {
  const Window* w = find(hwnd);
  if (w == nullptr) return {};
  return {w->shown.data(), w->shownWidth, w->shownHeight, w->shownWidth * 4};
}

int WindowSystem::presentCount(HWND hwnd) const {
  const Window* w = find(hwnd);
  return w == nullptr ? 0 : w->presents;
}

}  // namespace platform::window
