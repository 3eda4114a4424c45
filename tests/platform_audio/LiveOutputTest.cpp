// The live output's side of a channel: it must never wait for a decoder.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "platform/audio/Channel.h"
#include "platform/audio/DecoderFactory.h"
#include "platform/audio/MemorySource.h"
#include "platform/audio/Mixer.h"

using namespace audiotest;
using namespace std::chrono_literals;
using platform::audio::Channel;
using platform::audio::Mixer;

namespace {

using Clock = std::chrono::steady_clock;

// Bytes in memory whose reads can be held back, as a slow disk or a busy machine would.
class HeldSource : public platform::audio::MemorySource {
 public:
  using MemorySource::MemorySource;
  std::size_t read(void* out, std::size_t size) override {
    while (held) std::this_thread::sleep_for(1ms);
    return MemorySource::read(out, size);
  }
  std::atomic<bool> held{false};
};

}  // namespace

TEST(LiveOutput, ADecoderHeldBackGivesSilenceAtOnceAndLosesNothing) {
  std::vector<std::uint8_t> file = readFile(media("talk.wav"));
  std::vector<std::uint8_t> reference = wavData(media("talk.wav"));
  Mixer mixer(platform::audio::PcmFormat{44100, 2});
  auto source = std::make_unique<HeldSource>(file.data(), file.size());
  HeldSource* held = source.get();
  auto opened = platform::audio::openDecoder(*source);
  ASSERT_NE(opened.decoder, nullptr);
  auto channel = std::make_shared<Channel>(std::move(source), std::move(opened.decoder), 0, nullptr,
                                           Channel::Device{mixer.format(), mixer.clock()});
  mixer.add(channel);
  int error = 0;
  ASSERT_TRUE(channel->play(false, error));
  std::this_thread::sleep_for(100ms);  // the decoder fills what it may ahead

  constexpr int kFrames = 1024;
  std::vector<std::int16_t> block(kFrames * 2);
  std::vector<std::uint8_t> heard;
  auto slowest = Clock::duration::zero();
  int slowCalls = 0;
  int calls = 0;
  // One output period, as an audio callback would ask for it; a little faster than real
  // time so that what was decoded ahead runs out soon.
  auto callback = [&] {
    auto start = Clock::now();
    int got = mixer.render(block.data(), kFrames, Channel::Pace::Live);
    auto took = Clock::now() - start;
    slowest = std::max(slowest, took);
    slowCalls += took > 10ms ? 1 : 0;
    ++calls;
    auto* bytes = reinterpret_cast<const std::uint8_t*>(block.data());
    heard.insert(heard.end(), bytes, bytes + got * 4);
    std::this_thread::sleep_for(2ms);
  };
  auto runUntil = [&](const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto end = Clock::now() + limit;
    while (!done() && Clock::now() < end) callback();
    return done();
  };

  held->held = true;
  EXPECT_TRUE(runUntil([&] { return channel->activity() == BASS_ACTIVE_STALLED; }, 5s))
      << "a channel starved for long is stalled";
  std::size_t beforeHold = heard.size();
  auto holdEnd = Clock::now() + 500ms;
  runUntil([&] { return Clock::now() >= holdEnd; }, 1s);
  EXPECT_EQ(heard.size(), beforeHold) << "nothing to give while the decoder is held";
  held->held = false;
  EXPECT_TRUE(runUntil([&] {
    return channel->activity() == BASS_ACTIVE_PLAYING && heard.size() > beforeHold + 44100 * 4;
  }, 5s)) << "and plays on by itself";

  // A busy machine may preempt a call or two; a render that waits for the decoder would
  // take 200 ms again and again.
  EXPECT_LE(slowCalls, 2) << "of " << calls;
  EXPECT_LT(slowest, 100ms) << "a live render waited";
  // The gap is silence in the output, not a hole in the stream: every sample once, in order.
  ASSERT_LE(heard.size(), reference.size());
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), reference.begin()));
  EXPECT_EQ(channel->position(), heard.size());
  mixer.remove(channel);
  channel->shutdown();
}

// The system's own default output, where one opens (under Wine the run points ALSA at a
// null sink, which Wine's audio drivers serve): every step returns and none hangs.
TEST(LiveOutput, TheDefaultDevicePlaysPausesResumesStopsAndCloses) {
  if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
    GTEST_SKIP() << "no live output device opens here (error " << BASS_ErrorGetCode() << ")";
  }
  HSTREAM stream = BASS_StreamCreateFile(FALSE, media("talk.wav").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.0f);  // heard by nobody
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  EXPECT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) > 0; }, 5s))
      << "the device pulls";

  ASSERT_TRUE(BASS_ChannelPause(stream)) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PAUSED);
  QWORD paused = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), paused);

  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  EXPECT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) > paused; }, 5s))
      << "and pulls again after the pause";
  EXPECT_TRUE(BASS_ChannelStop(stream));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
  EXPECT_TRUE(BASS_StreamFree(stream));
  EXPECT_TRUE(BASS_Free());
}
