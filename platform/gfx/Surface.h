#pragma once
// A 32-bit premultiplied ARGB pixel buffer (cairo's ARGB32 layout, top-down rows), the
// stand-in for a DIB section. Every drawing target and every image frame is one.
// Not thread-safe: UI thread only, except that one made on a worker (a decoded picture)
// may be handed over whole and not touched there again.

#include <cstdint>
#include <optional>

#include "platform/gfx/CairoHandles.h"
#include "platform/gfx/Geometry.h"

namespace platform::gfx {

class Surface {
 public:
  // An empty surface (no pixels); valid() is false.
  Surface() = default;
  // Transparent black pixels; empty when the size is not positive or too large.
  static Surface create(int width, int height);

  Surface(Surface&&) noexcept = default;
  Surface& operator=(Surface&&) noexcept = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface clone() const;

  bool valid() const { return surface_ != nullptr; }
  int width() const;
  int height() const;
  int strideBytes() const;

  // Raw premultiplied pixels; pending cairo drawing is flushed first. After writing
  // through mutablePixels call markDirty so that cairo sees the change.
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
  void copyFrom(const Surface& source, int sourceX, int sourceY, int width, int height,
                int destX, int destY);
  // AlphaBlend with per-pixel source alpha and a constant alpha (0..255) on top; the
  // source rectangle is scaled to the destination rectangle.
  void blendFrom(const Surface& source, RectI sourceRect, RectI destRect, int constantAlpha);

  cairo_surface_t* cairoSurface() const { return surface_.get(); }

 private:
  explicit Surface(cairo_surface_t* s) : surface_(s) {}
  detail::SurfacePtr surface_;
};

// Premultiplied <-> straight conversions of one pixel.
std::uint32_t premultiply(Argb colour);
Argb unpremultiply(std::uint32_t raw);

}  // namespace platform::gfx
