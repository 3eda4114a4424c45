// Feeds arbitrary bytes, in arbitrary chunk sizes, through the MPEG decoder: open, decode,
// seek and decode again. The first bytes choose the chunk sizes and the seek target.

#include <cstddef>
#include <cstdint>

#include "ChunkedSource.h"
#include "platform/audio/DecoderFactory.h"
#include "platform/audio/Mp3Decoder.h"

using fuzzaudio::ChunkedSource;
using fuzzaudio::drain;

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
