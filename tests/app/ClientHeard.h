#pragma once
// What the end-to-end tests compare the client's captured audio with: the service's own
// answers, and the PCM the audio engine makes of a song on the capture device.
// PCM here is 16-bit stereo at 44.1 kHz, as the capture device writes it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/SearchAnswer.h"
#include "tests/app/ClientSession.h"

namespace clienttest {

inline constexpr std::size_t kFrameBytes = 4;
inline constexpr std::size_t kFramesPerSecond = 44100;
// Past the 150 ms slide up from silence that every new stream starts with.
inline constexpr std::size_t kSlideFrames = kFramesPerSecond / 5;

// What the service answers for a singer, cut as the client cuts it.
std::vector<app::SongEntry> songsOf(int port, const std::string& singerUtf8);
// The song's link, as the service gives it.
std::string linkOf(int port, const app::SongEntry& song);
// The whole song as the engine plays it on the capture device; empty when it cannot.
std::vector<std::uint8_t> reference(const std::string& url);

// Left and right samples of the capture as one list.
std::vector<std::int16_t> samplesOf(const std::vector<std::uint8_t>& pcm);

// The first frame, from `from` on, where heard stops following gain x expected frame by
// frame (both from `from`, allowing rounding); heard's frame count when it never stops.
std::size_t firstDeparture(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& expected,
                           std::size_t from, double gain);

// The frame of expected where the `count` frames of heard at `at` are found scaled by
// gain; -1 when nowhere.
long long findFrames(const std::vector<std::int16_t>& heard, std::size_t at, std::size_t count,
                     const std::vector<std::int16_t>& expected, double gain);

// The gain that best maps expected onto heard over frames [from, to) (least squares).
double gainBetween(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& expected,
                   std::size_t from, std::size_t to);

// Whether what was heard is the expected song: from `from` (past the slide from silence),
// two seconds match.
void expectSameSong(const std::vector<std::uint8_t>& heard, const std::vector<std::uint8_t>& expected,
                    std::size_t from = kSlideFrames);

// The bytes of the copy's capture so far; grows while the client hears something.
std::uintmax_t capturedBytes(const ProgramCopy& copy);
// Waits until the client has heard `secondsMore` beyond what it had heard; false when it
// does not within 20 s. Steps wait for sound, not for the clock, on a loaded machine.
bool hearMore(const ProgramCopy& copy, double secondsMore);

}  // namespace clienttest
