#include "app/SongSearch.h"

#include "app/KeywordCheck.h"
#include "app/MainWindowParts.h"
#include "app/ServiceAddress.h"
#include "app/UiRequest.h"
#include "ui/framework/MessageBox.h"

namespace app {
namespace {

bool searching = false;

// Clears the flag however the search ends.
class SearchGuard {
 public:
  SearchGuard() { searching = true; }
  ~SearchGuard() { searching = false; }
  SearchGuard(const SearchGuard&) = delete;
  SearchGuard& operator=(const SearchGuard&) = delete;
};

void showBadKeyword(MainWindowParts& parts) {
  ui::showMessageBox(parts.hwnd, BadKeywordMessage(), ui::kBoxCancelOk, ErrorTitle(), ui::kBoxIconError);
}

// Keyword check, then the search; false when the keyword was refused.
bool searchIfKeywordAccepted(MainWindowParts& parts) {
  if (!IsSearchableKeyword(parts.searchBox.text())) {
    showBadKeyword(parts);
    return false;
  }
  SearchSongs();
  return true;
}

void switchToResultsTab(MainWindowParts& parts) {
  auto& images = parts.buttonImages;
  switch (parts.activeTab) {
    case 1:
      parts.groupHeader1.visible(0);
      parts.groupHeader2.visible(0);
      parts.tab1.setImages(images[9], images[10]);
      parts.tab2.setImages(images[12], images[12], images[12]);
      break;
    case 2:
      parts.resultList.visible(0);
      break;
    case 3:
      parts.tab3.setImages(images[13], images[14]);
      parts.tab2.setImages(images[12], images[12], images[12]);
      break;
    default:
      parts.tab2.setImages(images[12], images[12], images[12]);
      break;
  }
  parts.activeTab = 2;
}

}  // namespace

void OnSearchEnter() {
  if (searching) return;
  MainWindowParts& parts = mainParts();
  if (!searchIfKeywordAccepted(parts)) parts.searchBox.text(std::string());
}

void OnSearchButton() {
  if (searching) return;
  MainWindowParts& parts = mainParts();
  if (parts.presetGroupOpen) parts.presetList.visible(0);
  searchIfKeywordAccepted(parts);
}

void SearchSongs() {
  if (searching) return;
  SearchGuard guard;
  MainWindowParts& parts = mainParts();
  switchToResultsTab(parts);
  parts.resultList.clear();
  const std::string answer = RequestOnUiThread(SearchRequestUrl(parts.searchBox.text()));
  ShowSearchAnswer(answer);
}

void ShowSearchAnswer(std::string_view answer) {
  MainWindowParts& parts = mainParts();
  const std::vector<SongEntry> rows = CutSearchAnswer(answer);
  if (rows.empty()) return;
  for (const SongEntry& song : rows) {
    const int row = parts.resultList.addRow();
    parts.resultList.cellText(row, 1, song.title);
    parts.resultList.cellText(row, 2, song.singer);
  }
  parts.resultList.visible(1);
  parts.resultList.redraw();
}

bool SearchRunning() { return searching; }

}  // namespace app
