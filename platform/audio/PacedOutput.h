#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "platform/audio/Mixer.h"
#include "platform/audio/Output.h"
#include "platform/audio/WakeEvent.h"

namespace platform::audio {

// An output of our own that pulls from the mixer on its own thread at real-time pace
// (times speed); sink receives each block and the count of frames in it that were heard.
class PacedOutput : public Output {
 public:
  using Sink = std::function<void(const std::int16_t* pcm, int frames, int heardFrames)>;

  PacedOutput(Mixer& mixer, double speed, Sink sink);
  ~PacedOutput() override;

  void channelStarted() override;

 private:
  void run();

  Mixer& mixer_;
  const double speed_;
  Sink sink_;
  WakeEvent wake_;
  std::atomic<bool> stopping_ = false;
  std::atomic<bool> started_ = false;  // a channel started since the last block
  std::thread thread_;
};

}  // namespace platform::audio
