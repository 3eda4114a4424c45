// The effects a window plays as it closes: a fade, a zoom away and four wipes. Each pushes
// its frames straight to the screen and pauses between them on the window layer's clock,
// so the whole effect blocks the UI thread for well under half a second.

#include <algorithm>
#include <cmath>

#include "ui/framework/ExWindowState.h"

namespace ui {

namespace gfx = platform::gfx;

namespace {

constexpr int kFadeFrames = 25;
constexpr int kFadePauseMs = 8;
constexpr int kZoomFrames = 20;
constexpr int kZoomPauseMs = 15;
constexpr float kZoomFactor = 1.5f;
constexpr int kWipeFrames = 24;
constexpr int kWipePauseMs = 12;
// Lines ahead of the wipe's front fade out over this many units (at most a third of the
// window), so the edge reads as soft rather than a hard cut.
constexpr int kWipeSoftEdge = 100;

void push(HWND hwnd, const gfx::Surface& frame, int alpha, const pw::RECT* dirty = nullptr) {
  pw::UpdateLayeredWindow(hwnd, nullptr, nullptr, pw::pixelViewOf(frame), {0, 0},
                          static_cast<pw::BYTE>(std::clamp(alpha, 0, 255)), dirty);
}

// One line of device pixels of the window image at a constant alpha (premultiplied: every
// channel scales).
void copyLine(const gfx::Surface& image, gfx::Surface& frame, bool vertical, int line, int alpha) {
  const std::uint32_t* src = image.pixels();
  std::uint32_t* dst = frame.mutablePixels();
  const int ss = image.strideBytes() / 4, ds = frame.strideBytes() / 4;
  const unsigned a = static_cast<unsigned>(std::clamp(alpha, 0, 255));
  auto scaled = [a](std::uint32_t p) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) out |= ((((p >> shift) & 0xFF) * a + 127) / 255) << shift;
    return out;
  };
  if (vertical) {
    for (int y = 0; y < frame.height(); ++y) dst[y * ds + line] = scaled(src[y * ss + line]);
  } else {
    for (int x = 0; x < frame.width(); ++x) dst[line * ds + x] = scaled(src[line * ss + x]);
  }
}

void playFade(HWND hwnd, const gfx::Surface& image) {
  const int step = 255 / kFadeFrames;
  for (int i = 1; i <= kFadeFrames; ++i) {
    push(hwnd, image, 255 - step * (i - 1));
    pw::Sleep(kFadePauseMs);
  }
}

void playZoom(HWND hwnd, const gfx::Surface& image, gfx::Surface& frame) {
  gfx::Graphics g(frame);
  const float w = static_cast<float>(image.unitWidth()), h = static_cast<float>(image.unitHeight());
  for (int i = 1; i <= kZoomFrames; ++i) {
    const float t = static_cast<float>(i) / kZoomFrames;
    // Shrinks towards two thirds of its size around the centre while it fades out.
    const float scale = 1.0f / (1.0f + (kZoomFactor - 1.0f) * t);
    const float alpha = 1.0f - t * 0.95f;
    g.clear(0);
    g.drawSurface(image, RectF{w * (1 - scale) / 2, h * (1 - scale) / 2, w * scale, h * scale}, RectF{0, 0, w, h},
                  alpha);
    push(hwnd, frame, 255);
    pw::Sleep(kZoomPauseMs);
  }
}

// kind 3: right to left, 4: left to right, 5: bottom to top, 6: top to bottom.
void playWipe(HWND hwnd, int kind, const gfx::Surface& image, gfx::Surface& frame) {
  const bool vertical = kind == kCloseWipeRightToLeft || kind == kCloseWipeLeftToRight;  // column lines
  const bool fromFar = kind == kCloseWipeRightToLeft || kind == kCloseWipeBottomToTop;
  // The wipe runs over device pixels, so its edge is as smooth at any scale.
  const double s = image.scale();
  const int extent = vertical ? image.width() : image.height();
  const int n = std::max(1, extent);
  const int soft = std::max(1, std::min(gfx::pixelsCeil(kWipeSoftEdge, s), n / 3));
  frame.copyFrom(image, 0, 0, image.unitWidth(), image.unitHeight(), 0, 0);
  int done = 0;  // lines (from the start side) already fully gone
  for (int k = 1; k <= kWipeFrames; ++k) {
    const int front = (n + soft) * k / kWipeFrames;  // lines before front - soft are gone
    int low = n, high = -1;
    for (int j = std::max(0, done); j < std::min(n, front); ++j) {
      const int alpha = j < front - soft ? 0 : 255 * (soft - (front - j)) / soft;
      const int line = fromFar ? n - 1 - j : j;
      copyLine(image, frame, vertical, line, alpha);
      low = std::min(low, line);
      high = std::max(high, line);
    }
    done = std::max(done, front - soft);
    frame.markDirty();
    if (high >= low) {
      const int first = static_cast<int>(std::floor(low / s)), last = static_cast<int>(std::ceil((high + 1) / s));
      const pw::RECT dirty = vertical ? pw::RECT{first, 0, last, image.unitHeight()}
                                      : pw::RECT{0, first, image.unitWidth(), last};
      push(hwnd, frame, 255, &dirty);
    }
    pw::Sleep(kWipePauseMs);
  }
}

}  // namespace

void ExWindow::State::playCloseEffect() {
  WindowEntry* e = entry();
  if (e == nullptr || closeEffectRunning || !e->composed.valid() || width <= 0 || height <= 0) return;
  if (closeEffect < kCloseFade || closeEffect > kCloseWipeTopToBottom) return;
  closeEffectRunning = true;
  pw::KillTimer(hwnd, kAnimationTimerId);
  animationBusy = false;
  fadeImage = gfx::Surface{};
  const long ex = pw::GetWindowLongA(hwnd, pw::GWL_EXSTYLE);
  pw::SetWindowLongA(hwnd, pw::GWL_EXSTYLE, ex | static_cast<long>(pw::WS_EX_LAYERED));
  // The window as it shows now, at its own size.
  gfx::Surface image = gfx::Surface::createScaled(width, height, scale);
  gfx::Surface frame = gfx::Surface::createScaled(width, height, scale);
  if (image.valid() && frame.valid()) {
    image.copyFrom(e->composed.pixels, 0, 0, width, height, 0, 0);
    if (e->windowAlpha != -1) {
      image.clear(0);
      image.blendFrom(e->composed.pixels, {0, 0, width, height}, {0, 0, width, height}, e->windowAlpha);
    }
    switch (closeEffect) {
      case kCloseFade:
        playFade(hwnd, image);
        break;
      case kCloseZoom:
        playZoom(hwnd, image, frame);
        break;
      default:
        playWipe(hwnd, closeEffect, image, frame);
        break;
    }
    frame.clear(0);
    push(hwnd, frame, 255);
  }
  closeEffectRunning = false;
}

}  // namespace ui
