#pragma once
// The demo's buttons and labels: a row of image buttons cut from the generated media
// button sheet, a label with a gradient and glow, a plain one that counts the row's
// clicks, a colour swatch, and a push button with an access key (Alt+P) whose caption
// switches between play and pause. UI thread only.

#include <array>
#include <string>

#include "ui/controls/ExButton.h"
#include "ui/controls/ExImageButton.h"
#include "ui/controls/ExLabel.h"

namespace demo {

struct DemoWindow;

struct DemoButtons {
  std::array<ui::controls::ExImageButton, 6> row;  // previous, play, pause, next, stop, heart
  ui::controls::ExLabel glowing;
  ui::controls::ExLabel counter;
  ui::controls::ExLabel swatch;
  ui::controls::ExButton play;
  int rowClicks = 0;
  bool playing = false;
};

// Creates them in window (attached, not yet shown); the button sheet is read from
// pictureFolder, and without it the row stays empty but clickable.
void createDemoButtons(DemoWindow& window, const std::string& pictureFolder);

}  // namespace demo
