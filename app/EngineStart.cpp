#include "app/EngineStart.h"

#include <future>
#include <mutex>

#include "app/Playback.h"

namespace app {
namespace {

std::mutex startMutex;
std::shared_future<void> started;  // guarded by startMutex

}  // namespace

void StartAudioEngine() {
  std::lock_guard lock(startMutex);
  if (started.valid()) return;
  started = std::async(std::launch::async, [] { audioEngine().Init(); }).share();
}

void WaitForAudioEngine() {
  std::shared_future<void> pending;
  {
    std::lock_guard lock(startMutex);
    pending = started;
  }
  if (pending.valid()) pending.wait();
}

}  // namespace app
