#pragma once
// Watches music folders (inotify on Linux, ReadDirectoryChangesW on Windows) and says, once they have been quiet for a moment, that
// something changed. Writes keep postponing the call, so a large copy is read once it is whole.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace songservice {

class FolderWatcher {
 public:
  // onChange runs on the watcher's thread.
  explicit FolderWatcher(std::function<void()> onChange);
  ~FolderWatcher();
  FolderWatcher(const FolderWatcher&) = delete;
  FolderWatcher& operator=(const FolderWatcher&) = delete;

  // false when the system cannot watch folders.
  bool ok() const;

  // Adds a watch on each folder not yet watched. Any thread.
  void watch(const std::vector<std::string>& folders);

 private:
  void run();

  struct Watches;  // the system's own handles

  std::function<void()> onChange_;
  std::unique_ptr<Watches> watches_;
  std::mutex mutex_;
  bool limitReported_ = false;  // guarded by mutex_
  std::thread thread_;
};

}  // namespace songservice
