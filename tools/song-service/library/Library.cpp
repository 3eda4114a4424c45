#include "tools/song-service/library/Library.h"

#include <cstdio>

#include "tools/song-service/library/FreedMemory.h"
#include "tools/song-service/library/LibraryScanner.h"

namespace songservice {

Library::Library(LibrarySettings settings)
    : settings_(std::move(settings)), index_(std::make_shared<LibraryIndex>(std::vector<SongRecord>{})) {}

Library::~Library() { stop(); }

bool Library::start(std::string* error) {
  std::string note;
  database_ = LibraryDatabase::open(settings_.database, &note);
  if (!note.empty()) std::fprintf(stderr, "tunora-song-service: %s\n", note.c_str());
  if (!database_) {
    *error = "cannot make an index, not even in memory";
    return false;
  }
  publish(database_->recordsUnder(settings_.folders));
  if (settings_.watch) {
    watcher_ = std::make_unique<FolderWatcher>([this] {
      std::lock_guard lock(mutex_);
      rescan_ = true;
      wake_.notify_one();
    });
  }
  thread_ = std::thread([this] { runScans(); });
  return true;
}

std::shared_ptr<const LibraryIndex> Library::index() const {
  std::lock_guard lock(mutex_);
  return index_;
}

void Library::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    cancel_ = true;
    wake_.notify_one();
  }
  // The watcher goes first: its call would wait on a scan otherwise.
  watcher_.reset();
  if (thread_.joinable()) thread_.join();
}

void Library::publish(const std::vector<SongRecord>& records) {
  auto index = std::make_shared<const LibraryIndex>(records);
  std::shared_ptr<const LibraryIndex> old;
  std::lock_guard lock(mutex_);
  old = std::move(index_);
  index_ = std::move(index);
}

void Library::runScans() {
  LibraryScanner scanner(*database_, settings_.folders);
  while (true) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return rescan_ || stopping_; });
      if (stopping_) return;
      rescan_ = false;
    }
    ScanOutcome outcome = scanner.scan([this](const std::vector<SongRecord>& sofar) { publish(sofar); }, cancel_);
    if (cancel_) return;
    if (watcher_) watcher_->watch(outcome.folders);
    // Nothing read and nothing gone: the answered index is the stored one already.
    if (outcome.examined > 0 || outcome.removed > 0) publish(outcome.records);
    outcome = ScanOutcome();
    // A scan's records are many small blocks; give them back rather than keep them resident.
    returnFreedMemory();
    if (onScanned_) onScanned_(*index());
  }
}

}  // namespace songservice
