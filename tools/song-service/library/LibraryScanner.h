#pragma once
// Brings the index in line with the music folders: walks them, reads the tags of what is new
// or changed (size or modification time), drops what is gone. Damaged files, unreadable ones,
// symlink loops and files that vanish meanwhile are skipped with one line on stderr.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "tools/song-service/library/LibraryDatabase.h"
#include "tools/song-service/library/ScanProgress.h"

namespace songservice {

struct ScanOutcome {
  std::vector<SongRecord> records;   // everything under the folders, in path order; only when
                                     // something was read or found gone
  std::vector<std::string> folders;  // every folder walked, for the watcher
  std::size_t examined = 0, removed = 0;
};

class LibraryScanner {
 public:
  // database is used only during scan(), on the calling thread.
  LibraryScanner(LibraryDatabase& database, std::vector<std::string> roots, bool quiet = false);

  // publish gets the records known so far every couple of seconds of a long scan, so
  // searches answer while it runs.
  // A set cancel ends the scan after the batch in hand, leaving what is gone for next time.
  ScanOutcome scan(const std::function<void(const std::vector<SongRecord>&)>& publish,
                   const std::atomic<bool>& cancel);

 private:
  // Reads what is new or changed and drops what is gone; the progress is finished by scan().
  ScanProgress compareAndRead(ScanOutcome& outcome, const std::function<void(const std::vector<SongRecord>&)>& publish,
                              const std::atomic<bool>& cancel);

  LibraryDatabase& database_;
  std::vector<std::string> roots_;
  bool quiet_;
};

// Reads one file into a record (kind None when it is no song or a damaged one; *why says so
// for a damaged one). Any thread.
SongRecord examineFile(const std::string& path, long long size, long long mtimeNs, std::string* why);

}  // namespace songservice
