// Feeds arbitrary bytes, in arbitrary chunk sizes, through the MPEG decoder: open, decode,
// seek and decode again. The first bytes choose the chunk sizes and the seek target.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/audio/ByteSource.h"
#include "platform/audio/DecoderFactory.h"
#include "platform/audio/Mp3Decoder.h"

namespace {

// Hands out at most a few bytes per read, as a slow download would.
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

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::uint8_t pattern_;
  std::size_t position_ = 0;
  std::size_t reads_ = 0;
};

void drain(platform::audio::Decoder& decoder, std::size_t limit) {
  std::vector<std::uint8_t> pcm(4608 * 2);
  std::size_t total = 0;
  while (total < limit) {
    std::size_t got = decoder.read(pcm.data(), pcm.size());
    if (got == 0) break;
    total += got;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::uint8_t pattern = data[0];
  std::uint16_t seekShare = static_cast<std::uint16_t>(data[1] | data[2] << 8);
  data += 3;
  size -= 3;

  ChunkedSource source(data, size, pattern);
  auto decoder = platform::audio::Mp3Decoder::open(source);
  if (decoder) {
    drain(*decoder, 1 << 20);
    if (auto length = decoder->lengthFrames()) {
      decoder->seek(*length * seekShare / 65535);
      drain(*decoder, 1 << 18);
      decoder->seekApproximately(*length / 3);
      drain(*decoder, 1 << 16);
    }
  }
  // The format sniffing in front of every decoder sees the same bytes.
  ChunkedSource again(data, size, static_cast<std::uint8_t>(pattern + 1));
  platform::audio::OpenedDecoder opened = platform::audio::openDecoder(again);
  if (opened.decoder) drain(*opened.decoder, 1 << 18);
  return 0;
}
