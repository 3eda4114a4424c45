#include "platform/audio/DecoderFactory.h"

#include <cstring>

#include "platform/audio/Bass.h"
#include "platform/audio/FlacDecoder.h"
#include "platform/audio/Mp3Decoder.h"
#include "platform/audio/OggOpusDecoder.h"
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

namespace {

// Sources may hand out less than asked for at a time.
std::size_t readFully(ByteSource& source, std::uint8_t* out, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    std::size_t got = source.read(out + total, size - total);
    if (got == 0) break;
    total += got;
  }
  return total;
}

// Native FLAC starts with "fLaC", possibly behind an ID3v2 tag.
bool isFlac(ByteSource& source, const std::uint8_t* head, std::size_t got, std::uint64_t tagBytes) {
  if (tagBytes == 0) return got >= 4 && std::memcmp(head, "fLaC", 4) == 0;
  std::uint8_t marker[4] = {};
  return source.seek(tagBytes) && readFully(source, marker, 4) == 4 && std::memcmp(marker, "fLaC", 4) == 0;
}

// The first packet of an Ogg stream names its codec; it follows the page header and its
// segment table.
bool isOggOpus(const std::uint8_t* head, std::size_t got) {
  if (got < 27) return false;
  std::size_t packet = 27 + head[26];
  return packet + 8 <= got && std::memcmp(head + packet, "OpusHead", 8) == 0;
}

}  // namespace

OpenedDecoder openDecoder(ByteSource& source) {
  OpenedDecoder result;
  std::uint8_t head[64] = {};
  std::size_t got = readFully(source, head, sizeof head);
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
  bool flac = isFlac(source, head, got, result.tagBytes);
  if (!source.seek(0)) {
    result.error = BASS_ERROR_FILEFORM;
    return result;
  }
  if (flac) {
    result.decoder = FlacDecoder::open(source);
  } else if (got >= 4 && std::memcmp(head, "OggS", 4) == 0) {
    if (isOggOpus(head, got)) {
      result.decoder = OggOpusDecoder::open(source);
    } else {
      result.decoder = VorbisDecoder::open(source);
    }
  } else {
    result.decoder = Mp3Decoder::open(source);
  }
  if (!result.decoder) result.error = BASS_ERROR_FILEFORM;
  return result;
}

}  // namespace platform::audio
