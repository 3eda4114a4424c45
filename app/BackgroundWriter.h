#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace app {

// Runs writes on a thread of its own so that the caller never waits for the disk. Only the
// latest write counts: one submitted while another is still waiting replaces it (the one
// already running finishes first).
class BackgroundWriter {
 public:
  // Returns true when the write landed.
  using Write = std::function<bool()>;

  BackgroundWriter();
  // Lands the waiting write, if any, then stops the thread.
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // Returns at once; any thread.
  void submit(Write write);
  // Waits until the last write submitted so far has run; its result (true when nothing was
  // ever submitted). Any thread.
  bool flush();

 private:
  void run();  // the writer thread

  std::mutex mutex_;
  std::condition_variable changed_;
  // guarded by mutex_
  Write waiting_;
  bool running_ = false;
  bool stopping_ = false;
  bool lastResult_ = true;

  std::thread thread_;
};

}  // namespace app
