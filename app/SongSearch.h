#pragma once
// Searching the song service from the search box and showing the answer in the result
// list of the main window. UI thread only.

#include "app/SearchAnswer.h"

namespace app {

// The Enter key in the main window: a bad keyword gets the error box and empties the box.
void OnSearchEnter();
// The search button: closes an open preset list first; a bad keyword keeps the box's text.
void OnSearchButton();
// Runs one search from the search box's text and refills the result list. The request
// lets window messages through while it reads; a search trigger arriving meanwhile is
// ignored.
void SearchSongs();
// Fills the result list from a search answer and shows it; an answer holding no songs
// leaves it empty and hidden. The part of a search after the answer has arrived.
void ShowSearchAnswer(std::string_view answer);
// True while a search is waiting for its answer.
bool SearchRunning();

}  // namespace app
