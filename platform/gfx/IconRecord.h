#pragma once
// Our stand-in for an icon handle: the colour pixels with their bit depth and a 1-bit
// mask, as an icon's two bitmaps hold them.

#include <cstdint>
#include <vector>

namespace platform::gfx {

struct IconRecord {
  int width = 0;
  int height = 0;
  // Bit depth of the colour bitmap; below 32 the top byte of each colour is meaningless.
  int bitsPerPixel = 32;
  // width * height values 0xAARRGGBB, top row first.
  std::vector<std::uint32_t> colour;
  // AND mask: rows of (width + 7) / 8 bytes, most significant bit first; a set bit marks a
  // transparent pixel.
  std::vector<std::uint8_t> mask;

  bool maskBit(int x, int y) const;
  void setMaskBit(int x, int y, bool transparent);
  bool wellFormed() const;
};

}  // namespace platform::gfx
