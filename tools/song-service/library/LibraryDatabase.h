#pragma once
// The index of music folders in SQLite. Files are the truth: a database that cannot be opened
// or fails its check is thrown away and built again from them. One thread uses it at a time.

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/song-service/library/SongRecord.h"

namespace songservice {

// What a rescan compares a file on disk with.
struct StoredFile {
  long long id = 0;
  std::string path;
  long long size = 0, mtimeNs = 0;
};

class LibraryDatabase {
 public:
  // "" keeps the index in memory. *note says when the file was rebuilt or could not be used.
  static std::unique_ptr<LibraryDatabase> open(const std::string& path, std::string* note);
  ~LibraryDatabase();
  LibraryDatabase(const LibraryDatabase&) = delete;
  LibraryDatabase& operator=(const LibraryDatabase&) = delete;

  // Every record whose path lies under one of the folders, in path order.
  std::vector<SongRecord> recordsUnder(const std::vector<std::string>& folders);
  // The same without the tags, which a rescan does not need; in path order per folder.
  std::vector<StoredFile> filesUnder(const std::vector<std::string>& folders);
  // How many of the records under the folders are songs.
  std::size_t songsUnder(const std::vector<std::string>& folders);

  // Stores by path and sets record.id (kept when the path was known). false on a write error.
  bool store(SongRecord& record);
  bool remove(long long id);

  // Writes between the two go out together.
  void begin();
  void commit();

 private:
  explicit LibraryDatabase(sqlite3* db) : db_(db) {}
  bool prepare();
  // Runs statement once per folder with ?1 and ?2 bound to the folder's range of paths.
  template <typename Row>
  void forEachUnder(sqlite3_stmt* statement, const std::vector<std::string>& folders, Row row);

  sqlite3* db_;
  sqlite3_stmt* store_ = nullptr;
  sqlite3_stmt* remove_ = nullptr;
  sqlite3_stmt* under_ = nullptr;
  sqlite3_stmt* filesUnder_ = nullptr;
  sqlite3_stmt* songsUnder_ = nullptr;
};

}  // namespace songservice
