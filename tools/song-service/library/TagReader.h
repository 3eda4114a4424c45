#pragma once
// Tags, length and embedded cover of an audio file through TagLib. Runs on any thread; each
// call opens the file on its own.

#include <optional>
#include <string>

#include "tools/song-service/library/MediaKind.h"

namespace TagLib {
class IOStream;
}

namespace songservice {

struct SongTags {
  std::string title, artist, album;  // UTF-8, trimmed; empty when the file has none
  int track = 0, year = 0;
  int millis = 0, kbps = 0;
  bool cover = false;  // an embedded picture
};

// Empty when TagLib cannot make sense of the file or it holds no audio (a damaged file).
std::optional<SongTags> readSongTags(const std::string& path, MediaKind kind);
std::optional<SongTags> readSongTags(TagLib::IOStream& stream, MediaKind kind);

// The bytes of the first embedded picture (the front cover when marked), or empty.
std::string readEmbeddedCover(const std::string& path, MediaKind kind);
std::string readEmbeddedCover(TagLib::IOStream& stream, MediaKind kind);

}  // namespace songservice
