#pragma once
// A byte source over the fuzzer's input that hands out a few bytes per read, as a slow
// download would; `pattern` chooses the sizes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"

namespace fuzzaudio {

class ChunkedSource : public platform::audio::ByteSource {
 public:
  ChunkedSource(const std::uint8_t* data, std::size_t size, std::uint8_t pattern)
      : data_(data), size_(size), pattern_(pattern) {}

  std::size_t read(void* out, std::size_t size) override {
    std::size_t chunk = 1 + (pattern_ ^ static_cast<std::uint8_t>(reads_++ * 37)) % 613;
    std::size_t n = std::min({size, chunk, size_ - position_});
    std::memcpy(out, data_ + position_, n);
    position_ += n;
    return n;
  }
  bool seek(std::uint64_t offset) override {
    if (offset > size_) return false;
    position_ = static_cast<std::size_t>(offset);
    return true;
  }
  std::uint64_t tell() const override { return position_; }
  std::optional<std::uint64_t> size() const override { return size_; }
  // Pretends to be a download still arriving until markComplete().
  bool complete() const override { return complete_; }
  void markIncomplete() { complete_ = false; }
  void markComplete() { complete_ = true; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::uint8_t pattern_;
  std::size_t position_ = 0;
  std::size_t reads_ = 0;
  bool complete_ = true;
};

// Decodes up to limit bytes of PCM.
inline void drain(platform::audio::Decoder& decoder, std::size_t limit) {
  std::vector<std::uint8_t> pcm(4608 * 2);
  std::size_t total = 0;
  while (total < limit) {
    std::size_t got = decoder.read(pcm.data(), pcm.size());
    if (got == 0) break;
    total += got;
  }
}

}  // namespace fuzzaudio
