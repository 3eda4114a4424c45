#pragma once
// Cutting the song service's search answer into result rows, by markers only.

#include <string>
#include <string_view>
#include <vector>

namespace app {

// One row of the result list, exactly as cut out of the answer (no unescaping).
struct SongEntry {
  std::string title;
  std::string singer;
};

// Answers of this size or less hold no songs.
inline constexpr std::size_t kSmallestSongAnswer = 200;

// One row per piece between "},{" separators, title and singer each cut by their markers
// (empty when a member is missing). No rows for an answer of at most kSmallestSongAnswer
// bytes.
std::vector<SongEntry> CutSearchAnswer(std::string_view answer);

}  // namespace app
