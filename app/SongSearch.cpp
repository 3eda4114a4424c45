#include "app/SongSearch.h"

#include "app/KeywordCheck.h"
#include "app/MainWindowTabs.h"
#include "app/ProgramTexts.h"
#include "app/ServiceAddress.h"
#include "app/UiRequest.h"
#include "ui/framework/MessageBox.h"

namespace app {
namespace {

// Clears the flag however the search ends.
class RunningFlag {
 public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

bool SongSearch::searchIfKeywordAccepted() {
  if (!IsSearchableKeyword(parts_.searchBox.text())) {
    ui::showMessageBox(parts_.hwnd, BadKeywordMessage(), ui::kBoxCancelOk, ErrorTitle(), ui::kBoxIconError);
    return false;
  }
  run();
  return true;
}

void SongSearch::onEnter() {
  if (running_) return;
  if (!searchIfKeywordAccepted()) parts_.searchBox.text(std::string());
}

void SongSearch::onButton() {
  if (running_) return;
  if (parts_.presetGroupOpen) parts_.presetList.visible(0);
  searchIfKeywordAccepted();
}

void SongSearch::run() {
  if (running_) return;
  RunningFlag flag(running_);
  EnterResultsTabForSearch(parts_);
  parts_.resultList.clear();
  ++parts_.resultsVersion;
  if (onSearched_) onSearched_(parts_.searchBox.text());
  std::string headers;
  const std::string answer = RequestOnUiThread(SearchRequestUrl(parts_.searchBox.text()), &headers);
  // No answer at all is not "no songs": the user would search in vain without knowing why.
  if (headers.empty()) {
    if (!outageTold_) {
      outageTold_ = true;
      ui::showMessageBox(parts_.hwnd, UnreachableServiceMessage(ServiceAddress()), ui::kBoxOk, ErrorTitle(),
                         ui::kBoxIconError);
    }
    return;
  }
  outageTold_ = false;
  showAnswer(answer);
}

void SongSearch::showAnswer(std::string_view answer) {
  const std::vector<SongEntry> rows = CutSearchAnswer(answer);
  if (rows.empty()) return;
  for (const SongEntry& song : rows) {
    const int row = parts_.resultList.addRow();
    parts_.resultList.cellText(row, 1, song.title);
    parts_.resultList.cellText(row, 2, song.singer);
  }
  parts_.resultList.visible(1);
  parts_.resultList.redraw();
}

}  // namespace app
