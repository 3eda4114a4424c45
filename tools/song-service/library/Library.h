#pragma once
// A user's music folders behind the service: the stored index answered at once, a scan on a
// thread of its own that brings it up to date, and a rescan whenever the folders change.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/song-service/library/FolderWatcher.h"
#include "tools/song-service/library/LibraryDatabase.h"
#include "tools/song-service/library/LibraryIndex.h"

namespace songservice {

struct LibrarySettings {
  std::vector<std::string> folders;  // absolute, without symlinks or a trailing '/'
  std::string database;              // "" keeps the index in memory
  bool watch = true;
};

class Library {
 public:
  explicit Library(LibrarySettings settings);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // Called on the indexing thread after each complete scan; set before start().
  void onScanned(std::function<void(const LibraryIndex&)> callback) { onScanned_ = std::move(callback); }

  // Opens the index and answers what it holds, then starts scanning. false (with *error)
  // when no index can be had at all.
  bool start(std::string* error);

  // The songs answered now. Any thread.
  std::shared_ptr<const LibraryIndex> index() const;

  // Ends the scans and the watching; called by the destructor too.
  void stop();

 private:
  void runScans();  // the indexing thread
  void publish(const std::vector<SongRecord>& records);

  LibrarySettings settings_;
  std::function<void(const LibraryIndex&)> onScanned_;
  std::unique_ptr<LibraryDatabase> database_;  // used on the indexing thread after start()
  std::unique_ptr<FolderWatcher> watcher_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<const LibraryIndex> index_;  // guarded by mutex_
  bool rescan_ = true;                         // guarded by mutex_
  bool stopping_ = false;                      // guarded by mutex_
  std::atomic<bool> cancel_{false};            // ends a scan in progress
  std::thread thread_;
};

}  // namespace songservice
