// States, errors, positions and volume slides of the C interface.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "platform/system/Environment.h"

using namespace audiotest;
using namespace std::chrono_literals;

namespace {

constexpr QWORD kError = static_cast<QWORD>(-1);

class NoSoundDevice : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr)); }
  void TearDown() override { BASS_Free(); }
  static HSTREAM open(const std::string& name) {
    return BASS_StreamCreateFile(FALSE, media(name).c_str(), 0, 0, 0);
  }
};

}  // namespace

TEST(EngineLifecycle, InitAndFreeReportTheirErrors) {
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, media("tone.mp3").c_str(), 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_FALSE(BASS_Free());
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_FALSE(BASS_Init(-7, 44100, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);

  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  EXPECT_FALSE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media("tone.mp3").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  // Free takes every stream with it; a new engine does not know the old handles.
  EXPECT_TRUE(BASS_Free());
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_TRUE(BASS_Free());
}

// The client opens its device on a thread of its own while the window starts and may
// already ask about streams, or close at once.
TEST(EngineLifecycle, InitialisingOnOneThreadWhileOthersCallIn) {
  for (int round = 0; round < 20; ++round) {
    std::atomic<int> succeeded{0};
    std::atomic<bool> initialising{true};
    std::vector<std::thread> starters;
    for (int i = 0; i < 2; ++i) {
      starters.emplace_back([&] {
        if (BASS_Init(0, 44100, 0, nullptr, nullptr)) ++succeeded;
      });
    }
    std::thread caller([&] {
      while (initialising) {
        EXPECT_EQ(BASS_ChannelIsActive(0), BASS_ACTIVE_STOPPED);
        BASS_ChannelSlideAttribute(0, BASS_ATTRIB_VOL, 0.5f, 150);
      }
    });
    for (auto& starter : starters) starter.join();
    initialising = false;
    caller.join();
    EXPECT_EQ(succeeded.load(), 1) << "round " << round;
    HSTREAM stream = BASS_StreamCreateFile(FALSE, media("tone.mp3").c_str(), 0, 0, 0);
    EXPECT_NE(stream, 0u);
    // A Free racing a new Init either finds the engine or waits for it; none is left behind.
    std::thread starter([] { BASS_Init(0, 44100, 0, nullptr, nullptr); });
    BASS_Free();
    starter.join();
    BASS_Free();
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  }
}

TEST(EngineLifecycle, DefaultDeviceWithoutSoundCardFailsAndStreamsThenNeedInit) {
  platform::system::unsetEnvironment("TUNORA_AUDIO_CAPTURE");
  platform::system::setEnvironment("SDL_AUDIODRIVER", "tunora-no-such-driver");
  EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
  int error = BASS_ErrorGetCode();
  EXPECT_TRUE(error == BASS_ERROR_DEVICE || error == BASS_ERROR_DRIVER) << error;
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, media("tone.mp3").c_str(), 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  // SDL's own dummy driver does serve as a default device.
  platform::system::setEnvironment("SDL_AUDIODRIVER", "dummy");
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media("tone.mp3").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  EXPECT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) > 0; }));
  EXPECT_TRUE(BASS_Free());
  platform::system::unsetEnvironment("SDL_AUDIODRIVER");
}

TEST_F(NoSoundDevice, InvalidHandlesGiveNeutralResultsAndHandleError) {
  HSTREAM freed = open("tone.mp3");
  ASSERT_NE(freed, 0u);
  ASSERT_TRUE(BASS_ChannelPlay(freed, TRUE));
  EXPECT_TRUE(BASS_StreamFree(freed));  // stops it first
  for (DWORD handle : {DWORD{0}, freed, DWORD{0x7777}}) {
    SCOPED_TRACE(handle);
    float volume = 5;
    EXPECT_EQ(BASS_ChannelIsActive(handle), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelPlay(handle, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelPause(handle));
    EXPECT_FALSE(BASS_ChannelStop(handle));
    EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), kError);
    EXPECT_FALSE(BASS_ChannelSetPosition(handle, 0, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), kError);
    EXPECT_LT(BASS_ChannelBytes2Seconds(handle, 1000), 0.0);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(handle, 1.0), kError);
    EXPECT_FALSE(BASS_ChannelGetAttribute(handle, BASS_ATTRIB_VOL, &volume));
    EXPECT_FLOAT_EQ(volume, 5);
    EXPECT_FALSE(BASS_ChannelSlideAttribute(handle, BASS_ATTRIB_VOL, 0.5f, 150));
    EXPECT_EQ(BASS_StreamGetFilePosition(handle, BASS_FILEPOS_CURRENT), kError);
    EXPECT_FALSE(BASS_StreamFree(handle));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  }
}

TEST_F(NoSoundDevice, PlayPauseStopSequences) {
  HSTREAM stream = open("tone.mp3");
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
  EXPECT_FALSE(BASS_ChannelPause(stream));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOPLAY);

  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PLAYING);
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) > 20000; }));
  ASSERT_TRUE(BASS_ChannelPause(stream));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PAUSED);
  EXPECT_FALSE(BASS_ChannelPause(stream));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
  QWORD paused = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), paused);

  // Resuming goes on from the paused position, not from the start.
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) > paused; }));
  EXPECT_LT(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), paused + 176400);

  ASSERT_TRUE(BASS_ChannelStop(stream));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
  QWORD stopped = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
  EXPECT_GT(stopped, paused);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), stopped);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) > stopped; }));

  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  EXPECT_LT(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), stopped);
}

TEST_F(NoSoundDevice, PositionsLengthsAndConversions) {
  HSTREAM stereo = open("tone.mp3");
  HSTREAM mono = open("mono.mp3");
  ASSERT_NE(stereo, 0u);
  ASSERT_NE(mono, 0u);
  QWORD length = BASS_ChannelGetLength(stereo, BASS_POS_BYTE);
  EXPECT_EQ(length, wavData(media("tone.mp3.ref.wav")).size());
  EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(stereo, 176400), 1.0);
  EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(mono, 44100), 1.0);
  // Seconds2Bytes rounds down to a whole sample frame.
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, 1.5), 264600u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, 0.00003), 4u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(mono, 0.0001), 4u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, -1.0), kError);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

  // A position inside a frame starts at that frame.
  ASSERT_TRUE(BASS_ChannelSetPosition(stereo, 1003, BASS_POS_BYTE));
  EXPECT_EQ(BASS_ChannelGetPosition(stereo, BASS_POS_BYTE), 1000u);
  EXPECT_FALSE(BASS_ChannelSetPosition(stereo, length + 4, BASS_POS_BYTE));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
  EXPECT_EQ(BASS_ChannelGetPosition(stereo, BASS_POS_BYTE), 1000u);

  // A stream that reaches its end stops there.
  ASSERT_TRUE(BASS_ChannelSetPosition(stereo, length - 176400 / 10, BASS_POS_BYTE));
  ASSERT_TRUE(BASS_ChannelPlay(stereo, FALSE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stereo) == BASS_ACTIVE_STOPPED; }, 3s));
  EXPECT_EQ(BASS_ChannelGetPosition(stereo, BASS_POS_BYTE), length);
}

TEST_F(NoSoundDevice, FilePositionsOfALocalFile) {
  HSTREAM stream = open("tone.mp3");
  ASSERT_NE(stream, 0u);
  QWORD size = readFile(media("tone.mp3")).size();
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_START), 0u);
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END), size);
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD), size);
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_SIZE), size);
  EXPECT_LE(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_CURRENT), size);
  for (DWORD mode : {BASS_FILEPOS_CONNECTED, BASS_FILEPOS_BUFFER, BASS_FILEPOS_BUFFERING}) {
    EXPECT_EQ(BASS_StreamGetFilePosition(stream, mode), kError);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTFILE);
  }
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, 77), kError);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
}

TEST_F(NoSoundDevice, SlidesRunInEveryStateAndReplaceEachOther) {
  HSTREAM stream = open("tone.mp3");
  ASSERT_NE(stream, 0u);
  float volume = 0;
  ASSERT_TRUE(BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume));
  EXPECT_FLOAT_EQ(volume, 1.0f);  // a new stream starts at full volume

  // Stopped: the slide still runs to its end.
  ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 0.25f, 100));
  ASSERT_TRUE(waitFor([&] {
    BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume);
    return volume == 0.25f;
  }, 2s));

  // Paused, and a second slide takes over from wherever the first one was.
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  ASSERT_TRUE(BASS_ChannelPause(stream));
  ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 1.0f, 60000));
  std::this_thread::sleep_for(50ms);
  ASSERT_TRUE(BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume));
  EXPECT_GT(volume, 0.25f);
  EXPECT_LT(volume, 0.3f);
  ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 0.0f, 0));
  ASSERT_TRUE(BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume));
  EXPECT_FLOAT_EQ(volume, 0.0f);
  std::this_thread::sleep_for(30ms);
  ASSERT_TRUE(BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume));
  EXPECT_FLOAT_EQ(volume, 0.0f);

  EXPECT_FALSE(BASS_ChannelSlideAttribute(stream, 99, 0.5f, 10));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
  EXPECT_FALSE(BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, nullptr));
}

TEST(VolumeSlide, CaptureShowsALinearRamp) {
  std::vector<std::uint8_t> original = wavData(media("tone.wav"));
  // At real-time pace: the slide starts where the output is when it is called, so at eight
  // times the pace a 25 ms stall of this thread on a busy machine already looked like a late start.
  CaptureSession session(1.0);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media("tone.wav").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.0f));
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 1.0f, 1000));
  ASSERT_TRUE(playToEnd(stream));
  std::vector<std::uint8_t> heard = session.finish();
  ASSERT_EQ(heard.size(), original.size());

  auto sample = [](const std::vector<std::uint8_t>& pcm, std::size_t frame) {
    return static_cast<std::int16_t>(pcm[frame * 4] | pcm[frame * 4 + 1] << 8);
  };
  // Gains measured on loud samples lie on one line rising 1/44100 per frame.
  std::vector<std::pair<double, double>> points;
  std::size_t frames = heard.size() / 4;
  for (std::size_t f = 0; f < frames; ++f) {
    int in = sample(original, f);
    if (std::abs(in) < 12000) continue;
    double gain = sample(heard, f) / static_cast<double>(in);
    if (gain > 0.02 && gain < 0.98) points.emplace_back(static_cast<double>(f), gain);
  }
  ASSERT_GT(points.size(), 200u);
  double offset = points.front().second - points.front().first / 44100.0;
  for (const auto& [frame, gain] : points) {
    ASSERT_NEAR(gain, offset + frame / 44100.0, 0.002) << "frame " << frame;
  }
  // After the ramp the samples pass unchanged.
  auto rampEnd = static_cast<std::size_t>((1.0 - offset) * 44100.0) + 2;
#if defined(__SANITIZE_THREAD__)
  const std::size_t lateStart = 44100u / 2;  // the thread-checked engine starts slides later
#else
  const std::size_t lateStart = 44100u / 5;
#endif
  EXPECT_LT(rampEnd, 44100u + lateStart);
  for (std::size_t f = rampEnd; f < frames; ++f) ASSERT_EQ(sample(heard, f), sample(original, f)) << f;
}

TEST_F(NoSoundDevice, FreeingWhileOtherThreadsUseTheStream) {
  for (int round = 0; round < 3; ++round) {
    HSTREAM stream = open("tone.mp3");
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    std::vector<std::thread> users;
    for (int i = 0; i < 3; ++i) {
      users.emplace_back([stream] {
        for (int n = 0; n < 200; ++n) {
          BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
          BASS_ChannelSetPosition(stream, static_cast<QWORD>(n % 50) * 4000, BASS_POS_BYTE);
          BASS_ChannelIsActive(stream);
          BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 0.5f, 10);
        }
      });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5 * round));
    EXPECT_TRUE(BASS_StreamFree(stream));
    for (auto& user : users) user.join();
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
  }
}
