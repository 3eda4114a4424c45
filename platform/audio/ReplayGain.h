#pragma once
// Levelled loudness: the track gain and peak a song's tags carry, read through its
// decoder's own library, become one factor the channel applies before the user's volume.

#include <optional>
#include <string_view>

namespace platform::audio {

struct ReplayGain {
  double gainDb = 0;            // to the reference loudness
  std::optional<double> peak;   // the track's highest sample, 1 = full scale
};

// min(10^(gain/20), 1/peak): the gain, held back so that the peak does not clip.
float replayGainFactor(const ReplayGain& gain);

// The gain from the texts of a track gain tag and a peak tag (either may be missing);
// none without a readable gain.
std::optional<ReplayGain> replayGainFromTags(const char* gain, const char* peak);

// The number a gain or peak tag starts with ("-6.50 dB", "0.988"), whatever the locale.
std::optional<double> tagNumber(std::string_view text);

// Engine-wide, on unless switched off; any thread. A stream takes it when it is created.
void setReplayGainEnabled(bool enabled);
bool replayGainEnabled();

}  // namespace platform::audio
