#include "platform/audio/PacedOutput.h"

#include <algorithm>
#include <chrono>

namespace platform::audio {

PacedOutput::PacedOutput(Mixer& mixer, double speed, Sink sink)
    : mixer_(mixer), speed_(speed > 0 ? speed : 1.0), sink_(std::move(sink)) {
  thread_ = std::thread([this] { run(); });
}

PacedOutput::~PacedOutput() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void PacedOutput::run() {
  using Clock = std::chrono::steady_clock;
  const int rate = mixer_.format().rate;
  const int blockFrames = std::max(64, rate / 100);  // 10 ms blocks
  std::vector<std::int16_t> block(static_cast<std::size_t>(blockFrames) * mixer_.format().channels);
  const auto start = Clock::now();
  std::uint64_t rendered = 0;
  for (;;) {
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    auto due = static_cast<std::uint64_t>(elapsed * speed_ * rate);
    while (rendered + static_cast<std::uint64_t>(blockFrames) <= due) {
      int heard = mixer_.render(block.data(), blockFrames);
      if (sink_) sink_(block.data(), blockFrames, heard);
      rendered += static_cast<std::uint64_t>(blockFrames);
    }
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, std::chrono::milliseconds(5), [&] { return stopping_; })) return;
  }
}

}  // namespace platform::audio
