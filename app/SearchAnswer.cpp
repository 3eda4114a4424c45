#include "app/SearchAnswer.h"

#include "net/TextBetween.h"

namespace app {

std::vector<SongEntry> CutSearchAnswer(std::string_view answer) {
  constexpr std::string_view kSongSeparator = "},{";
  std::vector<SongEntry> rows;
  if (answer.size() <= kSmallestSongAnswer) return rows;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = answer.find(kSongSeparator, start);
    const std::string_view piece = answer.substr(start, end == std::string_view::npos ? answer.npos : end - start);
    rows.push_back({net::TextBetween(piece, "title\":\"", "\""), net::TextBetween(piece, "singer\":\"", "\"")});
    if (end == std::string_view::npos) break;
    start = end + kSongSeparator.size();
  }
  return rows;
}

}  // namespace app
