#pragma once

namespace platform::audio {

// A running output device that pulls from a Mixer until it is destroyed.
class Output {
 public:
  virtual ~Output() = default;
  // A channel has started to play; an output that renders in blocks of its own may start
  // one at once rather than at its next turn. Any thread.
  virtual void channelStarted() {}
};

}  // namespace platform::audio
