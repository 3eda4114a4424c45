#pragma once
// Searching the song service from the search box and showing the answer in the result
// list of the main window. UI thread only.

#include <functional>
#include <string>
#include <string_view>

#include "app/MainWindowParts.h"
#include "app/SearchAnswer.h"

namespace app {

class SongSearch {
 public:
  explicit SongSearch(MainWindowParts& parts) : parts_(parts) {}

  // The Enter key in the main window: a bad keyword gets the error box and empties the box.
  void onEnter();
  // The search button: closes an open preset list first; a bad keyword keeps the box's text.
  void onButton();
  // Runs one search from the search box's text and refills the result list. The request
  // lets window messages through while it reads; a search trigger arriving meanwhile is
  // ignored. A service that does not answer at all gets the error box, once per outage.
  void run();
  // Fills the result list from a search answer and shows it; an answer holding no songs
  // leaves it empty and hidden. The part of a search after the answer has arrived.
  void showAnswer(std::string_view answer);
  // True while a search is waiting for its answer.
  bool running() const { return running_; }
  // Told the keyword of every search that runs.
  void setOnSearched(std::function<void(const std::string& keyword)> onSearched) {
    onSearched_ = std::move(onSearched);
  }

 private:
  // Keyword check, then the search; false when the keyword was refused.
  bool searchIfKeywordAccepted();

  MainWindowParts& parts_;
  std::function<void(const std::string& keyword)> onSearched_;
  bool running_ = false;
  // The service was found unreachable and the user was told; cleared by an answer.
  bool outageTold_ = false;
};

}  // namespace app
