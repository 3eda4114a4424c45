// FLAC plays over HTTP exactly as the reference decoder gives it, Opus within the
// reference's dither.

#include <gtest/gtest.h>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

// 24-bit little-endian samples as exact integers.
std::vector<std::int32_t> samples24(const std::vector<std::uint8_t>& pcm) {
  std::vector<std::int32_t> samples(pcm.size() / 3);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    std::uint32_t bits = pcm[3 * i] | pcm[3 * i + 1] << 8 | static_cast<std::uint32_t>(pcm[3 * i + 2]) << 16;
    samples[i] = static_cast<std::int32_t>(bits << 8) / 256;
  }
  return samples;
}

}  // namespace

TEST(FlacStream, OverHttpMatchesTheReferenceDecoder) {
  NginxServer server;
  ASSERT_TRUE(server.running());
  std::vector<std::uint8_t> reference = wavData(media("tone.flac.ref.wav"));
  {
    CaptureSession session;
    HSTREAM stream = BASS_StreamCreateURL(server.url("tone.flac").c_str(), 0, 0, nullptr, nullptr);
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), reference.size());
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    EXPECT_TRUE(playToEnd(stream));
    std::vector<std::uint8_t> heard = session.finish();
    ASSERT_FALSE(reference.empty());
    EXPECT_TRUE(heard == reference);
  }
  // 24-bit samples are rounded to the nearest 16-bit value.
  std::vector<std::int32_t> wide = samples24(wavData(media("tone24.flac.ref.wav")));
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateURL(server.url("tone24.flac").c_str(), 0, 0, nullptr, nullptr);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_TRUE(playToEnd(stream));
  std::vector<std::int16_t> heard = samples16(session.finish());
  ASSERT_EQ(heard.size(), wide.size());
  std::size_t notNearest = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    std::int32_t error = heard[i] * 256 - wide[i];
    notNearest += error <= -128 || error > 128;
  }
  EXPECT_EQ(notNearest, 0u);
}

TEST(OpusStream, OverHttpMatchesTheReferenceAtTheDeviceRate) {
  NginxServer server;
  ASSERT_TRUE(server.running());
  std::vector<std::int16_t> reference = samples16(wavData(media("tone.opus.ref.wav")));
  std::size_t referenceFrames48 = wavData(media("tone.opus.ref48.wav")).size() / 4;
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateURL(server.url("tone.opus").c_str(), 0, 0, nullptr, nullptr);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(playToEnd(stream));
  // 48 kHz stereo: the stream's own bytes, whatever the device's rate.
  EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), referenceFrames48 * 4);
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), referenceFrames48 * 4);
  std::vector<std::int16_t> heard = samples16(session.finish());
  ASSERT_FALSE(reference.empty());
  // Two resamplers and two dithers differ by a few steps of 32768, not by a shift in time.
  ASSERT_EQ(heard.size(), reference.size());
  EXPECT_LT(relativeDifference(heard, reference), 0.05);
}
