#pragma once
// Plain geometry and colour values shared by the drawing layer.

#include <cmath>
#include <cstdint>

namespace platform::gfx {

// 0xAARRGGBB, not premultiplied.
using Argb = std::uint32_t;

constexpr std::uint8_t alphaOf(Argb c) { return static_cast<std::uint8_t>(c >> 24); }
constexpr std::uint8_t redOf(Argb c) { return static_cast<std::uint8_t>(c >> 16); }
constexpr std::uint8_t greenOf(Argb c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t blueOf(Argb c) { return static_cast<std::uint8_t>(c); }
constexpr Argb makeArgb(unsigned a, unsigned r, unsigned g, unsigned b) {
  return (Argb{a & 0xFF} << 24) | (Argb{r & 0xFF} << 16) | (Argb{g & 0xFF} << 8) | Argb{b & 0xFF};
}

struct PointF {
  float x = 0;
  float y = 0;
};

struct RectF {
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;

  float right() const { return x + width; }
  float bottom() const { return y + height; }
  // True also for a rectangle with a NaN size.
  bool empty() const { return !(width > 0) || !(height > 0); }
  bool finite() const {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(width) && std::isfinite(height);
  }
};

struct RectI {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The one rounding rule between window units and device pixels: w x h units are
// ceil(w * s) x ceil(h * s) pixels, and a rectangle of units covers the pixels from
// floor(left * s) to ceil(right * s), so a repaint of any part lands on the same pixels
// as the whole.
// The slack keeps 10 * 1.1 from rounding up to 12 through binary error.
inline int pixelsFloor(double units, double scale) { return static_cast<int>(std::floor(units * scale + 1e-7)); }
inline int pixelsCeil(double units, double scale) { return static_cast<int>(std::ceil(units * scale - 1e-7)); }
inline RectI pixelRectOf(RectI units, double scale) {
  const int left = pixelsFloor(units.x, scale), top = pixelsFloor(units.y, scale);
  return {left, top, pixelsCeil(units.x + units.width, scale) - left,
          pixelsCeil(units.y + units.height, scale) - top};
}

}  // namespace platform::gfx
