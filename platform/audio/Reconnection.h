#pragma once

#include <curl/curl.h>

#include <chrono>
#include <optional>

namespace platform::audio {

// The tries that follow a broken download: each after a pause that grows, a limited number
// of them, and none later than a limit after the break (the waits of NetWaits.h). Used by
// the download thread only.
class Reconnection {
 public:
  using Clock = std::chrono::steady_clock;

  // Whether asking again may help after a transfer ended with code, or after an answer
  // with status.
  static bool worthRetrying(CURLcode code);
  static bool worthRetrying(long status);

  // A break, or a try that failed: when the next try may go, or nothing when the stream
  // should give up.
  std::optional<Clock::time_point> failed(Clock::time_point now);
  // Data arrives again: the next break starts counting afresh.
  void recovered() { brokeAt_.reset(); tries_ = 0; }

  bool active() const { return brokeAt_.has_value(); }
  // While active: when the stream gives up whatever a try is doing.
  Clock::time_point giveUpAt() const;

 private:
  std::optional<Clock::time_point> brokeAt_;
  int tries_ = 0;
};

}  // namespace platform::audio
