#pragma once
// The songs answered in this run, held in memory and searched there: every word of a keyword
// is looked for anywhere in the folded title, singer and album, so two characters inside a
// longer Chinese name are found too. Immutable once built; searched from many threads.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/song-service/library/SongRecord.h"
#include "tools/song-service/library/TextSignature.h"

namespace songservice {

struct IndexedSong {
  long long id = 0;
  std::string path;
  long long size = 0, mtimeNs = 0;
  MediaKind kind = MediaKind::None;
  std::string title, singer, album;  // answer forms (GBK)
  int track = 0, year = 0, millis = 0, kbps = 0;
  bool cover = false;
  bool sharedKey = false;  // another song has the same links key
  int singerNumber = 0;    // 1-based among the singers, by name
};

class LibraryIndex {
 public:
  // records in path order; those that are no song are left out.
  explicit LibraryIndex(const std::vector<SongRecord>& records);

  static constexpr std::size_t kMostHits = 1000;

  // Positions of the songs matching every word of the keyword (UTF-8), ranked: the singer
  // is the keyword, then the title starts with it, then the rest; path order within each.
  std::vector<std::uint32_t> search(std::string_view keyword) const;

  // Positions of the songs whose title then singer (answer forms) are the GBK key, ASCII
  // letters in any case; path order.
  std::vector<std::uint32_t> withLinkKey(std::string_view gbkKey) const;

  // The song that shows the singer's picture (embedded cover first, then any song of theirs),
  // or null.
  const IndexedSong* pictureSong(std::string_view gbkSinger) const;

  const IndexedSong* byId(long long id) const;
  const std::vector<IndexedSong>& songs() const { return songs_; }

 private:
  std::string_view partOf(std::uint32_t song) const;
  std::string_view foldedTitle(std::uint32_t song) const;
  std::string_view foldedSinger(std::uint32_t song) const;
  int rank(std::uint32_t song, std::string_view whole) const;

  std::vector<IndexedSong> songs_;
  std::string folded_;                 // per song: title \x1F singer \x1F album \x1E
  std::vector<std::uint32_t> starts_;  // where each song's part of folded_ begins
  std::vector<std::uint32_t> titleBytes_, singerBytes_;
  std::vector<TextSignature> signatures_;  // per song, of its part of folded_
  // Positions sorted by folded singer and by folded title, for the first two ranks.
  std::vector<std::uint32_t> bySinger_, byTitle_;
  std::vector<std::pair<long long, std::uint32_t>> byId_;             // sorted
  std::vector<std::pair<std::uint64_t, std::uint32_t>> byLinkKey_;    // (key hash, position), sorted
  std::unordered_map<std::string, std::uint32_t> pictureBySinger_;
};

}  // namespace songservice
