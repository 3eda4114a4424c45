// What is heard must be exactly what the reference command-line decoders produce.

#include <gtest/gtest.h>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

std::vector<std::uint8_t> playCaptured(const std::string& name) {
  CaptureSession session;
  EXPECT_TRUE(session.ready());
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media(name).c_str(), 0, 0, 0);
  EXPECT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_TRUE(playToEnd(stream));
  return session.finish();
}

void expectSame(const std::vector<std::uint8_t>& heard, const std::vector<std::uint8_t>& reference) {
  ASSERT_FALSE(reference.empty());
  ASSERT_EQ(heard.size(), reference.size());
  EXPECT_TRUE(heard == reference);
}

}  // namespace

TEST(PcmExactness, FilesMatchTheReferenceDecoders) {
  // CBR with an Info frame (gapless trimmed), VBR without one, plain PCM.
  for (std::string name : {"tone.mp3", "tone-vbr.mp3"}) {
    SCOPED_TRACE(name);
    expectSame(playCaptured(name), wavData(media(name + ".ref.wav")));
  }
  expectSame(playCaptured("tone.wav"), wavData(media("tone.wav")));
}

TEST(PcmExactness, VorbisMatchesTheReferenceDecoder) {
  EXPECT_EQ(vorbisMismatch(playCaptured("tone.ogg"), wavData(media("tone.ogg.ref.wav"))), "");
}

TEST(PcmExactness, MemoryStreamMatchesAndLengthIsExact) {
  std::vector<std::uint8_t> file = readFile(media("tone-vbr.mp3"));
  std::vector<std::uint8_t> reference = wavData(media("tone-vbr.mp3.ref.wav"));
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, file.size(), 0);
  ASSERT_NE(stream, 0u);
  // Without a Xing/Info frame only a full scan gives the true length.
  EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), reference.size());
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END), file.size());
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD), file.size());
  ASSERT_TRUE(playToEnd(stream));
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), reference.size());
  expectSame(session.finish(), reference);
}

TEST(PcmExactness, SeekLandsOnTheExactSample) {
  std::vector<std::uint8_t> reference = wavData(media("tone.mp3.ref.wav"));
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media("tone.mp3").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  QWORD target = BASS_ChannelSeconds2Bytes(stream, 1.2345);
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, target, BASS_POS_BYTE));
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), target);
  ASSERT_TRUE(playToEnd(stream));
  std::vector<std::uint8_t> tail(reference.begin() + static_cast<long>(target), reference.end());
  expectSame(session.finish(), tail);
}

TEST(PcmExactness, OtherRatesAreConvertedForTheDevice) {
  // 22050 Hz mono: positions count the stream's own bytes, the device hears 44100 Hz stereo.
  std::vector<std::uint8_t> reference = wavData(media("mono.mp3.ref.wav"));
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media("mono.mp3").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
  EXPECT_EQ(length, reference.size());
  EXPECT_NEAR(BASS_ChannelBytes2Seconds(stream, length), reference.size() / 44100.0, 1e-9);
  ASSERT_TRUE(playToEnd(stream));
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), length);
  std::vector<std::uint8_t> heard = session.finish();
  // Twice the rate, twice the channels; the resampler may add or drop a few frames.
  EXPECT_NEAR(static_cast<double>(heard.size()), reference.size() * 4.0, 4 * 256.0);
  // Left and right carry the same (mono) signal.
  for (std::size_t i = 0; i + 3 < heard.size(); i += 4 * 97) {
    ASSERT_EQ(heard[i], heard[i + 2]);
    ASSERT_EQ(heard[i + 1], heard[i + 3]);
  }
}
