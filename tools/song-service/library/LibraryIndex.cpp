#include "tools/song-service/library/LibraryIndex.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "tools/song-service/library/LibraryText.h"

namespace songservice {
namespace {

std::vector<std::string> wordsOf(const std::string& text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(" \t\r\n\f\v", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

std::string trimmed(std::string text) {
  const char* blanks = " \t\r\n\f\v";
  text.erase(0, text.find_first_not_of(blanks));
  std::size_t end = text.find_last_not_of(blanks);
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

}  // namespace

LibraryIndex::LibraryIndex(const std::vector<SongRecord>& records) {
  std::map<std::string, int> singerNumbers;
  for (const SongRecord& record : records) {
    if (record.kind == MediaKind::None) continue;
    IndexedSong song;
    song.id = record.id;
    song.path = record.path;
    song.size = record.size;
    song.mtimeNs = record.mtimeNs;
    song.kind = record.kind;
    song.title = answerForm(record.title);
    song.singer = answerForm(record.singer);
    song.album = answerForm(record.album);
    song.track = record.track;
    song.year = record.year;
    song.millis = record.millis;
    song.kbps = record.kbps;
    song.cover = record.cover;
    singerNumbers.emplace(song.singer, 0);

    const auto position = static_cast<std::uint32_t>(songs_.size());
    starts_.push_back(static_cast<std::uint32_t>(folded_.size()));
    std::string title = folded(record.title), singer = folded(record.singer);
    folded_ += title + '\x1F' + singer + '\x1F' + folded(record.album) + '\x1E';
    foldedTitles_.push_back(std::move(title));
    foldedSingers_.push_back(std::move(singer));
    byId_.emplace(song.id, position);
    byLinkKey_[asciiLowered(song.title + song.singer)].push_back(position);
    auto [picture, added] = pictureBySinger_.emplace(asciiLowered(song.singer), position);
    if (!added && !songs_[picture->second].cover && song.cover) picture->second = position;
    songs_.push_back(std::move(song));
  }
  int number = 0;
  for (auto& [name, value] : singerNumbers) value = ++number;
  for (IndexedSong& song : songs_) song.singerNumber = singerNumbers[song.singer];
}

std::vector<std::uint32_t> LibraryIndex::search(std::string_view keyword) const {
  const std::string whole = trimmed(folded(keyword));
  std::vector<std::string> words = wordsOf(whole);
  std::vector<std::uint32_t> hits[3];
  if (words.empty() || songs_.empty()) return {};
  // The longest word is the rarest: find it in the whole text, then check the others per song.
  // Repeated words add nothing, and a few long ones say enough: a keyword of thousands of
  // words must not cost a scan each.
  std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
    return a.size() != b.size() ? a.size() > b.size() : a < b;
  });
  words.erase(std::unique(words.begin(), words.end()), words.end());
  constexpr std::size_t kMostWords = 16;
  if (words.size() > kMostWords) words.resize(kMostWords);
  const std::string& lead = words.front();
  const char* text = folded_.data();
  const char* end = text + folded_.size();
  std::uint32_t last = UINT32_MAX;
  for (const char* at = text; at < end;) {
    auto found = static_cast<const char*>(memmem(at, static_cast<std::size_t>(end - at), lead.data(), lead.size()));
    if (!found) break;
    const auto offset = static_cast<std::uint32_t>(found - text);
    auto song = static_cast<std::uint32_t>(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin() - 1);
    const std::uint32_t songEnd = song + 1 < starts_.size() ? starts_[song + 1] : static_cast<std::uint32_t>(folded_.size());
    at = text + songEnd;
    if (song == last) continue;
    last = song;
    std::string_view part(text + starts_[song], songEnd - starts_[song]);
    bool all = std::all_of(words.begin() + 1, words.end(),
                           [&](const std::string& word) { return part.find(word) != std::string_view::npos; });
    if (!all) continue;
    int rank = foldedSingers_[song] == whole ? 0 : foldedTitles_[song].compare(0, whole.size(), whole) == 0 ? 1 : 2;
    hits[rank].push_back(song);
  }
  std::vector<std::uint32_t> ranked;
  for (auto& group : hits) {
    for (std::uint32_t song : group) {
      if (ranked.size() == kMostHits) return ranked;
      ranked.push_back(song);
    }
  }
  return ranked;
}

const std::vector<std::uint32_t>* LibraryIndex::withLinkKey(std::string_view gbkKey) const {
  auto found = byLinkKey_.find(asciiLowered(gbkKey));
  return found == byLinkKey_.end() ? nullptr : &found->second;
}

const IndexedSong* LibraryIndex::pictureSong(std::string_view gbkSinger) const {
  auto found = pictureBySinger_.find(asciiLowered(gbkSinger));
  return found == pictureBySinger_.end() ? nullptr : &songs_[found->second];
}

const IndexedSong* LibraryIndex::byId(long long id) const {
  auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : &songs_[found->second];
}

}  // namespace songservice
