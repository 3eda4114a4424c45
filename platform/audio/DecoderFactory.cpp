#include "platform/audio/DecoderFactory.h"

#include <cstring>

#include "platform/audio/Bass.h"
#include "platform/audio/Mp3Decoder.h"
#include "platform/audio/VorbisDecoder.h"
#include "platform/audio/WavDecoder.h"

namespace platform::audio {

std::uint64_t id3v2TagSize(const std::uint8_t* header, std::size_t size) {
  if (size < 10 || std::memcmp(header, "ID3", 3) != 0 || header[3] == 0xFF ||
      header[4] == 0xFF) {
    return 0;
  }
  std::uint64_t body = 0;
  for (int i = 6; i < 10; ++i) {
    if (header[i] & 0x80) return 0;  // not a syncsafe size: not a tag
    body = (body << 7) | header[i];
  }
  bool footer = (header[5] & 0x10) != 0;
  return 10 + body + (footer ? 10 : 0);
}

OpenedDecoder openDecoder(ByteSource& source) {
  OpenedDecoder result;
  std::uint8_t head[12] = {};
  std::size_t got = source.read(head, sizeof head);
  if (got == 0 || !source.seek(0)) {
    result.error = BASS_ERROR_FILEFORM;
    return result;
  }
  result.tagBytes = id3v2TagSize(head, got);
  if (got >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
    result.decoder = WavDecoder::open(source);
    if (!result.decoder) result.error = BASS_ERROR_FORMAT;
    return result;
  }
  if (got >= 4 && std::memcmp(head, "OggS", 4) == 0) {
    result.decoder = VorbisDecoder::open(source);
  } else {
    result.decoder = Mp3Decoder::open(source);
  }
  if (!result.decoder) result.error = BASS_ERROR_FILEFORM;
  return result;
}

}  // namespace platform::audio
