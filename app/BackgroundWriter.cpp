#include "app/BackgroundWriter.h"

#include <utility>

namespace app {

BackgroundWriter::BackgroundWriter() : thread_([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::submit(Write write) {
  {
    std::lock_guard lock(mutex_);
    waiting_ = std::move(write);
  }
  changed_.notify_all();
}

bool BackgroundWriter::flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !waiting_ && !running_; });
  return lastResult_;
}

void BackgroundWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return waiting_ || stopping_; });
    if (!waiting_) return;  // stopping with nothing left to write
    Write write = std::exchange(waiting_, nullptr);
    running_ = true;
    lock.unlock();
    bool landed = false;
    try {
      landed = write();
    } catch (...) {
      // Nothing may leave this thread; a write that threw did not land.
    }
    lock.lock();
    running_ = false;
    lastResult_ = landed;
    changed_.notify_all();
  }
}

}  // namespace app
