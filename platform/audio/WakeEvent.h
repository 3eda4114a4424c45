#pragma once

#include <chrono>
#include <memory>

namespace platform::audio {

// A timed sleep that another thread can cut short: set() wakes the sleeper, or the next one
// to sleep, once. On Windows it rests on the system's slim lock and condition variable: the
// runtime's pthread condition variable spends several kernel-object calls on every wait,
// which an output thread waking many times a second pays over and over.
class WakeEvent {
 public:
  WakeEvent();
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;

  void set();
  void wait();
  // True when woken by set(). It may also return a little early or spuriously: callers
  // that pace by it look at their clock again.
  bool waitFor(std::chrono::milliseconds timeout);

 private:
  struct State;
  const std::unique_ptr<State> state_;
};

}  // namespace platform::audio
