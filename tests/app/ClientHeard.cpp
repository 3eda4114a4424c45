#include "tests/app/ClientHeard.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "net/HttpRequest.h"
#include "net/QueryEncoding.h"
#include "net/TextBetween.h"
#include "platform/text/CodePage.h"
#include "tests/platform_audio/AudioTestSupport.h"

namespace clienttest {
namespace {

// Rounding on both sides of a volume change.
int toleranceFor(double gain) { return gain == 1.0 ? 1 : 2; }

bool frameMatches(const std::vector<std::int16_t>& heard, std::size_t h, const std::vector<std::int16_t>& expected,
                  std::size_t e, double gain, int tolerance) {
  for (std::size_t c = 0; c < 2; ++c) {
    const double want = gain * expected[2 * e + c];
    if (std::abs(heard[2 * h + c] - want) > tolerance) return false;
  }
  return true;
}

}  // namespace

std::vector<app::SongEntry> songsOf(int port, const std::string& singerUtf8) {
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/api/songlist2?query=" +
                          net::EncodeQueryText(platform::text::utf8ToAnsi(singerUtf8)) +
                          "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823";
  return app::CutSearchAnswer(net::HttpRequest(url));
}

std::string linkOf(int port, const app::SongEntry& song) {
  const std::string links = net::HttpRequest("http://127.0.0.1:" + std::to_string(port) + "/api/links2?query=" +
                                             net::EncodeQueryText(song.title) + net::EncodeQueryText(song.singer));
  return net::TextBetween(links, "\"url\":\"", "\"");
}

std::vector<std::uint8_t> reference(const std::string& url) {
  audiotest::CaptureSession capture;
  if (!capture.ready()) return {};
  const HSTREAM stream = BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
  if (stream == 0 || !audiotest::playToEnd(stream, std::chrono::seconds(60))) return {};
  return capture.finish();
}

std::vector<std::int16_t> samplesOf(const std::vector<std::uint8_t>& pcm) {
  std::vector<std::int16_t> samples(pcm.size() / kFrameBytes * 2);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<std::int16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8);
  return samples;
}

std::size_t firstDeparture(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& expected,
                           std::size_t from, double gain) {
  const std::size_t frames = std::min(heard.size(), expected.size()) / 2;
  for (std::size_t i = from; i < frames; ++i)
    if (!frameMatches(heard, i, expected, i, gain, toleranceFor(gain))) return i;
  return heard.size() / 2;
}

long long findFrames(const std::vector<std::int16_t>& heard, std::size_t at, std::size_t count,
                     const std::vector<std::int16_t>& expected, double gain) {
  if (heard.size() / 2 < at + count || expected.size() / 2 < count) return -1;
  const int tolerance = toleranceFor(gain);
  for (std::size_t start = 0; start + count <= expected.size() / 2; ++start) {
    std::size_t k = 0;
    while (k < count && frameMatches(heard, at + k, expected, start + k, gain, tolerance)) ++k;
    if (k == count) return static_cast<long long>(start);
  }
  return -1;
}

double gainBetween(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& expected,
                   std::size_t from, std::size_t to) {
  double cross = 0, power = 0;
  for (std::size_t i = 2 * from; i < 2 * to && i < heard.size() && i < expected.size(); ++i) {
    cross += static_cast<double>(heard[i]) * expected[i];
    power += static_cast<double>(expected[i]) * expected[i];
  }
  return power > 0 ? cross / power : 0;
}

void expectSameSong(const std::vector<std::uint8_t>& heard, const std::vector<std::uint8_t>& expected,
                    std::size_t from) {
  constexpr std::size_t kCompared = 2 * kFramesPerSecond;
  const auto h = samplesOf(heard), e = samplesOf(expected);
  ASSERT_GE(h.size() / 2, from + kCompared);
  ASSERT_GE(e.size() / 2, from + kCompared);
  EXPECT_GE(firstDeparture(h, e, from, 1.0), from + kCompared)
      << "the captured audio is not the song chosen";
}

std::uintmax_t capturedBytes(const ProgramCopy& copy) {
  std::error_code ignored;
  return std::filesystem::file_size(copy.capturePath(), ignored);
}

bool hearMore(const ProgramCopy& copy, double secondsMore) {
  const std::uintmax_t wanted =
      capturedBytes(copy) + static_cast<std::uintmax_t>(secondsMore * kFramesPerSecond) * kFrameBytes;
  return audiotest::waitFor([&] { return capturedBytes(copy) >= wanted; }, std::chrono::seconds(20));
}

}  // namespace clienttest
