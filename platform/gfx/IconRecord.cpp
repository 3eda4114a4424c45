#include "platform/gfx/IconRecord.h"

#include <cstddef>

namespace platform::gfx {

namespace {
std::size_t maskIndex(int width, int x, int y) {
  return static_cast<std::size_t>(y) * ((width + 7) / 8) + x / 8;
}
}  // namespace

bool IconRecord::wellFormed() const {
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return false;
  const auto pixels = static_cast<std::size_t>(width) * height;
  return colour.size() == pixels && mask.size() == static_cast<std::size_t>((width + 7) / 8) * height;
}

bool IconRecord::maskBit(int x, int y) const {
  const std::size_t i = maskIndex(width, x, y);
  return i < mask.size() && (mask[i] & (0x80 >> (x % 8))) != 0;
}

void IconRecord::setMaskBit(int x, int y, bool transparent) {
  if (mask.size() != static_cast<std::size_t>((width + 7) / 8) * height) {
    mask.assign(static_cast<std::size_t>((width + 7) / 8) * height, 0);
  }
  const std::size_t i = maskIndex(width, x, y);
  const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
  mask[i] = transparent ? (mask[i] | bit) : (mask[i] & ~bit);
}

}  // namespace platform::gfx
