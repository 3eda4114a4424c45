#include "platform/audio/PacedOutput.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/audio/CallbackGuard.h"

namespace platform::audio {
namespace {

// At real-time pace the thread wakes this many times a second; faster paces render
// proportionally larger blocks, up to what one render takes.
constexpr int kWakesPerSecond = 50;

}  // namespace

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
  const double blockFrames = std::min<double>(
      Channel::kMaxRenderFrames, std::ceil(rate * speed_ / kWakesPerSecond));
  const int block = std::max(64, static_cast<int>(blockFrames));
  std::vector<std::int16_t> pcm(static_cast<std::size_t>(block) * static_cast<std::size_t>(mixer_.format().channels));
  const auto start = Clock::now();
  std::uint64_t rendered = 0;
  for (;;) {
    // Renders whole blocks that are due; the clock never runs ahead of real time * speed.
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    auto due = static_cast<std::uint64_t>(elapsed * speed_ * rate);
    while (rendered + static_cast<std::uint64_t>(block) <= due) {
      int heard = mixer_.render(pcm.data(), block, Channel::Pace::MayWait);
      if (sink_) guardCallback(0, [&] { sink_(pcm.data(), block, heard); return 0; });
      rendered += static_cast<std::uint64_t>(block);
      std::lock_guard lock(mutex_);
      if (stopping_) return;
    }
    auto next = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                            static_cast<double>(rendered + static_cast<std::uint64_t>(block)) / (speed_ * rate)));
    std::unique_lock lock(mutex_);
    if (wake_.wait_until(lock, next, [&] { return stopping_; })) return;
  }
}

}  // namespace platform::audio
