#pragma once
// Walks the block structure of a GIF file without decoding pixels: the screen size, the
// number of frames and the delay of each frame exactly as stored (hundredths of a
// second). The decoder in use rounds small delays up for playback, so the stored values
// come from here.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::gfx {

struct GifStructure {
  int screenWidth = 0;
  int screenHeight = 0;
  int largestFrameWidth = 0;
  int largestFrameHeight = 0;
  std::vector<int> delays;  // one per frame; 0 for a frame without a control block
};

// Empty when the bytes do not start with a GIF header; a file cut short yields the
// frames whose descriptors are complete.
std::optional<GifStructure> readGifStructure(std::span<const std::uint8_t> bytes);

}  // namespace platform::gfx
