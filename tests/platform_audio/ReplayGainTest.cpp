// Songs are levelled by the track gain their tags carry, held back by their peak; without
// the tags, or with levelling off, they play exactly as decoded.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

double rms(const std::vector<std::int16_t>& pcm) {
  double sum = 0;
  for (std::int16_t s : pcm) sum += static_cast<double>(s) * s;
  return std::sqrt(sum / static_cast<double>(std::max<std::size_t>(pcm.size(), 1)));
}

std::vector<std::uint8_t> heardOf(const std::string& name) {
  CaptureSession session;
  EXPECT_TRUE(session.ready());
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media(name).c_str(), 0, 0, 0);
  EXPECT_NE(stream, 0u) << name;
  float volume = -1;
  // The volume attribute stays the user's: levelling is a stage of its own.
  EXPECT_TRUE(BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume));
  EXPECT_EQ(volume, 1.0f);
  EXPECT_TRUE(playToEnd(stream));
  return session.finish();
}

}  // namespace

TEST(ReplayGain, TaggedSongsAreLevelledAndHeldBelowClipping) {
  struct Case {
    const char* file;
    const char* reference;
    double db;
  };
  // -6 dB (ID3v2 TXXX); +3 dB with peak 0.5 (room for it); +3 dB with peak 0.9, held to
  // 1/0.9; R128 -10 dB, which is -5 dB against ReplayGain's reference.
  for (const Case& c : {Case{"level-6.mp3", "level-6.mp3.ref.wav", -6.0}, Case{"level+3.flac", "level.wav", 3.0},
                        Case{"level+3.ogg", "level+3.ogg.ref.wav", 20 * std::log10(1 / 0.9)},
                        Case{"level.opus", "level.opus.ref48.wav", -5.0}}) {
    SCOPED_TRACE(c.file);
    auto heard = samples16(heardOf(c.file));
    auto reference = samples16(wavData(media(c.reference)));
    ASSERT_FALSE(heard.empty());
    EXPECT_NEAR(20 * std::log10(rms(heard) / rms(reference)), c.db, 0.1);
    auto loudest = std::max_element(heard.begin(), heard.end(), [](auto a, auto b) { return std::abs(a) < std::abs(b); });
    EXPECT_LT(std::abs(*loudest), 32767);
  }
}

TEST(ReplayGain, SwitchedOffTaggedSongsPlayAsDecoded) {
  ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_REPLAYGAIN, 0));
  auto heard = heardOf("level-6.mp3");
  ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_REPLAYGAIN, 1));
  EXPECT_TRUE(heard == wavData(media("level-6.mp3.ref.wav")));
  EXPECT_FALSE(BASS_SetConfig(12345, 0));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
}
