#pragma once
// The play worker: one thread that serves play requests one after the other, always the
// newest. A request handed over while another is being served replaces any that waits,
// and the one being served gives way at its next step (it asks superseded()).

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/PlayerView.h"

namespace app {

struct PlayRequest {
  std::uint64_t ticket = 0;  // from newTicket(); larger is newer
  SongList list = SongList::None;
  int row = 0;                // from 1 in its list; 0 for an address
  std::uint64_t listVersion = 0;
  std::string title;          // program texts
  std::string singer;
  std::string label;          // what the song label shows
  std::string url;            // empty: looked up on the worker
  double startSeconds = 0;    // where the song starts playing
  // The song kept from the last run: without a list it is looked up by title and singer,
  // and it is forgotten when it cannot be played.
  bool kept = false;
};

class PlayWorker {
 public:
  // serve runs on the worker thread, one request at a time.
  explicit PlayWorker(std::function<void(const PlayRequest&)> serve);
  ~PlayWorker();
  PlayWorker(const PlayWorker&) = delete;
  PlayWorker& operator=(const PlayWorker&) = delete;

  // Any thread. A ticket taken later is newer.
  std::uint64_t newTicket() { return ++tickets_; }
  // Any thread. A request older than one already handed over is dropped.
  void submit(PlayRequest request);
  // Any thread. Every request handed over so far gives way; later ones are served.
  void supersedeAll();
  // Any thread: a newer request, a supersedeAll() or stop() came after this one.
  bool superseded(const PlayRequest& request) const;
  // UI thread. Drops what waits, lets the worker finish its step (serving window messages
  // meanwhile, since it may need the UI thread) and ends it. Later requests start a new one.
  void stop();
  // UI thread. Returns when nothing waits and nothing is being served.
  void waitUntilIdle();

 private:
  void run(std::uint64_t generation);  // the worker thread
  // Drops what waits, tells the worker its generation is over and hands its thread out.
  std::thread endGeneration();
  // Waits for the worker while serving the UI thread's messages; false on time-out.
  bool serveUntilIdle(bool dropWaiting);

  const std::function<void(const PlayRequest&)> serve_;
  std::atomic<std::uint64_t> tickets_{0};
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  // guarded by mutex_
  std::optional<PlayRequest> waiting_;
  std::uint64_t newestSubmitted_ = 0;
  std::uint64_t generation_ = 0;  // bumped by stop(); a worker of an older one ends
  std::uint64_t servingGeneration_ = 0;
  bool serving_ = false;
  std::thread thread_;
};

}  // namespace app
