#include "platform/audio/PacedOutput.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/audio/CallbackGuard.h"

namespace platform::audio {
namespace {

// At real-time pace the thread wakes this many times a second (40 ms blocks; each wake
// costs more than the mixing it does); faster paces render proportionally larger blocks, up
// to what one render takes.
constexpr int kWakesPerSecond = 25;

}  // namespace

PacedOutput::PacedOutput(Mixer& mixer, double speed, Sink sink)
    : mixer_(mixer), speed_(speed > 0 ? speed : 1.0), sink_(std::move(sink)) {
  thread_ = std::thread([this] { run(); });
}

PacedOutput::~PacedOutput() {
  stopping_ = true;
  wake_.set();
  thread_.join();
}

void PacedOutput::channelStarted() {
  started_ = true;
  wake_.set();
}

void PacedOutput::run() {
  using Clock = std::chrono::steady_clock;
  using Seconds = std::chrono::duration<double>;
  const int rate = mixer_.format().rate;
  const double blockFrames = std::min<double>(
      Channel::kMaxRenderFrames, std::ceil(rate * speed_ / kWakesPerSecond));
  const int block = std::max(64, static_cast<int>(blockFrames));
  const double framesPerSecond = speed_ * rate;
  std::vector<std::int16_t> pcm(static_cast<std::size_t>(block) * static_cast<std::size_t>(mixer_.format().channels));
  auto start = Clock::now();
  std::uint64_t rendered = 0;
  auto renderBlock = [&] {
    int heard = mixer_.render(pcm.data(), block, Channel::Pace::MayWait);
    if (sink_) guardCallback(0, [&] { sink_(pcm.data(), block, heard); return 0; });
    rendered += static_cast<std::uint64_t>(block);
  };
  for (;;) {
    // Renders whole blocks that are due; the clock never runs ahead of real time * speed.
    auto due = static_cast<std::uint64_t>(Seconds(Clock::now() - start).count() * framesPerSecond);
    while (rendered + static_cast<std::uint64_t>(block) <= due) {
      renderBlock();
      if (stopping_) return;
    }
    auto next = start + std::chrono::duration_cast<Clock::duration>(
                            Seconds(static_cast<double>(rendered + static_cast<std::uint64_t>(block)) / framesPerSecond));
    // One wait of whole milliseconds, then the loop looks again: where the timed wait
    // wakes a fraction of a millisecond early (Windows), waiting out that fraction would spin.
    if (!stopping_ && !started_) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
      if (left.count() > 0) wake_.waitFor(left);
    }
    if (stopping_) return;
    bool startNow = started_.exchange(false);
    if (startNow) {
      // The new channel's first block starts now instead of up to a block later; the
      // blocks after it fall on a grid that starts here, so the clock never runs ahead.
      start = Clock::now() - std::chrono::duration_cast<Clock::duration>(Seconds(
                                 static_cast<double>(rendered + static_cast<std::uint64_t>(block)) / framesPerSecond));
      renderBlock();
    }
  }
}

}  // namespace platform::audio
