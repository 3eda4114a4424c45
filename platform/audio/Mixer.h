#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/Channel.h"

namespace platform::audio {

// Sums the playing channels into the device's 16-bit layout. The output thread calls
// render(); channels come and go from API threads, which hold mutex_ only briefly.
class Mixer {
 public:
  explicit Mixer(PcmFormat device);

  const PcmFormat& format() const { return format_; }
  std::shared_ptr<const std::atomic<std::uint64_t>> clock() const { return clock_; }

  void add(std::shared_ptr<Channel> channel);
  // Once this returns the output no longer touches the channel.
  void remove(const std::shared_ptr<Channel>& channel);

  // Fills frames device frames (silence where nothing plays) and returns how many of
  // them carried a playing channel. Runs on the output thread; never allocates.
  int render(std::int16_t* out, int frames, Channel::Pace pace);

 private:
  int renderBlock(std::int16_t* out, int frames, Channel::Pace pace);

  const PcmFormat format_;
  // Shared so that a channel still in a caller's hands outlives the mixer safely.
  const std::shared_ptr<std::atomic<std::uint64_t>> clock_ =
      std::make_shared<std::atomic<std::uint64_t>>(0);
  std::mutex mutex_;
  std::vector<std::shared_ptr<Channel>> channels_;  // guarded by mutex_
  std::vector<std::int32_t> mix_;                   // output thread only
};

}  // namespace platform::audio
