#include "platform/gfx/GifStructure.h"

#include <algorithm>
#include <cstring>

namespace platform::gfx {

namespace {

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> b) : bytes_(b) {}
  bool has(std::size_t n) const { return bytes_.size() - pos_ >= n; }
  std::uint8_t byte() { return bytes_[pos_++]; }
  int le16() {
    const int v = bytes_[pos_] | (bytes_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
  }
  void skip(std::size_t n) { pos_ += std::min(n, bytes_.size() - pos_); }
  // Skips a chain of data sub-blocks; false when the file ends inside it.
  bool skipSubBlocks() {
    while (has(1)) {
      const std::uint8_t size = byte();
      if (size == 0) return true;
      if (!has(size)) return false;
      skip(size);
    }
    return false;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

std::size_t colourTableBytes(std::uint8_t packed) {
  return (packed & 0x80) ? 3u * (1u << ((packed & 7) + 1)) : 0;
}

}  // namespace

std::optional<GifStructure> readGifStructure(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 13 || (std::memcmp(bytes.data(), "GIF87a", 6) != 0 &&
                            std::memcmp(bytes.data(), "GIF89a", 6) != 0)) {
    return std::nullopt;
  }
  Reader in(bytes);
  in.skip(6);
  GifStructure gif;
  gif.screenWidth = in.le16();
  gif.screenHeight = in.le16();
  const std::uint8_t packed = in.byte();
  in.skip(2);
  if (!in.has(colourTableBytes(packed))) return gif;
  in.skip(colourTableBytes(packed));

  int pendingDelay = 0;
  while (in.has(1)) {
    const std::uint8_t introducer = in.byte();
    if (introducer == 0x3B) break;  // trailer
    if (introducer == 0x21) {
      if (!in.has(1)) break;
      const std::uint8_t label = in.byte();
      if (label == 0xF9 && in.has(6)) {
        const std::uint8_t size = in.byte();
        if (size >= 4) {
          in.skip(1);
          pendingDelay = in.le16();
          in.skip(size - 3u);
        } else {
          in.skip(size);
        }
      }
      if (!in.skipSubBlocks()) break;
    } else if (introducer == 0x2C) {
      if (!in.has(9)) break;
      in.skip(4);
      const int w = in.le16();
      const int h = in.le16();
      const std::uint8_t imagePacked = in.byte();
      gif.delays.push_back(pendingDelay);
      gif.largestFrameWidth = std::max(gif.largestFrameWidth, w);
      gif.largestFrameHeight = std::max(gif.largestFrameHeight, h);
      pendingDelay = 0;
      if (!in.has(colourTableBytes(imagePacked) + 1)) break;
      in.skip(colourTableBytes(imagePacked) + 1);  // table and LZW code size
      if (!in.skipSubBlocks()) break;
    } else {
      break;  // not a GIF block: the rest is unreadable
    }
  }
  return gif;
}

}  // namespace platform::gfx
