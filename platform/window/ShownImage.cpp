#include "platform/window/ShownImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/window/SurfacePixels.h"

namespace platform::window {

namespace {

const std::uint32_t* rowOf(PixelView v, int y) {
  return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(v.pixels) +
                                                static_cast<std::size_t>(y) * v.strideBytes);
}

std::uint32_t scaled(std::uint32_t px, unsigned alpha) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const unsigned c = (px >> shift) & 0xFF;
    out |= ((c * alpha + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

void ShownImage::resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  gfx::Surface next = gfx::Surface::create(width, height);
  if (next.valid() && surface_.valid()) {
    next.copyFrom(surface_, 0, 0, std::min(width, width_), std::min(height, height_), 0, 0);
  }
  surface_ = std::move(next);
  width_ = surface_.valid() ? width : 0;
  height_ = surface_.valid() ? height : 0;
}

RECT ShownImage::copyFrom(PixelView source, POINT sourceOrigin, const RECT& rect,
                          BYTE constantAlpha) {
  const RECT r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width_),
               std::min(rect.bottom, height_)};
  if (r.empty() || !surface_.valid()) return {};
  // The columns of r that have a source pixel: [inLeft, inRight).
  const long long ox = sourceOrigin.x;
  const long long oy = sourceOrigin.y;
  const bool hasSource = source.pixels != nullptr && source.width > 0 && source.height > 0;
  const int inLeft = static_cast<int>(std::clamp<long long>(-ox, r.left, r.right));
  const int inRight = static_cast<int>(std::clamp<long long>(source.width - ox, inLeft, r.right));
  auto* base = reinterpret_cast<std::uint8_t*>(surface_.mutablePixels());
  const std::size_t stride = static_cast<std::size_t>(surface_.strideBytes());
  for (int y = r.top; y < r.bottom; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(base + static_cast<std::size_t>(y) * stride);
    const long long sy = y + oy;
    if (!hasSource || sy < 0 || sy >= source.height || inLeft == inRight) {
      std::fill(out + r.left, out + r.right, 0u);
      continue;
    }
    std::fill(out + r.left, out + inLeft, 0u);
    std::fill(out + inRight, out + r.right, 0u);
    const std::uint32_t* in = rowOf(source, static_cast<int>(sy)) + (inLeft + ox);
    if (constantAlpha == 255) {
      std::memcpy(out + inLeft, in, static_cast<std::size_t>(inRight - inLeft) * 4);
    } else {
      for (int x = inLeft; x < inRight; ++x) out[x] = scaled(*in++, constantAlpha);
    }
  }
  cairo_surface_mark_dirty_rectangle(surface_.cairoSurface(), r.left, r.top, r.width(), r.height());
  return r;
}

PixelView ShownImage::view() const { return pixelViewOf(surface_); }

}  // namespace platform::window
