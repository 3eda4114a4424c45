#include <condition_variable>
#include <mutex>

#include "platform/audio/WakeEvent.h"

namespace platform::audio {

struct WakeEvent::State {
  std::mutex mutex;
  std::condition_variable wake;
  bool set = false;  // guarded by mutex
};

WakeEvent::WakeEvent() : state_(std::make_unique<State>()) {}
WakeEvent::~WakeEvent() = default;

void WakeEvent::set() {
  {
    std::lock_guard lock(state_->mutex);
    state_->set = true;
  }
  state_->wake.notify_one();
}

void WakeEvent::wait() {
  std::unique_lock lock(state_->mutex);
  state_->wake.wait(lock, [&] { return state_->set; });
  state_->set = false;
}

bool WakeEvent::waitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(state_->mutex);
  bool woken = state_->wake.wait_for(lock, timeout, [&] { return state_->set; });
  state_->set = false;
  return woken;
}

}  // namespace platform::audio
