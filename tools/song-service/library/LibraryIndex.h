#pragma once
// The songs answered in this run, held in memory and searched there: every word of a keyword
// is looked for anywhere in the folded title, singer and album, so two characters inside a
// longer Chinese name are found too. Immutable once built; searched from many threads.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/song-service/library/SongRecord.h"
#include "tools/song-service/library/TextSignature.h"

namespace songservice {

// The texts point into the index that holds the song, which keeps them all in one block: a
// hundred thousand songs then cost a few allocations instead of half a million.
struct IndexedSong {
  long long id = 0;
  long long size = 0, mtimeNs = 0;
  std::string_view path;                  // native bytes
  std::string_view title, singer, album;  // answer forms (GBK)
  int track = 0, year = 0, millis = 0, kbps = 0;
  int singerNumber = 0;  // 1-based among the singers, by name
  MediaKind kind = MediaKind::None;
  bool cover = false;
  bool sharedKey = false;  // another song has the same links key
};

// What the links key of the song is compared by: ASCII-lowered title then singer.
std::string linkKeyOf(const IndexedSong& song);

class LibraryIndex {
 public:
  // records in path order; those that are no song are left out.
  explicit LibraryIndex(const std::vector<SongRecord>& records);
  LibraryIndex(const LibraryIndex&) = delete;  // the songs' texts point into this one
  LibraryIndex& operator=(const LibraryIndex&) = delete;

  static constexpr std::size_t kMostHits = 1000;

  // Positions of the songs matching every word of the keyword (UTF-8), ranked: the singer
  // is the keyword, then the title starts with it, then the rest; path order within each.
  std::vector<std::uint32_t> search(std::string_view keyword) const;

  // Positions of the songs whose title then singer (answer forms) are the GBK key, ASCII
  // letters in any case; path order.
  std::vector<std::uint32_t> withLinkKey(std::string_view gbkKey) const;

  // The singer's songs (answer form, ASCII letters in any case), in path order.
  std::vector<const IndexedSong*> songsOfSinger(std::string_view gbkSinger) const;

  const IndexedSong* byId(long long id) const;
  const std::vector<IndexedSong>& songs() const { return songs_; }

 private:
  std::string_view partOf(std::uint32_t song) const;
  std::string_view foldedTitle(std::uint32_t song) const;
  std::string_view foldedSinger(std::uint32_t song) const;
  int rank(std::uint32_t song, std::string_view whole) const;

  std::vector<IndexedSong> songs_;
  std::string texts_;                  // every song's path, title, singer and album
  std::string folded_;                 // per song: title \x1F singer \x1F album \x1E
  std::vector<std::uint32_t> starts_;  // where each song's part of folded_ begins
  std::vector<std::uint32_t> titleBytes_, singerBytes_;
  std::vector<TextSignature> signatures_;  // per song, of its part of folded_
  // Positions sorted by folded singer and by folded title, for the first two ranks.
  std::vector<std::uint32_t> bySinger_, byTitle_;
  std::vector<std::pair<long long, std::uint32_t>> byId_;             // sorted
  std::vector<std::pair<std::uint64_t, std::uint32_t>> byLinkKey_;    // (key hash, position), sorted
  // (hash of the ASCII-lowered singer, position), sorted; a map of strings would leave small
  // blocks all over the memory a scan gives back.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> bySingerKey_;
};

}  // namespace songservice
