#include "tools/song-service/library/LibraryIndex.h"

#include <algorithm>
#include <array>
#include <map>
#include <type_traits>

#include "tools/song-service/library/LibraryText.h"
#include "tools/song-service/library/TextSignature.h"

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

std::uint64_t keyHash(std::string_view lowered) { return std::hash<std::string_view>()(lowered); }

// The (hash, position) pairs of a sorted list whose hash is that of the key.
auto withHashOf(const std::vector<std::pair<std::uint64_t, std::uint32_t>>& keyed, std::string_view key) {
  return std::equal_range(keyed.begin(), keyed.end(), std::make_pair(keyHash(key), 0u),
                          [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace

std::string linkKeyOf(const IndexedSong& song) {
  std::string key = asciiLowered(song.title);
  key += asciiLowered(song.singer);
  return key;
}

LibraryIndex::LibraryIndex(const std::vector<SongRecord>& records) {
  std::map<std::string, int> singerNumbers;
  songs_.reserve(records.size());
  starts_.reserve(records.size());
  titleBytes_.reserve(records.size());
  singerBytes_.reserve(records.size());
  signatures_.reserve(records.size());
  byId_.reserve(records.size());
  byLinkKey_.reserve(records.size());
  bySingerKey_.reserve(records.size());
  // Where each song's texts lie in texts_, until it stops growing and views can be taken.
  struct TextPlace {
    std::size_t start;
    std::array<std::size_t, 4> bytes;  // path, title, singer, album
  };
  std::vector<TextPlace> places;
  places.reserve(records.size());
  for (const SongRecord& record : records) {
    if (record.kind == MediaKind::None) continue;
    IndexedSong song;
    song.id = record.id;
    song.size = record.size;
    song.mtimeNs = record.mtimeNs;
    song.kind = record.kind;
    song.track = record.track;
    song.year = record.year;
    song.millis = record.millis;
    song.kbps = record.kbps;
    song.cover = record.cover;
    const std::string title = answerForm(record.title), singer = answerForm(record.singer),
                      album = answerForm(record.album);
    places.push_back({texts_.size(), {record.path.size(), title.size(), singer.size(), album.size()}});
    texts_ += record.path;
    texts_ += title;
    texts_ += singer;
    texts_ += album;
    singerNumbers.emplace(singer, 0);

    const auto position = static_cast<std::uint32_t>(songs_.size());
    starts_.push_back(static_cast<std::uint32_t>(folded_.size()));
    const std::string foldedTitle = folded(record.title), foldedSinger = folded(record.singer);
    titleBytes_.push_back(static_cast<std::uint32_t>(foldedTitle.size()));
    singerBytes_.push_back(static_cast<std::uint32_t>(foldedSinger.size()));
    const std::size_t partStart = folded_.size();
    folded_ += foldedTitle;
    folded_ += '\x1F';
    folded_ += foldedSinger;
    folded_ += '\x1F';
    folded_ += folded(record.album);
    folded_ += '\x1E';
    signatures_.push_back(TextSignature::of(std::string_view(folded_).substr(partStart)));
    byId_.emplace_back(song.id, position);
    byLinkKey_.emplace_back(keyHash(asciiLowered(title + singer)), position);
    bySingerKey_.emplace_back(keyHash(asciiLowered(singer)), position);
    songs_.push_back(song);
  }
  texts_.shrink_to_fit();
  for (std::size_t i = 0; i < songs_.size(); ++i) {
    IndexedSong& song = songs_[i];
    const char* at = texts_.data() + places[i].start;
    std::string_view* texts[] = {&song.path, &song.title, &song.singer, &song.album};
    for (std::size_t t = 0; t < 4; ++t) {
      *texts[t] = std::string_view(at, places[i].bytes[t]);
      at += places[i].bytes[t];
    }
  }
  folded_.shrink_to_fit();
  int number = 0;
  for (auto& [name, value] : singerNumbers) value = ++number;
  for (IndexedSong& song : songs_) song.singerNumber = singerNumbers.find(std::string(song.singer))->second;
  std::sort(byId_.begin(), byId_.end());
  std::sort(byLinkKey_.begin(), byLinkKey_.end());
  std::sort(bySingerKey_.begin(), bySingerKey_.end());
  for (std::size_t i = 0; i < byLinkKey_.size(); ++i) {
    bool same = (i > 0 && byLinkKey_[i - 1].first == byLinkKey_[i].first) ||
                (i + 1 < byLinkKey_.size() && byLinkKey_[i + 1].first == byLinkKey_[i].first);
    if (same) songs_[byLinkKey_[i].second].sharedKey = true;
  }
  bySinger_.resize(songs_.size());
  for (std::uint32_t i = 0; i < bySinger_.size(); ++i) bySinger_[i] = i;
  byTitle_ = bySinger_;
  std::stable_sort(bySinger_.begin(), bySinger_.end(),
                   [this](std::uint32_t a, std::uint32_t b) { return foldedSinger(a) < foldedSinger(b); });
  std::stable_sort(byTitle_.begin(), byTitle_.end(),
                   [this](std::uint32_t a, std::uint32_t b) { return foldedTitle(a) < foldedTitle(b); });
}

std::string_view LibraryIndex::partOf(std::uint32_t song) const {
  const std::uint32_t end = song + 1 < starts_.size() ? starts_[song + 1] : static_cast<std::uint32_t>(folded_.size());
  return std::string_view(folded_).substr(starts_[song], end - starts_[song]);
}

std::string_view LibraryIndex::foldedTitle(std::uint32_t song) const {
  return std::string_view(folded_).substr(starts_[song], titleBytes_[song]);
}

std::string_view LibraryIndex::foldedSinger(std::uint32_t song) const {
  return std::string_view(folded_).substr(starts_[song] + titleBytes_[song] + 1, singerBytes_[song]);
}

// 0: the singer is the keyword, 1: the title starts with it, 2: it matched elsewhere.
int LibraryIndex::rank(std::uint32_t song, std::string_view whole) const {
  if (foldedSinger(song) == whole) return 0;
  return foldedTitle(song).substr(0, whole.size()) == whole ? 1 : 2;
}

std::vector<std::uint32_t> LibraryIndex::search(std::string_view keyword) const {
  const std::string whole = trimmed(folded(keyword));
  std::vector<std::string> words = wordsOf(whole);
  if (words.empty() || songs_.empty()) return {};
  std::vector<std::uint32_t> ranked;

  // The first two ranks come from the sorted positions; they hold every word by themselves.
  auto singers = std::equal_range(bySinger_.begin(), bySinger_.end(), whole, [this](const auto& a, const auto& b) {
    if constexpr (std::is_same_v<std::decay_t<decltype(a)>, std::uint32_t>) return foldedSinger(a) < std::string_view(b);
    else return std::string_view(a) < foldedSinger(b);
  });
  ranked.assign(singers.first, singers.second);
  std::sort(ranked.begin(), ranked.end());
  if (ranked.size() < kMostHits) {
    // The titles starting with the keyword stand together in title order; those whose singer
    // is the keyword are ranked already.
    auto first = std::lower_bound(byTitle_.begin(), byTitle_.end(), whole,
                                  [this](std::uint32_t a, const std::string& b) { return foldedTitle(a) < b; });
    auto last = std::partition_point(first, byTitle_.end(), [&](std::uint32_t song) {
      return foldedTitle(song).substr(0, whole.size()) == whole;
    });
    std::vector<std::uint32_t> titles(first, last);
    if (!ranked.empty())
      std::erase_if(titles, [&](std::uint32_t song) { return std::binary_search(ranked.begin(), ranked.end(), song); });
    // Only the first ones by path fit in the answer.
    const std::size_t room = kMostHits - ranked.size();
    if (titles.size() > room) {
      std::nth_element(titles.begin(), titles.begin() + static_cast<std::ptrdiff_t>(room), titles.end());
      titles.resize(room);
    }
    std::sort(titles.begin(), titles.end());
    ranked.insert(ranked.end(), titles.begin(), titles.end());
  }
  if (ranked.size() >= kMostHits) {
    ranked.resize(kMostHits);
    return ranked;
  }

  // The rest in path order, until the answer is full. Repeated words add nothing, and a few
  // long ones say enough: a keyword of thousands of words must not cost a scan each. The
  // longest word is likely the rarest, so it is looked for first.
  std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
    return a.size() != b.size() ? a.size() > b.size() : a < b;
  });
  words.erase(std::unique(words.begin(), words.end()), words.end());
  constexpr std::size_t kMostWords = 16;
  if (words.size() > kMostWords) words.resize(kMostWords);
  TextSignature wanted;
  for (const std::string& word : words) wanted.add(TextSignature::of(word));
  const auto count = static_cast<std::uint32_t>(songs_.size());
  for (std::uint32_t song = 0; song < count && ranked.size() < kMostHits; ++song) {
    if (!signatures_[song].covers(wanted)) continue;
    const std::string_view part = partOf(song);
    bool all = std::all_of(words.begin(), words.end(),
                           [&](const std::string& word) { return part.find(word) != std::string_view::npos; });
    if (all && rank(song, whole) == 2) ranked.push_back(song);
  }
  return ranked;
}

std::vector<std::uint32_t> LibraryIndex::withLinkKey(std::string_view gbkKey) const {
  const std::string wanted = asciiLowered(gbkKey);
  std::vector<std::uint32_t> songs;
  auto range = withHashOf(byLinkKey_, wanted);
  for (auto it = range.first; it != range.second; ++it) {
    if (linkKeyOf(songs_[it->second]) == wanted) songs.push_back(it->second);
  }
  return songs;
}

std::vector<const IndexedSong*> LibraryIndex::songsOfSinger(std::string_view gbkSinger) const {
  const std::string wanted = asciiLowered(gbkSinger);
  std::vector<const IndexedSong*> songs;
  auto range = withHashOf(bySingerKey_, wanted);
  for (auto it = range.first; it != range.second; ++it) {
    if (asciiLowered(songs_[it->second].singer) == wanted) songs.push_back(&songs_[it->second]);
  }
  return songs;
}

const IndexedSong* LibraryIndex::byId(long long id) const {
  auto found = std::lower_bound(byId_.begin(), byId_.end(), std::make_pair(id, 0u));
  return found == byId_.end() || found->first != id ? nullptr : &songs_[found->second];
}

}  // namespace songservice
