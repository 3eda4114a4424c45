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

}  // namespace platform::gfx
