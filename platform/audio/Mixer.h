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
// A channel may have a follower: the frame after its last one, in the same block, is the
// follower's first, so one song runs into the next without a gap.
class Mixer {
 public:
  explicit Mixer(PcmFormat device);

  const PcmFormat& format() const { return format_; }
  std::shared_ptr<const std::atomic<std::uint64_t>> clock() const { return clock_; }

  void add(std::shared_ptr<Channel> channel);
  // Once this returns the output no longer touches the channel, and it is in no chain.
  void remove(const std::shared_ptr<Channel>& channel);

  // follower starts where first ends by itself; it replaces any follower first had, and
  // leaves any chain it was in. False when first has stopped already (too late to follow).
  bool chain(const std::shared_ptr<Channel>& first, const std::shared_ptr<Channel>& follower);
  // Drops the chain that first leads, if any.
  void unchainFirst(const Channel* first);
  // Drops the chain that follower waits in, if any.
  void unchainFollower(const Channel* follower);

  // Fills frames device frames (silence where nothing plays) and returns how many of
  // them carried a playing channel. Runs on the output thread; never allocates.
  int render(std::int16_t* out, int frames, Channel::Pace pace);

 private:
  struct Link {
    std::shared_ptr<Channel> first;
    std::shared_ptr<Channel> follower;
    bool started = false;  // the follower took over in the block being rendered
  };

  int renderBlock(std::int16_t* out, int frames, Channel::Pace pace);
  // Renders channel into mix and, when it ends within the block, its followers after it.
  int renderChain(const std::shared_ptr<Channel>& channel, std::int32_t* mix, int frames,
                  Channel::Pace pace);  // caller holds mutex_
  Link* linkFrom(const Channel* first);        // caller holds mutex_
  bool waitsToFollow(const Channel* channel);  // caller holds mutex_

  const PcmFormat format_;
  // Shared so that a channel still in a caller's hands outlives the mixer safely.
  const std::shared_ptr<std::atomic<std::uint64_t>> clock_ =
      std::make_shared<std::atomic<std::uint64_t>>(0);
  std::mutex mutex_;
  // guarded by mutex_
  std::vector<std::shared_ptr<Channel>> channels_;
  std::vector<Link> links_;
  std::vector<std::int32_t> mix_;                   // output thread only
};

}  // namespace platform::audio
