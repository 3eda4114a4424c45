// The main window as the Player's view and as the source of its song lists.

#include <cmath>

#include "app/MainWindow.h"
#include "app/MainWindowTabs.h"
#include "app/ProgramTexts.h"
#include "ui/framework/MessageBox.h"

namespace app {
namespace {

constexpr double kTolerance = 0.0000001;
constexpr char kLineBreak[] = "\r\n";

}  // namespace

void MainWindow::resetPosition() {
  auto& slider = parts_.positionSlider;
  if (std::fabs(slider.value()) > kTolerance) slider.value(0.0);
}

void MainWindow::songStarted(const std::string& label, const std::string& lengthText) {
  parts_.songLabel.text(label);
  parts_.lengthLabel.text(lengthText);
}

void MainWindow::rowPlaying(SongList list, int row, std::uint64_t version) {
  ui::controls::ExList* rows = listOf(list);
  // A list a new search has replaced holds other songs.
  if (rows == nullptr || listVersion(list) != version || !rows->validRow(row)) return;
  if (rows->selectedRow() != row) rows->selectedRow(row);
  rows->scrollIntoView(row);
}

void MainWindow::showPlaying(bool playing) {
  using P = ButtonPicture;
  if (playing) {
    SetLooks(parts_, parts_.playPause, P::Pause, P::PauseHover, P::PausePressed);
  } else {
    SetLooks(parts_, parts_.playPause, P::Play, P::PlayHover, P::PlayPressed);
  }
}

void MainWindow::songUnplayable() {
  ui::showMessageBox(parts_.hwnd, UnplayableSongMessage(), ui::kBoxCancelOk, ErrorTitle(), ui::kBoxIconError);
}

void MainWindow::showLength(const std::string& lengthText) { parts_.lengthLabel.text(lengthText); }

void MainWindow::showProgress(const std::string& elapsedText, double positionPercent, double bufferedPercent) {
  parts_.elapsedLabel.text(elapsedText);
  parts_.positionSlider.value(positionPercent);
  parts_.positionSlider.secondValue(bufferedPercent);
}

void MainWindow::positionRefused() {
  if (parts_.positionSlider.value() - 1.0 > kTolerance) parts_.positionSlider.value(0.0);
}

void MainWindow::showStopped() {
  parts_.songLabel.text(std::string());
  parts_.elapsedLabel.text(std::string());
  parts_.lengthLabel.text(std::string());
  parts_.positionSlider.value(0.0);
  parts_.positionSlider.secondValue(0.0);
  showPlaying(false);
}

void MainWindow::showVolume(int volume) { parts_.volumeSlider.value(volume); }

void MainWindow::showKeptSong() {
  const PlayerStatus kept = player_.status();
  if (!kept.kept) return;
  parts_.songLabel.text(SongLabel(kept.title, kept.singer));
  parts_.elapsedLabel.text(engine_.FormatTime(wholeSeconds(kept.position)));
  if (kept.length > 0) {
    parts_.lengthLabel.text(engine_.FormatTime(wholeSeconds(kept.length)));
    parts_.positionSlider.value(kept.position * 100.0 / kept.length);
  }
}

ui::controls::ExList* MainWindow::listOf(SongList list) {
  if (list == SongList::Results) return &parts_.resultList;
  if (list == SongList::Presets) return &parts_.presetList;
  return nullptr;
}

int MainWindow::rowCount(SongList list) {
  ui::controls::ExList* rows = listOf(list);
  return rows == nullptr ? 0 : rows->rowCount();
}

std::uint64_t MainWindow::listVersion(SongList list) {
  return list == SongList::Results ? parts_.resultsVersion : parts_.presetsVersion;
}

SongLists::Row MainWindow::rowAt(SongList list, int row) {
  Row found;
  ui::controls::ExList* rows = listOf(list);
  if (rows == nullptr || !rows->validRow(row)) return found;
  if (list == SongList::Results) {
    found.title = rows->cellText(row, 1);
    found.singer = rows->cellText(row, 2);
    found.label = found.title + kLineBreak + found.singer;
  } else {
    // A preset row holds "title CR LF singer" in its one column.
    found.label = rows->cellText(row, 1);
    const auto cut = found.label.find(kLineBreak);
    found.title = found.label.substr(0, cut);
    if (cut != std::string::npos) found.singer = found.label.substr(cut + 2);
  }
  return found;
}

}  // namespace app
