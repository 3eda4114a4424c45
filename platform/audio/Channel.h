#pragma once

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"
#include "platform/audio/NetworkSource.h"
#include "platform/audio/PcmRing.h"
#include "platform/audio/VolumeSlide.h"
#include "platform/audio/WakeEvent.h"
#include "platform/system/OwnedHandle.h"

namespace platform::audio {

// One stream: its source, decoder, decoder thread and the PCM waiting to be heard.
// The decoder thread and the output thread meet in the PCM ring under mutex_ / ready_.
// Nothing slow runs under mutex_ (no decoding, no waiting for the network, no waiting on
// another lock), so a live output may take it.
class Channel {
 public:
  // How an output takes PCM: a live device never waits; a paced one (no sound, capture)
  // may wait for the decoder so that what it writes has no gaps.
  enum class Pace { Live, MayWait };
  // The most frames one render() call takes.
  static constexpr int kMaxRenderFrames = 16384;

  struct Device {
    PcmFormat format;                          // what the output plays
    std::shared_ptr<const std::atomic<std::uint64_t>> clock;  // output frames rendered so far
  };

  Channel(std::unique_ptr<ByteSource> source, std::unique_ptr<Decoder> decoder,
          std::uint64_t tagBytes, NetworkSource* network, Device device);
  ~Channel();
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  // Encoded bytes a download needs ahead of the decoder before playback starts or resumes:
  // 75 % of a 5-second buffer.
  static std::uint64_t prebufferFor(double encodedBytesPerSecond);

  // False when the stream's layout cannot be converted to the device's.
  bool playable() const { return format_ == device_.format || converter_ != nullptr; }

  // Stops the decoder thread; any thread, once.
  void shutdown();

  // The calls below return false with error set on failure; any thread.
  bool play(bool restart, int& error);
  bool pause(int& error);
  void stop();
  std::uint32_t activity();
  std::uint64_t position();
  bool setPosition(std::uint64_t bytes, int& error);
  std::optional<std::uint64_t> lengthBytes();
  PcmFormat format() const { return format_; }
  float volume();
  void setVolume(float value);
  void slideVolume(float value, std::uint32_t milliseconds);
  bool filePosition(std::uint32_t mode, std::uint64_t& value, int& error);

  // Runs on the output thread: adds up to frames (at most kMaxRenderFrames) device frames
  // into mix and returns how many it gave. Live: a channel whose PCM is not ready gives
  // what it has at once and counts as stalled when that lasts. Without ended the channel
  // stops once it has given its last frame; with it, ended is set then and the caller
  // calls endPlay().
  int render(std::int32_t* mix, int frames, Pace pace, bool* ended = nullptr);
  void endPlay();

 private:
  enum class State { Stopped, Playing, Paused };

  void decodeLoop();
  bool seekDecoder(std::uint64_t frame);
  bool readyToResume() const;       // caller holds mutex_
  void resetConverter();            // caller holds mutex_
  int pullFrames(int frames);       // caller holds mutex_; fills scratch_
  std::uint64_t convertPending() const;  // caller holds mutex_
  void mixScratch(std::int32_t* mix, int frames);  // caller holds mutex_
  std::uint64_t prebufferBytes() const;

  const std::unique_ptr<ByteSource> source_;
  NetworkSource* const network_;  // source_ when it is a download, else null
  const std::uint64_t tagBytes_;
  const PcmFormat format_;
  const Device device_;
  const double encodedBytesPerSecond_;
  const float replayGain_;  // the levelling factor, a stage before the volume; 1 for none
  // PCM bytes one decode step makes: large steps keep the decoder thread asleep most of
  // the time.
  const std::size_t blockBytes_;
  // Downloaded bytes a decode step may need, so that a step never waits in the middle of
  // the decoder for the network.
  const std::uint64_t readAheadBytes_;

  std::mutex decoderMutex_;  // serialises decoder use: decoder thread and seeks
  std::unique_ptr<Decoder> decoder_;  // guarded by decoderMutex_

  std::mutex mutex_;
  std::condition_variable ready_;
  // guarded by mutex_
  PcmRing ring_;
  State state_ = State::Stopped;
  bool buffering_ = false;      // playing but waiting for data (stalled)
  bool decoderEnded_ = false;
  bool seeking_ = false;
  bool shutdown_ = false;
  bool decoderWaiting_ = false;   // the decoder thread sleeps on decoderWake_ until the ring has room
  std::uint64_t starvedFrames_ = 0;  // frames a live output asked for and did not get
  std::uint64_t generation_ = 0;  // bumped by seeks; stale decoder output is dropped
  std::uint64_t heard_ = 0;       // bytes handed to the output
  std::uint64_t decoded_ = 0;     // bytes the decoder has produced
  std::optional<std::uint64_t> lengthFrames_;
  VolumeSlide volume_;
  // when the stream's layout differs from the device's
  system::OwnedHandle<SDL_AudioStream, SDL_FreeAudioStream> converter_;
  std::uint64_t convertedIn_ = 0;   // stream frames put into converter_ since a reset
  std::uint64_t convertedOut_ = 0;  // device frames taken out of it
  std::vector<std::int16_t> scratch_;
  std::vector<std::uint8_t> raw_;

  // The decoder thread's own wake-up, apart from ready_: it is rung a few times a second,
  // and on Windows this one costs no kernel object.
  WakeEvent decoderWake_;
  std::thread decoderThread_;
};

}  // namespace platform::audio
