#include "platform/window/ShownImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/PixelCopy.h"
#include "platform/window/SurfacePixels.h"

namespace platform::window {

namespace {

const std::uint32_t* rowOf(PixelView v, int y) {
  return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(v.pixels) +
                                                static_cast<std::size_t>(y) * v.strideBytes);
}

// Every premultiplied channel times alpha / 255, rounded to nearest: two channels at a
// time, with the exact division by 255 done as (t + (t >> 8)) >> 8.
std::uint32_t scaled(std::uint32_t px, unsigned alpha) {
  std::uint32_t rb = (px & 0x00FF00FFu) * alpha + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  std::uint32_t ag = ((px >> 8) & 0x00FF00FFu) * alpha + 0x00800080u;
  ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ag;
}

}  // namespace

void ShownImage::resize(int width, int height, double scale) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_ && scale == scale_) return;
  gfx::Surface next = createWindowSurface(width, height, scale);
  if (next.valid() && surface_.valid() && scale == scale_) {
    const auto* from = reinterpret_cast<const std::uint8_t*>(surface_.pixels());
    auto* to = reinterpret_cast<std::uint8_t*>(next.mutablePixels());
    const int rows = std::min(next.height(), surface_.height());
    const std::size_t rowBytes = static_cast<std::size_t>(std::min(next.width(), surface_.width())) * 4;
    for (int y = 0; y < rows; ++y) {
      std::memcpy(to + static_cast<std::size_t>(y) * next.strideBytes(),
                  from + static_cast<std::size_t>(y) * surface_.strideBytes(), rowBytes);
    }
    next.markDirty();
  }
  surface_ = std::move(next);
  scale_ = scale;
  width_ = surface_.valid() ? width : 0;
  height_ = surface_.valid() ? height : 0;
}

RECT ShownImage::copyFrom(PixelView source, POINT sourceOrigin, const RECT& rect,
                          BYTE constantAlpha) {
  const RECT r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width_),
               std::min(rect.bottom, height_)};
  if (r.empty() || !surface_.valid()) return {};
  if (source.pixels != nullptr && source.scale != scale_) return copyResampled(source, sourceOrigin, r, constantAlpha);
  // From here on in pixels.
  const gfx::RectI p = gfx::pixelRectOf({r.left, r.top, r.width(), r.height()}, scale_);
  const RECT d{p.x, p.y, std::min(p.x + p.width, surface_.width()), std::min(p.y + p.height, surface_.height())};
  const long long ox = gfx::pixelsFloor(sourceOrigin.x, scale_);
  const long long oy = gfx::pixelsFloor(sourceOrigin.y, scale_);
  const bool hasSource = source.pixels != nullptr && source.width > 0 && source.height > 0;
  // The columns of d that have a source pixel: [inLeft, inRight).
  const int inLeft = static_cast<int>(std::clamp<long long>(-ox, d.left, d.right));
  const int inRight = static_cast<int>(std::clamp<long long>(source.width - ox, inLeft, d.right));
  auto* base = reinterpret_cast<std::uint8_t*>(surface_.mutablePixels());
  const std::size_t stride = static_cast<std::size_t>(surface_.strideBytes());
  for (int y = d.top; y < d.bottom; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(base + static_cast<std::size_t>(y) * stride);
    const long long sy = y + oy;
    if (!hasSource || sy < 0 || sy >= source.height || inLeft == inRight) {
      std::fill(out + d.left, out + d.right, 0u);
      continue;
    }
    std::fill(out + d.left, out + inLeft, 0u);
    std::fill(out + inRight, out + d.right, 0u);
    const std::uint32_t* in = rowOf(source, static_cast<int>(sy)) + (inLeft + ox);
    if (constantAlpha == 255) {
      std::memcpy(out + inLeft, in, static_cast<std::size_t>(inRight - inLeft) * 4);
    } else {
      for (int x = inLeft; x < inRight; ++x) out[x] = scaled(*in++, constantAlpha);
    }
  }
  gfx::markPixelsDirty(surface_, {d.left, d.top, d.width(), d.height()});
  return r;
}

RECT ShownImage::copyResampled(PixelView source, POINT sourceOrigin, const RECT& r, BYTE constantAlpha) {
  const gfx::PixelSource from{source.pixels, source.width, source.height, source.strideBytes, source.scale};
  gfx::replaceResampled(surface_, from, sourceOrigin.x, sourceOrigin.y,
                        gfx::pixelRectOf({r.left, r.top, r.width(), r.height()}, scale_), constantAlpha);
  return r;
}

PixelView ShownImage::view() const { return pixelViewOf(surface_); }

}  // namespace platform::window
