#include "tools/song-service/library/LibraryIndex.h"

#include <algorithm>
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

}  // namespace

LibraryIndex::LibraryIndex(const std::vector<SongRecord>& records) {
  std::map<std::string, int> singerNumbers;
  songs_.reserve(records.size());
  starts_.reserve(records.size());
  titleBytes_.reserve(records.size());
  singerBytes_.reserve(records.size());
  signatures_.reserve(records.size());
  byId_.reserve(records.size());
  byLinkKey_.reserve(records.size());
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
    titleBytes_.push_back(static_cast<std::uint32_t>(title.size()));
    singerBytes_.push_back(static_cast<std::uint32_t>(singer.size()));
    const std::string part = title + '\x1F' + singer + '\x1F' + folded(record.album) + '\x1E';
    folded_ += part;
    signatures_.push_back(TextSignature::of(part));
    byId_.emplace_back(song.id, position);
    byLinkKey_.emplace_back(keyHash(asciiLowered(song.title + song.singer)), position);
    auto [picture, added] = pictureBySinger_.emplace(asciiLowered(song.singer), position);
    if (!added && !songs_[picture->second].cover && song.cover) picture->second = position;
    songs_.push_back(std::move(song));
  }
  folded_.shrink_to_fit();
  int number = 0;
  for (auto& [name, value] : singerNumbers) value = ++number;
  for (IndexedSong& song : songs_) song.singerNumber = singerNumbers[song.singer];
  std::sort(byId_.begin(), byId_.end());
  std::sort(byLinkKey_.begin(), byLinkKey_.end());
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
  auto range = std::equal_range(byLinkKey_.begin(), byLinkKey_.end(), std::make_pair(keyHash(wanted), 0u),
                                [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto it = range.first; it != range.second; ++it) {
    const IndexedSong& song = songs_[it->second];
    if (asciiLowered(song.title + song.singer) == wanted) songs.push_back(it->second);
  }
  return songs;
}

const IndexedSong* LibraryIndex::pictureSong(std::string_view gbkSinger) const {
  auto found = pictureBySinger_.find(asciiLowered(gbkSinger));
  return found == pictureBySinger_.end() ? nullptr : &songs_[found->second];
}

const IndexedSong* LibraryIndex::byId(long long id) const {
  auto found = std::lower_bound(byId_.begin(), byId_.end(), std::make_pair(id, 0u));
  return found == byId_.end() || found->first != id ? nullptr : &songs_[found->second];
}

}  // namespace songservice
