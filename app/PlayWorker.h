#pragma once
// The play worker: one thread that serves play requests one after the other, always the
// newest. A request handed over while another is being served replaces any that waits,
// and the one being served gives way at its next step. It also holds the playback state,
// which the UI thread's handlers share through lockState().

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/audio/Bass.h"

namespace ui::controls {
class ExSlider;
}

namespace app {

enum class PlaySource { Results, Presets };

struct PlayRequest {
  std::uint64_t ticket = 0;  // from newTicket(); larger is newer
  PlaySource source = PlaySource::Results;
  std::string url;           // the looked-up link; presets read theirs on the worker
};

inline constexpr DWORD kVolumeSlideMs = 150;

// The volume slider's level as the engine takes it: value / second value.
float sliderVolume(ui::controls::ExSlider& slider);
// Whole seconds for the time labels; out-of-range values (errors) give 0.
int wholeSeconds(double seconds);
// "该歌曲的来源可能不正确,请选择其他歌曲" as a program text.
const std::string& UnplayableSongMessage();

class PlayWorker {
 public:
  // The playback state, locked while the object lives. Never hold it while waiting for
  // the UI thread.
  class LockedState {
   public:
    explicit LockedState(PlayWorker& worker) : worker_(worker), lock_(worker.mutex_) {}
    HSTREAM stream() const { return worker_.currentStream_; }
    void setStream(HSTREAM stream) { worker_.currentStream_ = stream; }
    const std::string& playUrl() const { return worker_.playUrl_; }
    const std::string& presetUrl() const { return worker_.presetUrl_; }

   private:
    PlayWorker& worker_;
    std::unique_lock<std::mutex> lock_;
  };

  PlayWorker() = default;
  PlayWorker(const PlayWorker&) = delete;
  PlayWorker& operator=(const PlayWorker&) = delete;

  LockedState lockState() { return LockedState(*this); }

  // Any thread.
  std::uint64_t newTicket() { return ++tickets_; }
  // UI thread. A request older than one already handed over is dropped.
  void submit(PlayRequest request);
  // UI thread. Drops what waits, lets the worker finish its step (serving window messages
  // meanwhile, since it may need the UI thread) and ends it. Later requests start a new one.
  void stop();
  // UI thread. Returns when nothing waits and nothing is being served.
  void waitUntilIdle();

 private:
  // Runs on the worker thread.
  void run(std::uint64_t generation);
  void playSong(const PlayRequest& request, std::uint64_t generation);
  // Caller holds mutex_.
  bool superseded(const PlayRequest& request, std::uint64_t generation) const;
  // Waits for the worker while serving the UI thread's messages; false on time-out.
  bool serveUntilIdle(bool dropWaiting);

  std::atomic<std::uint64_t> tickets_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  // guarded by mutex_
  HSTREAM currentStream_ = 0;
  std::string playUrl_;
  std::string presetUrl_;
  std::optional<PlayRequest> waiting_;
  std::uint64_t newestSubmitted_ = 0;
  std::uint64_t generation_ = 0;  // bumped by stop(); a worker of an older one ends
  bool serving_ = false;
  std::thread thread_;
};

// The one worker of the program; it lives until the process ends.
PlayWorker& playWorker();

}  // namespace app
