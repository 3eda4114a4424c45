#pragma once
// Watches music folders with inotify and says, once they have been quiet for a moment, that
// something changed. Writes keep postponing the call, so a large copy is read once it is whole.

#include <functional>
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

  // false when inotify is not available.
  bool ok() const { return inotify_ >= 0; }

  // Adds a watch on each folder not yet watched. Any thread.
  void watch(const std::vector<std::string>& folders);

 private:
  void run();

  std::function<void()> onChange_;
  int inotify_ = -1;
  int wake_ = -1;  // an eventfd that ends run()
  std::mutex mutex_;
  bool limitReported_ = false;  // guarded by mutex_
  std::thread thread_;
};

}  // namespace songservice
