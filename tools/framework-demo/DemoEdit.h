#pragma once
// The demo's edit box, set up as the search box is: pale text on a faint dark band, a hint
// text that goes on the first press, Chinese input through the desktop's input method.

#include "ui/controls/ExEdit.h"

namespace demo {

struct DemoWindow;

struct DemoEdit {
  ui::controls::ExEdit box;
  bool hintShown = true;
};

// Makes the box at (16, 540, 264, 26) in the demo window.
void createDemoEdit(DemoWindow& window);

}  // namespace demo
