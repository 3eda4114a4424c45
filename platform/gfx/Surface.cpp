#include "platform/gfx/Surface.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/PixelCopy.h"

namespace platform::gfx {

std::uint32_t premultiply(Argb c) {
  const unsigned a = alphaOf(c);
  auto mul = [a](unsigned v) { return (v * a + 127) / 255; };
  return (std::uint32_t{a} << 24) | (mul(redOf(c)) << 16) | (mul(greenOf(c)) << 8) | mul(blueOf(c));
}

Argb unpremultiply(std::uint32_t raw) {
  const unsigned a = raw >> 24;
  if (a == 0) return 0;
  if (a == 255) return raw;
  auto div = [a](unsigned v) { return std::min(255u, (v * 255 + a / 2) / a); };
  return makeArgb(a, div((raw >> 16) & 0xFF), div((raw >> 8) & 0xFF), div(raw & 0xFF));
}

Surface Surface::clone() const {
  if (!valid()) return Surface();
  Surface copy = createScaled(unitWidth_, unitHeight_, scale_);
  if (copy.valid()) copy.copyFrom(*this, 0, 0, unitWidth_, unitHeight_, 0, 0);
  return copy;
}

std::uint32_t* Surface::mutablePixels() { return const_cast<std::uint32_t*>(pixels()); }

std::uint32_t Surface::rawPixel(int x, int y) const {
  if (!valid() || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  const auto* row = reinterpret_cast<const std::uint8_t*>(pixels()) +
                    static_cast<std::size_t>(y) * strideBytes();
  std::uint32_t v;
  std::memcpy(&v, row + static_cast<std::size_t>(x) * 4, 4);
  return v;
}

Argb Surface::pixel(int x, int y) const { return unpremultiply(rawPixel(x, y)); }

void Surface::setPixel(int x, int y, Argb colour) {
  if (!valid() || x < 0 || y < 0 || x >= width() || y >= height()) return;
  auto* row = reinterpret_cast<std::uint8_t*>(mutablePixels()) +
              static_cast<std::size_t>(y) * strideBytes();
  const std::uint32_t v = premultiply(colour);
  std::memcpy(row + static_cast<std::size_t>(x) * 4, &v, 4);
  markDirty();
}

void Surface::copyFrom(const Surface& source, int sourceX, int sourceY, int w, int h, int destX,
                       int destY) {
  if (!valid() || !source.valid() || w <= 0 || h <= 0) return;
  if (source.scale_ != scale_ || &source == this) {
    copyScaled(source, sourceX, sourceY, w, h, destX, destY);
    return;
  }
  // Whole pixels, so that a copy of a part lands exactly where a copy of the whole does.
  const RectI d = pixelRectOf({destX, destY, w, h}, scale_);
  const int shiftX = pixelsFloor(sourceX, scale_) - d.x, shiftY = pixelsFloor(sourceY, scale_) - d.y;
  // Outside either surface there is nothing to copy; those destination pixels stay.
  const int left = std::max({d.x, 0, -shiftX}), top = std::max({d.y, 0, -shiftY});
  const int right = std::min({d.x + d.width, width(), source.width() - shiftX});
  const int bottom = std::min({d.y + d.height, height(), source.height() - shiftY});
  if (right <= left || bottom <= top) return;
  const auto* from = reinterpret_cast<const std::uint8_t*>(source.pixels());
  auto* to = reinterpret_cast<std::uint8_t*>(mutablePixels());
  const std::size_t fromStride = static_cast<std::size_t>(source.strideBytes());
  const std::size_t toStride = static_cast<std::size_t>(strideBytes());
  for (int y = top; y < bottom; ++y) {
    std::memmove(to + static_cast<std::size_t>(y) * toStride + static_cast<std::size_t>(left) * 4,
                 from + static_cast<std::size_t>(y + shiftY) * fromStride + static_cast<std::size_t>(left + shiftX) * 4,
                 static_cast<std::size_t>(right - left) * 4);
  }
  markPixelsDirty(*this, {left, top, right - left, bottom - top});
}

}  // namespace platform::gfx
