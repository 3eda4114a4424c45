#pragma once
// The invented songs of the demo catalogue and how each is encoded.

#include <span>
#include <string>

namespace songservice {

// Output forms of lame the catalogue mixes, so the player meets each kind of stream.
enum class Encoding { Cbr128, Vbr44, Mono22Cbr, Mono22Vbr, Cbr160At48, Vbr48 };

struct EncodingForm {
  const char* name;  // as the index records it
  int sampleRate;
  int channels;
  const char* lameArguments;  // blank-separated
};

const EncodingForm& encodingForm(Encoding encoding);

struct SongPlan {
  const char* title;  // UTF-8
  const char* singer;
  const char* album;
  int seconds;
  Encoding encoding;
};

struct SingerPlan {
  const char* name;
  unsigned hue;  // 0..359, the portrait's colour
};

std::span<const SongPlan> catalogueSongs();
std::span<const SingerPlan> catalogueSingers();

// Positions (from 0) in catalogueSongs() of the songs the preset file lists, in its order.
std::span<const int> presetSongs();

}  // namespace songservice
