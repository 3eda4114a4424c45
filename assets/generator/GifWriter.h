#pragma once
// A small animated-GIF encoder for the generator: 8-bit frames over one global palette,
// LZW-compressed, looping for ever.

#include <cstdint>
#include <vector>

namespace artwork {

struct GifFrame {
  std::vector<std::uint8_t> indices;  // width x height palette indexes, rows top to bottom
  int delayCentiseconds = 10;
};

// palette: up to 256 RGB colours (0xRRGGBB). Empty output for inconsistent sizes.
std::vector<std::uint8_t> encodeGif(int width, int height, const std::vector<std::uint32_t>& palette,
                                    const std::vector<GifFrame>& frames);

// The LZW code stream of one frame's indexes with 8-bit roots (no sub-block framing).
std::vector<std::uint8_t> lzwCompress(const std::vector<std::uint8_t>& indices);

}  // namespace artwork
