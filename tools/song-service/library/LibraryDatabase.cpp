#include "tools/song-service/library/LibraryDatabase.h"

#include "tools/song-service/OpenFile.h"


namespace songservice {
namespace {

constexpr int kSchemaVersion = 1;

constexpr char kSchema[] = R"(
CREATE TABLE IF NOT EXISTS song(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  path BLOB NOT NULL UNIQUE,
  size INTEGER NOT NULL,
  mtime INTEGER NOT NULL,
  kind INTEGER NOT NULL,
  title TEXT NOT NULL, singer TEXT NOT NULL, album TEXT NOT NULL,
  track INTEGER NOT NULL, year INTEGER NOT NULL, millis INTEGER NOT NULL, kbps INTEGER NOT NULL,
  cover INTEGER NOT NULL);
)";

std::string columnBytes(sqlite3_stmt* statement, int column) {
  const void* bytes = sqlite3_column_blob(statement, column);
  return std::string(static_cast<const char*>(bytes ? bytes : ""),
                     static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

bool run(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

int userVersion(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  int version = -1;
  if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    version = sqlite3_column_int(statement, 0);
  sqlite3_finalize(statement);
  return version;
}

bool checksOut(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  bool ok = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW &&
            std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))) == "ok";
  sqlite3_finalize(statement);
  return ok;
}

// A usable database at path, or null; the handle is closed on failure.
sqlite3* tryOpen(const std::string& path) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.empty() ? ":memory:" : path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 2000);
  int version = userVersion(db);
  bool ok = version >= 0 && checksOut(db) && run(db, "PRAGMA journal_mode=WAL") &&
            run(db, "PRAGMA synchronous=NORMAL");
  if (ok && version != kSchemaVersion) {
    // An older layout: the files will tell us everything again.
    ok = run(db, "DROP TABLE IF EXISTS song") && run(db, kSchema) &&
         run(db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
  }
  if (!ok) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

}  // namespace

std::unique_ptr<LibraryDatabase> LibraryDatabase::open(const std::string& path, std::string* note) {
  sqlite3* db = tryOpen(path);
  if (!db && !path.empty()) {
    *note = "the index " + path + " is damaged or unreadable: building it again";
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) removeFile(path + suffix);
    db = tryOpen(path);
  }
  if (!db) {
    *note = "cannot keep the index in " + path + ": keeping it in memory";
    db = tryOpen("");
  }
  if (!db) return nullptr;
  std::unique_ptr<LibraryDatabase> database(new LibraryDatabase(db));
  if (!database->prepare()) return nullptr;
  return database;
}

LibraryDatabase::~LibraryDatabase() {
  sqlite3_finalize(store_);
  sqlite3_finalize(remove_);
  sqlite3_finalize(under_);
  sqlite3_finalize(filesUnder_);
  sqlite3_finalize(songsUnder_);
  sqlite3_close(db_);
}

bool LibraryDatabase::prepare() {
  return sqlite3_prepare_v3(db_,
                            "INSERT INTO song(path,size,mtime,kind,title,singer,album,track,year,millis,kbps,cover)"
                            " VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12) ON CONFLICT(path) DO UPDATE SET"
                            " size=?2,mtime=?3,kind=?4,title=?5,singer=?6,album=?7,track=?8,year=?9,millis=?10,"
                            "kbps=?11,cover=?12 RETURNING id",
                            -1, SQLITE_PREPARE_PERSISTENT, &store_, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v3(db_, "DELETE FROM song WHERE id=?1", -1, SQLITE_PREPARE_PERSISTENT, &remove_,
                            nullptr) == SQLITE_OK &&
         sqlite3_prepare_v3(db_,
                            "SELECT id,path,size,mtime,kind,title,singer,album,track,year,millis,kbps,cover"
                            " FROM song WHERE path>=?1 AND path<?2 ORDER BY path",
                            -1, SQLITE_PREPARE_PERSISTENT, &under_, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v3(db_, "SELECT id,path,size,mtime FROM song WHERE path>=?1 AND path<?2 ORDER BY path", -1,
                            SQLITE_PREPARE_PERSISTENT, &filesUnder_, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v3(db_, "SELECT count(*) FROM song WHERE path>=?1 AND path<?2 AND kind!=0", -1,
                            SQLITE_PREPARE_PERSISTENT, &songsUnder_, nullptr) == SQLITE_OK;
}

template <typename Row>
void LibraryDatabase::forEachUnder(sqlite3_stmt* statement, const std::vector<std::string>& folders, Row row) {
  for (const std::string& folder : folders) {
    // Everything that starts with "folder/": '0' follows '/' in byte order.
    std::string low = folder + "/", high = folder + "0";
    sqlite3_bind_blob(statement, 1, low.data(), static_cast<int>(low.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(statement, 2, high.data(), static_cast<int>(high.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(statement) == SQLITE_ROW) row();
    sqlite3_reset(statement);
  }
}

std::vector<SongRecord> LibraryDatabase::recordsUnder(const std::vector<std::string>& folders) {
  std::vector<SongRecord> records;
  sqlite3_stmt* s = under_;
  forEachUnder(s, folders, [&] {
    SongRecord record;
    record.id = sqlite3_column_int64(s, 0);
    record.path = columnBytes(s, 1);
    record.size = sqlite3_column_int64(s, 2);
    record.mtimeNs = sqlite3_column_int64(s, 3);
    int kind = sqlite3_column_int(s, 4);
    record.kind = kind >= 1 && kind <= 5 ? static_cast<MediaKind>(kind) : MediaKind::None;
    record.title = columnBytes(s, 5);
    record.singer = columnBytes(s, 6);
    record.album = columnBytes(s, 7);
    record.track = sqlite3_column_int(s, 8);
    record.year = sqlite3_column_int(s, 9);
    record.millis = sqlite3_column_int(s, 10);
    record.kbps = sqlite3_column_int(s, 11);
    record.cover = sqlite3_column_int(s, 12) != 0;
    records.push_back(std::move(record));
  });
  return records;
}

std::vector<StoredFile> LibraryDatabase::filesUnder(const std::vector<std::string>& folders) {
  std::vector<StoredFile> files;
  sqlite3_stmt* s = filesUnder_;
  forEachUnder(s, folders, [&] {
    files.push_back({sqlite3_column_int64(s, 0), columnBytes(s, 1), sqlite3_column_int64(s, 2),
                     sqlite3_column_int64(s, 3)});
  });
  return files;
}

std::size_t LibraryDatabase::songsUnder(const std::vector<std::string>& folders) {
  std::size_t songs = 0;
  forEachUnder(songsUnder_, folders,
               [&] { songs += static_cast<std::size_t>(sqlite3_column_int64(songsUnder_, 0)); });
  return songs;
}

bool LibraryDatabase::store(SongRecord& record) {
  sqlite3_stmt* s = store_;
  sqlite3_bind_blob(s, 1, record.path.data(), static_cast<int>(record.path.size()), SQLITE_STATIC);
  sqlite3_bind_int64(s, 2, record.size);
  sqlite3_bind_int64(s, 3, record.mtimeNs);
  sqlite3_bind_int(s, 4, static_cast<int>(record.kind));
  sqlite3_bind_text(s, 5, record.title.data(), static_cast<int>(record.title.size()), SQLITE_STATIC);
  sqlite3_bind_text(s, 6, record.singer.data(), static_cast<int>(record.singer.size()), SQLITE_STATIC);
  sqlite3_bind_text(s, 7, record.album.data(), static_cast<int>(record.album.size()), SQLITE_STATIC);
  sqlite3_bind_int(s, 8, record.track);
  sqlite3_bind_int(s, 9, record.year);
  sqlite3_bind_int(s, 10, record.millis);
  sqlite3_bind_int(s, 11, record.kbps);
  sqlite3_bind_int(s, 12, record.cover ? 1 : 0);
  bool ok = sqlite3_step(s) == SQLITE_ROW;
  if (ok) record.id = sqlite3_column_int64(s, 0);
  sqlite3_reset(s);
  sqlite3_clear_bindings(s);
  return ok;
}

bool LibraryDatabase::remove(long long id) {
  sqlite3_bind_int64(remove_, 1, id);
  bool ok = sqlite3_step(remove_) == SQLITE_DONE;
  sqlite3_reset(remove_);
  return ok;
}

void LibraryDatabase::begin() { run(db_, "BEGIN"); }
void LibraryDatabase::commit() { run(db_, "COMMIT"); }

}  // namespace songservice
