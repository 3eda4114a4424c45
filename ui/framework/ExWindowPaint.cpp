// Composing the window image (background, title, controls) and pushing it to the screen:
// full redraws with their fade-in, region repaints and WM_PAINT copies.

#include <algorithm>

#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindowState.h"
#include "ui/framework/WindowClass.h"

namespace ui {

namespace gfx = platform::gfx;

namespace {

constexpr Argb kTransparentWhite = 0x00FFFFFFu;
constexpr Argb kTitleLight = 0xE1FFFFFFu;  // white at alpha 225
constexpr Argb kTitleDark = 0xE1000000u;

bool overlaps(const RectF& f, RectF r) {
  if (f.empty() || !f.finite()) return false;
  return f.x < r.right() && f.right() > r.x && f.y < r.bottom() && f.bottom() > r.y;
}

RectF toF(RectI r) {
  return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width), static_cast<float>(r.height)};
}

// The whole device pixels r touches, in units: a repaint clipped to them leaves no pixel
// half redrawn, so at a fractional scale it equals the full redraw.
RectF onWholePixels(RectI r, double scale) {
  const RectI p = gfx::pixelRectOf(r, scale);
  const auto s = static_cast<float>(scale);
  return {static_cast<float>(p.x) / s, static_cast<float>(p.y) / s, static_cast<float>(p.width) / s,
          static_cast<float>(p.height) / s};
}

// The device pixels a rectangle of units covers on a surface, cut to it.
RectI pixelsOn(const gfx::Surface& s, RectI units) {
  return intersect(gfx::pixelRectOf(units, s.scale()), {0, 0, s.width(), s.height()});
}

// Premultiplied pixels scaled by a constant alpha: what blending at that alpha leaves.
// Both surfaces at one scale; r in units.
void fadeCopy(const gfx::Surface& from, gfx::Surface& to, RectI units, int alpha) {
  const std::uint32_t* src = from.pixels();
  std::uint32_t* dst = to.mutablePixels();
  if (src == nullptr || dst == nullptr) return;
  const RectI r = intersect(pixelsOn(to, units), {0, 0, from.width(), from.height()});
  const int srcStride = from.strideBytes() / 4, dstStride = to.strideBytes() / 4;
  const std::uint32_t a = static_cast<std::uint32_t>(alpha);
  // Two channels per multiply; (t + (t >> 8)) >> 8 with t = c * a + 128 rounds c * a / 255
  // exactly, and the loop vectorises.
  for (int y = r.y; y < r.y + r.height; ++y) {
    const std::uint32_t* s = src + static_cast<std::ptrdiff_t>(y) * srcStride;
    std::uint32_t* d = dst + static_cast<std::ptrdiff_t>(y) * dstStride;
    for (int x = r.x; x < r.x + r.width; ++x) {
      const std::uint32_t p = s[x];
      std::uint32_t rb = (p & 0x00FF00FFu) * a + 0x00800080u;
      rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
      std::uint32_t ag = ((p >> 8) & 0x00FF00FFu) * a + 0x00800080u;
      ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
      d[x] = rb | ag;
    }
  }
  to.markDirty();
}

// One step of a cross-fade: each premultiplied channel of `image` moves toward the target
// (the composed pixel at the window alpha) by level / 255. At level 255 it is the target.
void blendToward(gfx::Surface& image, const gfx::Surface& composed, int windowAlpha, int level) {
  std::uint32_t* dst = image.mutablePixels();
  const std::uint32_t* src = composed.pixels();
  if (src == nullptr || dst == nullptr) return;
  const int w = std::min(image.width(), composed.width()), h = std::min(image.height(), composed.height());
  const int dstStride = image.strideBytes() / 4, srcStride = composed.strideBytes() / 4;
  const std::uint32_t wa = static_cast<std::uint32_t>(std::clamp(windowAlpha, 0, 255));
  const std::uint32_t a = static_cast<std::uint32_t>(std::clamp(level, 0, 255));
  for (int y = 0; y < h; ++y) {
    std::uint32_t* d = dst + static_cast<std::ptrdiff_t>(y) * dstStride;
    const std::uint32_t* s = src + static_cast<std::ptrdiff_t>(y) * srcStride;
    for (int x = 0; x < w; ++x) {
      std::uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t target = (((s[x] >> shift) & 0xFF) * wa + 127) / 255;
        const std::uint32_t from = (d[x] >> shift) & 0xFF;
        out |= ((from * (255 - a) + target * a + 127) / 255) << shift;
      }
      d[x] = out;
    }
  }
  image.markDirty();
}

bool isLayered(HWND hwnd) {
  return (pw::GetWindowLongA(hwnd, pw::GWL_EXSTYLE) & static_cast<long>(pw::WS_EX_LAYERED)) != 0;
}

}  // namespace

void ExWindow::State::loadBackground(const platform::system::ByteBlock& bytes) {
  backgroundImage.Release();
  if (!bytes.empty()) backgroundImage.LoadFromBytes(bytes);
}

void ExWindow::State::colourFromPicture() {
  if (backgroundImage.GetHandle() == nullptr) return;
  const int x = static_cast<int>(0.85 * backgroundImage.GetWidth());
  const int y = static_cast<int>(0.85 * backgroundImage.GetHeight());
  backgroundColour = swapRedBlue(backgroundImage.GetPixel(x, y));
}

void ExWindow::State::redraw(bool animate) {
  WindowEntry* e = entry();
  if (e == nullptr || composingNow || !e->composed.valid()) return;
  if (animate) {
    keepShownImage();
  } else {
    fadeImage = gfx::Surface{};
  }
  animationBusy = true;
  composingNow = true;
  ++paintDepth;
  pw::KillTimer(hwnd, kAnimationTimerId);
  drawBackground();
  // Custom drawing joins the background, so region repaints restore it too.
  if (customDraw && e->background.valid()) customDraw(hwnd, *e->background.graphics, width, height);
  if ((e = entry()) == nullptr) {
    --paintDepth;
    composingNow = animationBusy = false;
    return;
  }
  gfx::Graphics& g = *e->composed.graphics;
  g.resetClip();
  if (e->background.valid()) e->composed.pixels.copyFrom(e->background.pixels, 0, 0, width, height, 0, 0);
  drawTitleInto(g);
  if (entry() != nullptr) paintControls(onWholePixels({0, 0, width, height}, scale));
  if (afterDraw && entry() != nullptr) afterDraw(hwnd, g, width, height);
  --paintDepth;
  composingNow = false;
  e = entry();
  if (e == nullptr) {
    animationBusy = false;
    fadeImage = gfx::Surface{};
    return;
  }
  g.resetClip();
  // The region changes only with the size or the mode; the desktop reshapes the window for it.
  const bool rounded = e->windowAlpha != -1 && backgroundMode != 0 && backgroundMode != 1;
  const pw::SIZE wanted = rounded ? pw::SIZE{width, height} : pw::SIZE{};
  if (wanted != regionSize) {
    if (rounded) {
      setRoundRegion(hwnd, width, height, 0, static_cast<int>(kBackgroundCornerDiameter / 2));
    } else {
      pw::SetWindowRgn(hwnd, std::nullopt, true);
    }
    regionSize = wanted;
  }
  if (!animate || !fadeImage.valid()) {
    animationBusy = false;
    fadeImage = gfx::Surface{};
    pushRect({0, 0, width, height});
    return;
  }
  fadeAlpha = 0;
  setTimer(hwnd, kAnimationTimerId);
}

void ExWindow::State::keepShownImage() {
  const WindowEntry* e = entry();
  if (e == nullptr) return;
  // A fade that is cut short goes on from the frame it reached.
  if (fadeImage.valid() && fadeImage.unitWidth() == width && fadeImage.unitHeight() == height &&
      fadeImage.scale() == scale) {
    return;
  }
  fadeImage = gfx::Surface::createScaled(width, height, scale);
  if (!fadeImage.valid()) return;
  // What the screen shows: the composed image, at the window alpha when there is one.
  const gfx::Surface& shown = e->composed.pixels;
  if (e->windowAlpha != -1) {
    fadeCopy(shown, fadeImage, {0, 0, width, height}, e->windowAlpha);
  } else {
    fadeImage.copyFrom(shown, 0, 0, std::min(width, shown.unitWidth()), std::min(height, shown.unitHeight()), 0, 0);
  }
}

void ExWindow::State::drawBackground() {
  WindowEntry* e = entry();
  if (e == nullptr || !e->background.valid()) return;
  gfx::Graphics& g = *e->background.graphics;
  g.resetClip();
  const gfx::Image* image = backgroundImage.GetHandle();
  const float b = static_cast<float>(margin());
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  if (backgroundMode == 1) {
    g.clear(kTransparentWhite);
    if (image == nullptr) return;
    const NineGridMargins& m = nineGridMargins;
    if (m.left == 0 && m.top == 0 && m.right == 0 && m.bottom == 0) {
      g.drawImage(*image, RectF{0, 0, w, h});
    } else {
      drawNineGrid(g, *image, RectF{0, 0, w, h}, m);
    }
    return;
  }
  const Argb colour = swapRedBlue(backgroundColour);  // 0x00RRGGBB
  if (e->windowAlpha == -1) {
    g.clear(colour | 0xFF000000u);
    if (image == nullptr) return;
    const float iw = static_cast<float>(image->width()), ih = static_cast<float>(image->height());
    g.drawImage(*image, b, b);
    if (flagC != 0) {
      const float fadeW = iw > 100 ? 100 : iw / 2, fadeH = ih > 100 ? 100 : ih / 2;
      fillGradientRect(g, RectF{b, b + ih - fadeH + 1, iw + b, fadeH}, colour, colour | 0xFF000000u,
                       gfx::kGradientVertical);
      fillGradientRect(g, RectF{b + iw - fadeW + 1, b, fadeW, ih + b}, colour, colour | 0xFF000000u,
                       gfx::kGradientHorizontal);
    }
    return;
  }
  g.clear(kTransparentWhite);
  const int alpha = std::clamp(e->windowAlpha, 0, 255);
  const RectF area{b, b, w - 2 * b, h - 2 * b};
  if (area.empty()) return;
  const bool rounded = backgroundMode != 0;
  const gfx::Path shape = roundedClipPath(area, kBackgroundCornerDiameter);
  if (rounded) {
    g.fillPath(createSolidBrush(argbFrom(backgroundColour, alpha)), shape);
  } else {
    g.fillRectangle(createSolidBrush(argbFrom(backgroundColour, alpha)), area);
  }
  if (image == nullptr) return;
  // The picture keeps to the rounded shape, or it would square the corners off again.
  if (rounded) g.setClip(shape);
  g.drawImage(*image, area, RectF{0, 0, static_cast<float>(image->width()), static_cast<float>(image->height())},
              static_cast<float>(alpha) / 255.0f);
  g.resetClip();
}

RectI ExWindow::State::titleRect() const {
  if (backgroundMode == 1 || (captionButtonSet & kCaptionTitle) == 0) return {};
  const int b = margin();
  const int x = (captionButtonSet & kCaptionIcon) ? b + 28 : b + 8;
  const int reserve = b + 5 + kCaptionButtonWidth * captionButtonCount() + ((captionButtonSet & kCaptionClose) ? 11 : 0);
  const int w = width - x - reserve;
  if (w <= 0) return {};
  return {x, b + 6, w, 17};
}

void ExWindow::State::drawTitleInto(gfx::Graphics& g) {
  const WindowEntry* e = entry();
  const RectI r = titleRect();
  if (e == nullptr || r.width <= 0) return;
  const std::string text = pw::GetWindowTextA(hwnd);
  if (text.empty()) return;
  bool dark = true;
  for (double at : {0.2, 0.5, 0.8}) {
    const int x = r.x + static_cast<int>(at * r.width);
    const int y = r.y + r.height / 2;
    if (!isDarkColour(e->background.pixels.pixel(gfx::pixelsFloor(x, scale), gfx::pixelsFloor(y, scale)))) {
      dark = false;
    }
  }
  drawText(g, text, framework().defaultFont.get(), toF(r), dark ? kTitleLight : kTitleDark, 0, kEffectGlow);
}

void ExWindow::State::paintControls(RectF rect) {
  for (int index = 1;; ++index) {
    WindowEntry* e = entry();
    if (e == nullptr || index > static_cast<int>(e->controls.size())) return;
    const ControlRecord& r = e->controls[static_cast<std::size_t>(index) - 1];
    if (!r.visible || r.object == nullptr || !overlaps(r.bounds, rect)) continue;
    // A control clips to its bounds within this; set it afresh so no control inherits
    // what its predecessor left.
    e->composed.graphics->setClip(rect);
    // Disabled controls still show themselves.
    sendToControl(windowIndex, index, hwnd, pw::WM_PAINT, 0, kPaintPlain, true);
  }
}

void ExWindow::State::repaintRegion(RectI rect, bool restoreBackground) {
  WindowEntry* e = entry();
  if (e == nullptr || composingNow || !e->composed.valid()) return;
  const RectI r = intersect(rect, {0, 0, width, height});
  if (r.width <= 0) return;
  ++paintDepth;
  gfx::Graphics& g = *e->composed.graphics;
  if (restoreBackground && e->background.valid()) {
    e->composed.pixels.copyFrom(e->background.pixels, r.x, r.y, r.width, r.height, r.x, r.y);
    const RectI title = intersect(titleRect(), r);
    if (title.width > 0) {
      g.setClip(onWholePixels(title, scale));
      drawTitleInto(g);
    }
  }
  paintControls(onWholePixels(r, scale));
  --paintDepth;
  e = entry();
  if (e == nullptr) return;
  e->composed.graphics->resetClip();
  // While a fade-in runs its ticks push the whole image, this change included.
  if (!animationBusy && paintDepth == 0) pushRect(r);
}

void ExWindow::State::pushRect(RectI rect, int constantAlpha) {
  WindowEntry* e = entry();
  if (e == nullptr || !e->composed.valid()) return;
  const RectI r = intersect(rect, {0, 0, width, height});
  if (r.width <= 0) return;
  // The fade's ticks show every change made meanwhile, as part of their frames.
  if (animationBusy && fadeImage.valid()) return;
  if (updatesHeld > 0 && constantAlpha >= 255) {
    heldArea = unite(heldArea, r);
    return;
  }
  const pw::RECT dirty{r.x, r.y, r.x + r.width, r.y + r.height};
  if (!isLayered(hwnd)) {
    // A plain window shows the composed image through WM_PAINT.
    pw::InvalidateRect(hwnd, &dirty, false);
    return;
  }
  // The window alpha rides on the push's constant alpha, which scales every channel as
  // fadeCopy does; a copy of the window at that alpha would cost a surface of its size.
  int alpha = std::clamp(constantAlpha, 0, 255);
  if (e->windowAlpha != -1) alpha = (alpha * e->windowAlpha + 127) / 255;
  pw::UpdateLayeredWindow(hwnd, nullptr, nullptr, pw::pixelViewOf(e->composed.pixels), {0, 0},
                          static_cast<pw::BYTE>(alpha), &dirty);
}

void ExWindow::State::fadeTick() {
  WindowEntry* e = entry();
  if (e == nullptr || !animationBusy || composingNow || !fadeImage.valid()) {
    pw::KillTimer(hwnd, kAnimationTimerId);
    return;
  }
  if (fadeAlpha >= 255) {
    // The last blend made the fade image the new picture; the ordinary push shows that
    // same picture and leaves the alpha surface holding it.
    pw::KillTimer(hwnd, kAnimationTimerId);
    fadeAlpha = 0;
    animationBusy = false;
    fadeImage = gfx::Surface{};
    pushRect({0, 0, width, height});
    return;
  }
  const pw::RECT whole{0, 0, width, height};
  if (isLayered(hwnd)) {
    pw::UpdateLayeredWindow(hwnd, nullptr, nullptr, pw::pixelViewOf(fadeImage), {0, 0}, 255, &whole);
  } else {
    pw::InvalidateRect(hwnd, &whole, false);
  }
  fadeAlpha = nextFadeLevel(fadeAlpha);
  blendToward(fadeImage, e->composed.pixels, e->windowAlpha == -1 ? 255 : e->windowAlpha, fadeAlpha);
}

void ExWindow::State::onPaint() {
  pw::PAINTSTRUCT ps;
  pw::BeginPaint(hwnd, &ps);
  const WindowEntry* e = entry();
  // While a fade runs the screen shows its frame, not the new picture under it.
  const gfx::Surface* source = animationBusy && fadeImage.valid() ? &fadeImage : e != nullptr ? &e->composed.pixels : nullptr;
  if (source != nullptr && source->valid()) {
    if (isLayered(hwnd)) {
      pw::PaintPixels(hwnd, pw::pixelViewOf(*source), ps.rcPaint);
    } else {
      paintOpaque(*source, ps.rcPaint);
    }
  }
  pw::EndPaint(hwnd, &ps);
}

void ExWindow::State::paintOpaque(const gfx::Surface& source, const pw::RECT& rect) {
  // A plain window has no alpha: a copy onto it keeps each pixel's colour, as premultiplied
  // (so what was translucent shows over black), and drops the alpha.
  const int w = source.width(), h = source.height();
  const pw::RECT r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, source.unitWidth()),
                   std::min(rect.bottom, source.unitHeight())};
  const std::uint32_t* src = source.pixels();
  if (r.empty() || src == nullptr) return;
  const RectI p = pixelsOn(source, {r.left, r.top, r.width(), r.height()});
  opaqueCopy.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  const int stride = source.strideBytes() / 4;
  for (int y = p.y; y < p.y + p.height; ++y) {
    const std::uint32_t* s = src + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint32_t* d = opaqueCopy.data() + static_cast<std::ptrdiff_t>(y) * w;
    for (int x = p.x; x < p.x + p.width; ++x) d[x] = s[x] | 0xFF000000u;
  }
  pw::PaintPixels(hwnd, pw::PixelView{opaqueCopy.data(), w, h, w * 4, source.scale()}, r);
}

}  // namespace ui
