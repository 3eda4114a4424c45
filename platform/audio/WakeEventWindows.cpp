#include <windows.h>

#include "platform/audio/WakeEvent.h"

namespace platform::audio {

struct WakeEvent::State {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
  bool set = false;  // guarded by lock
};

WakeEvent::WakeEvent() : state_(std::make_unique<State>()) {}
WakeEvent::~WakeEvent() = default;

void WakeEvent::set() {
  AcquireSRWLockExclusive(&state_->lock);
  state_->set = true;
  ReleaseSRWLockExclusive(&state_->lock);
  WakeConditionVariable(&state_->wake);
}

void WakeEvent::wait() {
  AcquireSRWLockExclusive(&state_->lock);
  while (!state_->set) SleepConditionVariableSRW(&state_->wake, &state_->lock, INFINITE, 0);
  state_->set = false;
  ReleaseSRWLockExclusive(&state_->lock);
}

bool WakeEvent::waitFor(std::chrono::milliseconds timeout) {
  AcquireSRWLockExclusive(&state_->lock);
  if (!state_->set && timeout.count() > 0) {
    SleepConditionVariableSRW(&state_->wake, &state_->lock, static_cast<DWORD>(timeout.count()), 0);
  }
  bool woken = state_->set;
  state_->set = false;
  ReleaseSRWLockExclusive(&state_->lock);
  return woken;
}

}  // namespace platform::audio
