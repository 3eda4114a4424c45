#pragma once
// A 32-bit premultiplied ARGB pixel buffer (0xAARRGGBB words, top-down rows), the
// stand-in for a DIB section. Every drawing target and every image frame is one.
// Not thread-safe: UI thread only, except that one made on a worker (a decoded picture)
// may be handed over whole and not touched there again.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/gfx/Geometry.h"

namespace platform::gfx {

namespace detail {
// The drawing back end's own pixel buffer.
struct NativeSurface;
struct NativeSurfaceDeleter {
  void operator()(NativeSurface* s) const;
};
}  // namespace detail

class Surface {
 public:
  // An empty surface (no pixels); valid() is false.
  Surface() = default;
  // Transparent black pixels; empty when the size is not positive or too large.
  static Surface create(int width, int height);
  // width x height units at scale pixels a unit (the rounding rule of Geometry.h), drawn
  // on in units. At scale 1 the same as create.
  static Surface createScaled(int width, int height, double scale);

  Surface(Surface&&) noexcept = default;
  Surface& operator=(Surface&&) noexcept = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface clone() const;

  bool valid() const { return surface_ != nullptr; }
  // In pixels, like everything below that takes or gives single pixels.
  int width() const;
  int height() const;
  int strideBytes() const;
  // Pixels a unit, and the size in units.
  double scale() const { return scale_; }
  // Takes the pixels as drawn at scale pixels a unit (a picture of a 2x set): the size in
  // units becomes the pixel size over scale, rounded.
  void setScale(double scale);
  int unitWidth() const { return valid() ? unitWidth_ : 0; }
  int unitHeight() const { return valid() ? unitHeight_ : 0; }

  // Raw premultiplied pixels; pending drawing is flushed first. After writing
  // through mutablePixels call markDirty so that later drawing sees the change.
  const std::uint32_t* pixels() const;
  std::uint32_t* mutablePixels();
  void markDirty();

  // Colour at (x, y) as straight (not premultiplied) ARGB; 0 outside the surface.
  Argb pixel(int x, int y) const;
  // Writes a straight ARGB colour; ignored outside the surface.
  void setPixel(int x, int y, Argb colour);
  // Premultiplied value as stored.
  std::uint32_t rawPixel(int x, int y) const;

  void clear(Argb colour = 0);

  // BitBlt with SRCCOPY: replaces the destination rectangle with the source's pixels.
  // In units; between surfaces of one scale it copies the pixels the rectangles cover.
  void copyFrom(const Surface& source, int sourceX, int sourceY, int width, int height,
                int destX, int destY);
  // AlphaBlend with per-pixel source alpha and a constant alpha (0..255) on top; the
  // source rectangle is scaled to the destination rectangle. In units.
  void blendFrom(const Surface& source, RectI sourceRect, RectI destRect, int constantAlpha);

  detail::NativeSurface* native() const { return surface_.get(); }

 private:
  explicit Surface(detail::NativeSurface* s);
  // Between surfaces of different scales: resampled.
  void copyScaled(const Surface& source, int sourceX, int sourceY, int width, int height, int destX,
                  int destY);
  std::unique_ptr<detail::NativeSurface, detail::NativeSurfaceDeleter> surface_;
  double scale_ = 1;
  int unitWidth_ = 0;
  int unitHeight_ = 0;
};

// Premultiplied <-> straight conversions of one pixel.
std::uint32_t premultiply(Argb colour);
Argb unpremultiply(std::uint32_t raw);

}  // namespace platform::gfx
