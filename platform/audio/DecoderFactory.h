#pragma once

#include <memory>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"

namespace platform::audio {

struct OpenedDecoder {
  std::unique_ptr<Decoder> decoder;  // null on failure
  int error = 0;                     // engine error code when decoder is null
  std::uint64_t tagBytes = 0;        // size of a leading ID3v2 tag
};

// Picks the decoder from the first bytes: RIFF/WAVE, FLAC (also behind an ID3v2 tag), Ogg
// Opus, other Ogg (Vorbis), else MPEG audio.
OpenedDecoder openDecoder(ByteSource& source);

// Size of an ID3v2 tag that starts header (10 bytes or more), 0 when there is none.
std::uint64_t id3v2TagSize(const std::uint8_t* header, std::size_t size);

}  // namespace platform::audio
