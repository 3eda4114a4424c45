#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform::audio {

// The ReplayGain texts of an ID3v2 tag's TXXX frames, as ASCII.
struct Id3GainTags {
  std::optional<std::string> gain;
  std::optional<std::string> peak;
};

// `tag` is a whole ID3v2 tag, header included. Damaged or foreign parts are skipped, never
// read past `size`.
Id3GainTags id3GainTags(const unsigned char* tag, std::size_t size);

}  // namespace platform::audio
