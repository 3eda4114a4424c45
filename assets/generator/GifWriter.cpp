#include "assets/generator/GifWriter.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace artwork {

namespace {

constexpr int kRootBits = 8;
constexpr int kClearCode = 1 << kRootBits;
constexpr int kEndCode = kClearCode + 1;
constexpr int kMaxCode = 4095;

class BitPacker {
 public:
  explicit BitPacker(std::vector<std::uint8_t>& out) : out_(out) {}
  void put(int code, int bits) {
    buffer_ |= static_cast<std::uint32_t>(code) << count_;
    count_ += bits;
    while (count_ >= 8) {
      out_.push_back(static_cast<std::uint8_t>(buffer_ & 0xFF));
      buffer_ >>= 8;
      count_ -= 8;
    }
  }
  void flush() {
    if (count_ > 0) out_.push_back(static_cast<std::uint8_t>(buffer_ & 0xFF));
    buffer_ = 0;
    count_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint32_t buffer_ = 0;
  int count_ = 0;
};

void put16(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> lzwCompress(const std::vector<std::uint8_t>& indices) {
  std::vector<std::uint8_t> out;
  BitPacker packer(out);
  std::unordered_map<std::uint32_t, int> table;  // (prefix code << 8 | next index) -> code
  int nextCode = kEndCode + 1;
  int bits = kRootBits + 1;
  // The width grows once the next free code no longer fits, checked after each code is
  // written, which is where a decoder (one entry behind) grows it too.
  auto emit = [&](int code) {
    packer.put(code, bits);
    if (nextCode >= (1 << bits) && code <= kMaxCode && bits < 12) ++bits;
  };
  emit(kClearCode);
  if (!indices.empty()) {
    int prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
      const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | indices[i];
      auto found = table.find(key);
      if (found != table.end()) {
        prefix = found->second;
        continue;
      }
      emit(prefix);
      prefix = indices[i];
      if (nextCode >= kMaxCode) {
        emit(kClearCode);
        table.clear();
        nextCode = kEndCode + 1;
        bits = kRootBits + 1;
      } else {
        table.emplace(key, nextCode++);
      }
    }
    emit(prefix);
  }
  emit(kEndCode);
  packer.flush();
  return out;
}

std::vector<std::uint8_t> encodeGif(int width, int height, const std::vector<std::uint32_t>& palette,
                                    const std::vector<GifFrame>& frames) {
  const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF || palette.empty() || palette.size() > 256 ||
      frames.empty()) {
    return {};
  }
  for (const GifFrame& f : frames) {
    if (f.indices.size() != pixelCount) return {};
  }
  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  put16(out, width);
  put16(out, height);
  out.push_back(0xF7);  // global table of 256 colours, 8 bits per primary
  out.push_back(0);     // background colour index
  out.push_back(0);     // square pixels
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t rgb = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : 0;
    out.push_back(static_cast<std::uint8_t>(rgb >> 16));
    out.push_back(static_cast<std::uint8_t>(rgb >> 8));
    out.push_back(static_cast<std::uint8_t>(rgb));
  }
  const std::uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                               0x03, 0x01, 0x00, 0x00, 0x00};
  out.insert(out.end(), std::begin(loop), std::end(loop));
  for (const GifFrame& f : frames) {
    out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});  // graphic control: keep the frame, no transparency
    put16(out, f.delayCentiseconds);
    out.insert(out.end(), {0x00, 0x00});
    out.push_back(0x2C);  // image descriptor: whole screen, no local table
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out.push_back(0);
    out.push_back(kRootBits);
    const std::vector<std::uint8_t> data = lzwCompress(f.indices);
    for (std::size_t at = 0; at < data.size(); at += 255) {
      const std::size_t n = std::min<std::size_t>(255, data.size() - at);
      out.push_back(static_cast<std::uint8_t>(n));
      out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                 data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
  }
  out.push_back(0x3B);
  return out;
}

}  // namespace artwork
