#include "app/PlayWorker.h"

#include <chrono>

#include "platform/window/WindowApi.h"

namespace app {
namespace {

// Longer than the engine may block in stream creation.
constexpr auto kWorkerStepLimit = std::chrono::seconds(8);

}  // namespace

PlayWorker::PlayWorker(std::function<void(const PlayRequest&)> serve) : serve_(std::move(serve)) {}

PlayWorker::~PlayWorker() {
  std::thread ending = endGeneration();
  if (ending.joinable()) ending.join();
}

std::thread PlayWorker::endGeneration() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++generation_;
  waiting_.reset();
  wake_.notify_all();
  return std::move(thread_);
}

void PlayWorker::submit(PlayRequest request) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (request.ticket <= newestSubmitted_) return;
  newestSubmitted_ = request.ticket;
  waiting_ = std::move(request);
  if (!thread_.joinable()) thread_ = std::thread([this, generation = generation_] { run(generation); });
  wake_.notify_all();
}

void PlayWorker::supersedeAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  newestSubmitted_ = newTicket();
  waiting_.reset();
}

bool PlayWorker::superseded(const PlayRequest& request) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return servingGeneration_ != generation_ || newestSubmitted_ > request.ticket;
}

void PlayWorker::stop() {
  std::thread ending = endGeneration();
  if (!ending.joinable()) return;
  if (serveUntilIdle(true)) {
    ending.join();
  } else {
    // Stuck in a step that needs the UI thread further up this stack (a message box):
    // it ends by itself when that returns, seeing its generation is over.
    ending.detach();
  }
}

void PlayWorker::waitUntilIdle() { serveUntilIdle(false); }

bool PlayWorker::serveUntilIdle(bool dropWaiting) {
  namespace pw = platform::window;
  const auto deadline = std::chrono::steady_clock::now() + kWorkerStepLimit;
  while (true) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (dropWaiting) waiting_.reset();
      if (!serving_ && !waiting_) return true;
    }
    if (std::chrono::steady_clock::now() > deadline) return false;
    pw::processPendingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void PlayWorker::run(std::uint64_t generation) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_.wait(lock, [&] { return generation != generation_ || waiting_.has_value(); });
    if (generation != generation_) return;
    PlayRequest request = std::move(*waiting_);
    waiting_.reset();
    serving_ = true;
    servingGeneration_ = generation;
    lock.unlock();
    serve_(request);
    lock.lock();
    serving_ = false;
  }
}

}  // namespace app
