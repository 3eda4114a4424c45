#pragma once
// Searching the song service from the search box and showing the answer in the result
// list of the main window. UI thread only.

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

// The rows an answer gives: one per piece between "},{" separators, title and singer each
// cut by their markers (empty when a member is missing). No rows for an answer of at most
// kSmallestSongAnswer bytes.
std::vector<SongEntry> CutSearchAnswer(std::string_view answer);

// The Enter key in the main window: a bad keyword gets the error box and empties the box.
void OnSearchEnter();
// The search button: closes an open preset list first; a bad keyword keeps the box's text.
void OnSearchButton();
// Runs one search from the search box's text and refills the result list. The request
// lets window messages through while it reads; a search trigger arriving meanwhile is
// ignored.
void SearchSongs();
// True while a search is waiting for its answer.
bool SearchRunning();

}  // namespace app
