// FLAC and Opus: exact seeks, and damaged files end cleanly.

#include <gtest/gtest.h>

#include <algorithm>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

std::vector<std::uint8_t> captureToEnd(CaptureSession& session, HSTREAM stream) {
  EXPECT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_TRUE(playToEnd(stream));
  return session.finish();
}

}  // namespace

TEST(FlacStream, SeekBehindAnId3TagLandsOnTheExactSample) {
  std::vector<std::uint8_t> file = id3Tag(4000);
  std::vector<std::uint8_t> flac = readFile(media("tone.flac"));
  file.insert(file.end(), flac.begin(), flac.end());
  std::vector<std::uint8_t> reference = wavData(media("tone.flac.ref.wav"));
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, file.size(), 0);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_START), 4010u);
  QWORD target = BASS_ChannelSeconds2Bytes(stream, 1.2345);
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, target, BASS_POS_BYTE));
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), target);
  std::vector<std::uint8_t> heard = captureToEnd(session, stream);
  EXPECT_TRUE(heard == std::vector<std::uint8_t>(reference.begin() + static_cast<long>(target), reference.end()));
}

TEST(OpusStream, SeekLandsWhereAsked) {
  std::vector<std::int16_t> reference = samples16(wavData(media("tone.opus.ref48.wav")));
  CaptureSession session(8.0, 48000);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media("tone.opus").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), reference.size() * 2);
  QWORD target = BASS_ChannelSeconds2Bytes(stream, 1.2345);
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, target, BASS_POS_BYTE));
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), target);
  std::vector<std::int16_t> heard = samples16(captureToEnd(session, stream));
  std::vector<std::int16_t> tail(reference.begin() + static_cast<long>(target / 2), reference.end());
  // After a seek the decoder needs a moment to settle into the state a continuous decode has.
  EXPECT_LT(relativeDifference(heard, tail, 48000 / 10 * 2), 0.005);
}

TEST(FlacStream, DamagedFilesAreRefusedOrEndWhereTheDataEnds) {
  std::vector<std::uint8_t> file = readFile(media("tone.flac"));
  std::vector<std::uint8_t> reference = wavData(media("tone.flac.ref.wav"));
  ASSERT_GT(file.size(), 4096u);
  CaptureSession session;
  std::vector<std::uint8_t> noInfo = file;
  std::fill(noInfo.begin() + 4, noInfo.begin() + 64, 0xFF);
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, noInfo.data(), 0, noInfo.size(), 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);

  // Cut in the middle of a frame: what comes before the cut plays, exactly.
  std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(file.size() * 3 / 5));
  HSTREAM stream = BASS_StreamCreateFile(TRUE, cut.data(), 0, cut.size(), 0);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(playToEnd(stream));
  QWORD end = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
  EXPECT_GT(end, reference.size() / 2);
  EXPECT_LT(end, reference.size() * 3 / 5);

  // Noise over a stretch of frames: decoding finds its feet again and plays to the end.
  std::vector<std::uint8_t> scarred = file;
  for (std::size_t i = file.size() / 2; i < file.size() / 2 + 2000; ++i) {
    scarred[i] = static_cast<std::uint8_t>(i * 131);
  }
  HSTREAM scarredStream = BASS_StreamCreateFile(TRUE, scarred.data(), 0, scarred.size(), 0);
  ASSERT_NE(scarredStream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(playToEnd(scarredStream));
  EXPECT_GT(BASS_ChannelGetPosition(scarredStream, BASS_POS_BYTE), reference.size() * 9 / 10);

  std::vector<std::uint8_t> heard = session.finish();
  ASSERT_GE(heard.size(), end);
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + static_cast<long>(end), reference.begin()));
}

TEST(OpusStream, DamagedFilesAreRefusedOrEndWhereTheDataEnds) {
  std::vector<std::uint8_t> file = readFile(media("tone.opus"));
  std::vector<std::int16_t> reference = samples16(wavData(media("tone.opus.ref48.wav")));
  ASSERT_GT(file.size(), 4096u);
  CaptureSession session(8.0, 48000);
  std::vector<std::uint8_t> noChannels = file;
  auto head = std::search(noChannels.begin(), noChannels.end(), std::begin("OpusHead"), std::end("OpusHead") - 1);
  ASSERT_NE(head, noChannels.end());
  head[9] = 0;  // channel count
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, noChannels.data(), 0, noChannels.size(), 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);

  // The length is what the whole pages before the cut hold (about a second each here), and
  // that is what plays.
  std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(file.size() * 3 / 5));
  HSTREAM stream = BASS_StreamCreateFile(TRUE, cut.data(), 0, cut.size(), 0);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
  EXPECT_GT(length, reference.size() * 2 / 4);
  EXPECT_LT(length, reference.size() * 2 * 3 / 5);
  ASSERT_TRUE(playToEnd(stream));
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), length);
  std::vector<std::int16_t> heard = samples16(session.finish());
  ASSERT_EQ(heard.size() * 2, length);
  reference.resize(heard.size());
  EXPECT_LT(relativeDifference(heard, reference), 0.005);
}
