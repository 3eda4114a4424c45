#pragma once
// A short instrumental piece made from a seed: chords, a bass line, a lead melody built
// from two repeating phrases, a pad, sometimes an arpeggio, and a drum beat. The same seed
// always gives the same samples.

#include <cstdint>
#include <vector>

namespace songservice {

// 16-bit PCM, channels interleaved (1 or 2), exactly frames samples per channel.
std::vector<std::int16_t> synthesiseSong(std::uint32_t seed, int sampleRate, int channels,
                                         long long frames);

}  // namespace songservice
