#pragma once
// The demo's message-box button: each click opens the next button set (0 to 5 in turn)
// with the next icon and logs ("msgbox", set, code) with the code the box returned.
// UI thread only.

#include <functional>

#include "ui/controls/ExButton.h"

namespace demo {

struct DemoWindow;

struct DemoMessageBox {
  ui::controls::ExButton open;
  int shown = 0;  // boxes opened so far
};

void createDemoMessageBox(DemoWindow& window, std::function<void(const char* what, int a, int b)> log);

}  // namespace demo
