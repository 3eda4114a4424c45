// The main window's keys: media keys, Ctrl+F, the keys of a focused list or slider, and
// Enter for the search.

#include "app/MainWindow.h"
#include "platform/window/WindowApi.h"

namespace app {

namespace pw = platform::window;

bool MainWindow::mediaKey(pw::WPARAM key) {
  switch (key) {
    case pw::VK_MEDIA_PLAY_PAUSE:
      player_.togglePause();
      return true;
    case pw::VK_PAUSE:
      player_.pause();
      return true;
    case pw::VK_MEDIA_STOP:
      player_.stop();
      return true;
    case pw::VK_MEDIA_NEXT_TRACK:
      player_.next();
      return true;
    case pw::VK_MEDIA_PREV_TRACK:
      player_.previous();
      return true;
    default:
      return false;
  }
}

bool MainWindow::listOrSliderKey(int focused, pw::WPARAM key) {
  if (focused == 0) return false;
  const bool results = focused == parts_.resultList.id();
  if (results || focused == parts_.presetList.id()) {
    if (key == pw::VK_RETURN) {
      // The selected row, not the one under the pointer.
      const SongList list = results ? SongList::Results : SongList::Presets;
      const int row = (results ? parts_.resultList : parts_.presetList).selectedRow();
      player_.playRow(list, row);
      return true;
    }
    if (key == pw::VK_SPACE) {
      player_.togglePause();
      return true;
    }
    return false;
  }
  const bool position = focused == parts_.positionSlider.id();
  if (!position && focused != parts_.volumeSlider.id()) return false;
  if (key == pw::VK_SPACE) {
    player_.togglePause();
    return true;
  }
  int step = 0;
  if (key == pw::VK_RIGHT || (!position && key == pw::VK_UP)) step = 1;
  if (key == pw::VK_LEFT || (!position && key == pw::VK_DOWN)) step = -1;
  if (step == 0) return false;
  if (position) {
    player_.seekBy(step * kSeekStepSeconds);
  } else {
    player_.changeVolume(player_.volume() + step * kVolumeStep);
  }
  return true;
}

void MainWindow::onKeyDown(pw::WPARAM key) {
  if (mediaKey(key)) return;
  const bool control = pw::GetKeyState(pw::VK_CONTROL) < 0;
  if (control && key == 'F') {
    parts_.host.focusControl(parts_.searchBox.id());
    parts_.searchBox.selectAll();
    return;
  }
  const int focused = parts_.host.focusedControlId();
  if (listOrSliderKey(focused, key)) return;
  // Enter on a button has clicked it; it searches only from the search box or from nowhere.
  if (key == pw::VK_RETURN && (focused == 0 || focused == parts_.searchBox.id())) search_.onEnter();
}

}  // namespace app
