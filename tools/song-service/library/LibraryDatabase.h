#pragma once
// The index of music folders in SQLite. Files are the truth: a database that cannot be opened
// or fails its check is thrown away and built again from them. One thread uses it at a time.

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/song-service/library/SongRecord.h"

namespace songservice {

class LibraryDatabase {
 public:
  // "" keeps the index in memory. *note says when the file was rebuilt or could not be used.
  static std::unique_ptr<LibraryDatabase> open(const std::string& path, std::string* note);
  ~LibraryDatabase();
  LibraryDatabase(const LibraryDatabase&) = delete;
  LibraryDatabase& operator=(const LibraryDatabase&) = delete;

  // Every record whose path lies under one of the folders, in path order.
  std::vector<SongRecord> recordsUnder(const std::vector<std::string>& folders);

  // Stores by path and sets record.id (kept when the path was known). false on a write error.
  bool store(SongRecord& record);
  bool remove(long long id);

  // Writes between the two go out together.
  void begin();
  void commit();

 private:
  explicit LibraryDatabase(sqlite3* db) : db_(db) {}
  bool prepare();

  sqlite3* db_;
  sqlite3_stmt* store_ = nullptr;
  sqlite3_stmt* remove_ = nullptr;
  sqlite3_stmt* under_ = nullptr;
};

}  // namespace songservice
