// Feeds arbitrary bytes, in arbitrary chunk sizes, through format recognition and whichever
// decoder it picks (FLAC, Ogg Opus, Ogg Vorbis, WAV, MPEG): open, decode, seek, decode
// again, sometimes first as a download that completes midway. The first bytes choose the
// chunk sizes, the seek target and the download.

#include <cstddef>
#include <cstdint>

#include "ChunkedSource.h"
#include "platform/audio/DecoderFactory.h"

// libopusfile 0.12 loses the tags it parsed when a later header of the stream is bad (a few
// hundred bytes per refused file); that leak is the library's, not the decoders'.
extern "C" const char* __lsan_default_suppressions() { return "leak:libopusfile.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::uint8_t pattern = data[0];
  std::uint16_t seekShare = static_cast<std::uint16_t>(data[1] | data[2] << 8);
  data += 3;
  size -= 3;

  fuzzaudio::ChunkedSource source(data, size, pattern);
  bool downloading = (pattern & 0x80) != 0;
  if (downloading) source.markIncomplete();
  platform::audio::OpenedDecoder opened = platform::audio::openDecoder(source);
  if (!opened.decoder) return 0;
  platform::audio::Decoder& decoder = *opened.decoder;
  if (downloading) {
    fuzzaudio::drain(decoder, 1 << 14);
    source.markComplete();
    decoder.sourceCompleted();
  }
  fuzzaudio::drain(decoder, 1 << 20);
  if (auto length = decoder.lengthFrames()) {
    decoder.seek(*length * seekShare / 65535);
    fuzzaudio::drain(decoder, 1 << 18);
    decoder.seek(*length);
    fuzzaudio::drain(decoder, 1 << 12);
    decoder.seekApproximately(*length / 3);
    fuzzaudio::drain(decoder, 1 << 16);
  }
  return 0;
}
