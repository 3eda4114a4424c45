// Damaged input never crashes: it is refused with a format error or plays what decodes.

#include <gtest/gtest.h>

#include <cstdio>

#include <random>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

class CorruptInput : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr)); }
  void TearDown() override { BASS_Free(); }
};

}  // namespace

TEST_F(CorruptInput, RandomBytesAreRefused) {
  std::mt19937 random(1234);
  for (int round = 0; round < 8; ++round) {
    std::vector<std::uint8_t> noise(4096u << round);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    HSTREAM stream = BASS_StreamCreateFile(TRUE, noise.data(), 0, noise.size(), 0);
    if (stream == 0) {
      int error = BASS_ErrorGetCode();
      EXPECT_TRUE(error == BASS_ERROR_FILEFORM || error == BASS_ERROR_FORMAT) << error;
    } else {
      // Noise that happens to hold frame headers may decode; it must still end.
      BASS_ChannelSetPosition(stream, 0, BASS_POS_BYTE);
      EXPECT_TRUE(BASS_StreamFree(stream));
    }
  }
  std::vector<std::uint8_t> wave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E', 'x', 'y'};
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, wave.data(), 0, wave.size(), 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
}

TEST_F(CorruptInput, EmptyMissingAndOutOfRangeSources) {
  std::string empty = writeTemp({});
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, empty.c_str(), 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
  std::remove(empty.c_str());
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "/nonexistent/tone.mp3", 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, TUNORA_TEST_MEDIA, 0, 0, 0), 0u);  // a folder
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  std::uint8_t byte = 0;
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, &byte, 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, nullptr, 0, 10, 0), 0u);
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, media("tone.mp3").c_str(), 1u << 30, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST_F(CorruptInput, TruncatedMp3PlaysWhatDecodes) {
  std::vector<std::uint8_t> file = readFile(media("tone.mp3"));
  file.resize(file.size() * 3 / 5);
  file.push_back(0xFF);  // half a frame header at the cut
  HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, file.size(), 0);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
  ASSERT_NE(length, static_cast<QWORD>(-1));
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, length - 176400 / 10, BASS_POS_BYTE));
  ASSERT_TRUE(playToEnd(stream, std::chrono::seconds(3)));
  EXPECT_GT(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), length / 2);
}

TEST(CorruptInputCapture, HugeId3TagIsSkippedAndCountedAsStart) {
  std::vector<std::uint8_t> file = id3Tag(3 << 20);
  std::size_t tagSize = file.size();
  std::vector<std::uint8_t> audio = readFile(media("tone.mp3"));
  file.insert(file.end(), audio.begin(), audio.end());
  std::string path = writeTemp(file);
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_START), tagSize);
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END), audio.size());
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_SIZE), file.size());
  EXPECT_LE(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_CURRENT), audio.size());
  ASSERT_TRUE(playToEnd(stream));
  EXPECT_TRUE(session.finish() == wavData(media("tone.mp3.ref.wav")));
  std::remove(path.c_str());
}
