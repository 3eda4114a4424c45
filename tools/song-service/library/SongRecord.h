#pragma once
// One file of a music folder as the index stores it.

#include <string>

#include "tools/song-service/library/MediaKind.h"

namespace songservice {

struct SongRecord {
  long long id = 0;  // stays with the path across rescans and restarts
  std::string path;  // native bytes
  long long size = 0;
  long long mtimeNs = 0;
  MediaKind kind = MediaKind::None;  // None: no song (or a damaged one), kept so it is not read again
  std::string title, singer, album;  // UTF-8; from the names when the file has no tags
  int track = 0, year = 0, millis = 0, kbps = 0;
  bool cover = false;
};

}  // namespace songservice
