#include "audio/AudioEngine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "../platform_audio/AudioTestSupport.h"
#include "platform/text/CodePage.h"
#include "resources/ResourcePackageWriter.h"

using audio::AudioEngine;
using namespace audiotest;

namespace {

// Leaves a known error behind so that a test can tell whether the engine was called.
void markError() {
  BASS_ChannelPause(0xDEAD);
  ASSERT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

std::string closedPortUrl() {
  return "http://127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/song.mp3";
}

class AudioEngineOnNoSound : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.Init(0)); }
  void TearDown() override { engine_.Free(); }
  AudioEngine engine_;
};

}  // namespace

TEST(AudioEngineFormatTime, MinutesAndSecondsWithoutHours) {
  AudioEngine engine;
  EXPECT_EQ(engine.FormatTime(0), "00:00");
  EXPECT_EQ(engine.FormatTime(5), "00:05");
  EXPECT_EQ(engine.FormatTime(59), "00:59");
  EXPECT_EQ(engine.FormatTime(60), "01:00");
  EXPECT_EQ(engine.FormatTime(75), "01:15");
  EXPECT_EQ(engine.FormatTime(599), "09:59");
  EXPECT_EQ(engine.FormatTime(600), "10:00");
  EXPECT_EQ(engine.FormatTime(6000), "100:00");
}

TEST(AudioEngineDefaults, InitOpensTheDefaultDeviceAt44100) {
  char pattern[] = "/tmp/tunora-engine-XXXXXX";
  int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  setenv("TUNORA_AUDIO_CAPTURE", pattern, 1);
  AudioEngine engine;
  ASSERT_TRUE(engine.Init());
  EXPECT_FALSE(engine.Init());  // a second Init without Free
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
  EXPECT_TRUE(engine.Free());
  unsetenv("TUNORA_AUDIO_CAPTURE");
  std::vector<std::uint8_t> header = readFile(pattern);
  ASSERT_GE(header.size(), 44u);
  EXPECT_EQ(header[24] | header[25] << 8 | header[26] << 16, 44100);  // default device, 44100 Hz
  std::remove(pattern);
}

TEST_F(AudioEngineOnNoSound, CreateStreamWithoutAnyUsableSourceNeverReachesTheEngine) {
  std::vector<std::uint8_t> nothing;
  markError();
  EXPECT_EQ(engine_.CreateStream(), 0u);
  EXPECT_EQ(engine_.CreateStream(std::string(), std::span<const std::uint8_t>(nothing), std::string()), 0u);
  EXPECT_EQ(engine_.CreateStream("/nonexistent/song.mp3"), 0u);
  EXPECT_EQ(engine_.CreateStream(std::string(TUNORA_TEST_MEDIA)), 0u);  // a folder is no file
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

  markError();
  EXPECT_EQ(engine_.Play(0), 0);
  EXPECT_EQ(engine_.Play(0, false), 0);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(AudioEngineOnNoSound, SourcesAreTriedFileThenMemoryThenUrl) {
  std::vector<std::uint8_t> bytes = readFile(media("tone.mp3"));
  // File and URL: the file (a file stream has no connection to report).
  HSTREAM fromFile = engine_.CreateStream(media("tone.mp3"), std::nullopt, closedPortUrl());
  ASSERT_NE(fromFile, 0u);
  EXPECT_EQ(BASS_StreamGetFilePosition(fromFile, BASS_FILEPOS_CONNECTED), static_cast<QWORD>(-1));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTFILE);

  // A missing file falls through to the memory block.
  HSTREAM fromMemory = engine_.CreateStream("/nonexistent/song.mp3",
                                            std::span<const std::uint8_t>(bytes), closedPortUrl());
  ASSERT_NE(fromMemory, 0u);
  EXPECT_EQ(engine_.GetLength(fromMemory), engine_.GetLength(fromFile));

  // And then to the URL, which the engine does try.
  markError();
  EXPECT_EQ(engine_.CreateStream("/nonexistent/song.mp3", std::nullopt, closedPortUrl()), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);

  // File names are native paths, passed on unchanged: a folder and a file named in
  // Chinese characters open as they are (the program folder may be such a folder).
  std::string folder = std::string(TUNORA_TEST_MEDIA) + "/\xe9\x9f\xb3\xe4\xb9\x90\xe5\xba\x93";  // 音乐库
  std::string utf8Name = folder + "/\xe6\xad\x8c\xe6\x9b\xb2.mp3";  // 歌曲
  std::filesystem::create_directories(folder);
  std::ofstream(utf8Name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  HSTREAM named = engine_.CreateStream(utf8Name);
  EXPECT_NE(named, 0u);
  EXPECT_NE(BASS_StreamCreateFile(FALSE, utf8Name.c_str(), 0, 0, 0), 0u);
  std::filesystem::remove_all(folder);
}

TEST_F(AudioEngineOnNoSound, MemoryBlockWithAnOffsetStaysInsideTheBlock) {
  // The whole block's length travels with the offset; the stream must not read past it.
  std::vector<std::uint8_t> block(4096, 0x55);
  std::vector<std::uint8_t> audio = readFile(media("tone.mp3"));
  block.insert(block.end(), audio.begin(), audio.end());
  HSTREAM stream = engine_.CreateStream(std::nullopt, std::span<const std::uint8_t>(block),
                                        std::nullopt, 4096);
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(engine_.GetLength(stream), wavData(media("tone.mp3.ref.wav")).size());
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END), audio.size());
}

TEST_F(AudioEngineOnNoSound, PlaybackOperationsPassThrough) {
  HSTREAM stream = engine_.CreateStream(media("tone.mp3"));
  ASSERT_NE(stream, 0u);
  float volume = 0;
  ASSERT_TRUE(engine_.GetVolume(stream, volume));
  EXPECT_FLOAT_EQ(volume, 1.0f);
  ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 0.4f, 0));
  ASSERT_TRUE(engine_.GetVolume(stream, volume));
  EXPECT_FLOAT_EQ(volume, 0.4f);

  QWORD length = engine_.GetLength(stream);
  EXPECT_EQ(length, wavData(media("tone.mp3.ref.wav")).size());
  EXPECT_EQ(engine_.FormatTime(static_cast<int>(engine_.BytesToSeconds(stream, length))), "00:03");
  EXPECT_EQ(engine_.SecondsToBytes(stream, 1.0), 176400u);

  ASSERT_TRUE(engine_.Play(stream));
  EXPECT_EQ(engine_.IsActive(stream), BASS_ACTIVE_PLAYING);
  ASSERT_TRUE(waitFor([&] { return engine_.GetPosition(stream) > 30000; }));
  ASSERT_TRUE(engine_.Pause(stream));
  EXPECT_EQ(engine_.IsActive(stream), BASS_ACTIVE_PAUSED);
  // Seeking to a percentage while paused, then resuming without a restart.
  QWORD target = length * 50 / 100;
  ASSERT_TRUE(engine_.SetPosition(stream, target));
  ASSERT_TRUE(engine_.Play(stream, false));
  EXPECT_GE(engine_.GetPosition(stream), target - target % 4);
  // Play with the restart flag left out starts over.
  ASSERT_TRUE(engine_.Play(stream));
  EXPECT_LT(engine_.GetPosition(stream), target);
  ASSERT_TRUE(engine_.Stop(stream));
  EXPECT_EQ(engine_.IsActive(stream), BASS_ACTIVE_STOPPED);
  ASSERT_TRUE(engine_.FreeStream(stream));
  EXPECT_FALSE(engine_.FreeStream(stream));
  EXPECT_EQ(engine_.IsActive(stream), BASS_ACTIVE_STOPPED);
}

TEST(AudioEngineResources, UnpackForwardsToThePackageReader) {
  std::vector<platform::system::ByteBlock> entries = {{1, 2, 3}, {}, {'p', 'n', 'g'}};
  std::optional<std::string> package = resources::PackResourceEntries(entries);
  ASSERT_TRUE(package.has_value());
  char pattern[] = "/tmp/tunora-package-XXXXXX";
  int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  std::ofstream(pattern, std::ios::binary).write(package->data(), static_cast<std::streamsize>(package->size()));

  AudioEngine original;
  AudioEngine copy = original;  // a copy offers the same operations
  std::vector<platform::system::ByteBlock> unpacked;
  std::string message;
  EXPECT_TRUE(copy.UnpackResourcePackage(pattern, unpacked, message));
  EXPECT_EQ(unpacked, entries);
  EXPECT_EQ(message, platform::text::utf8ToAnsi("解包成功"));
  EXPECT_FALSE(copy.UnpackResourcePackage("/nonexistent.rdb", unpacked, message));
  EXPECT_EQ(unpacked, entries);
  std::remove(pattern);
}
