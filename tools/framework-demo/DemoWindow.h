#pragma once
// The framework demo's window: attached as the main window is (296 x 657, caption set
// 0x57, window alpha 254, mode 5, fixed size, close effect 6) over the generated dusk
// picture, with three picture boxes, one an animated GIF that a click pauses or resumes.
// Shared by the demo program and its end-to-end test. UI thread only.

#include <functional>
#include <memory>
#include <string>

#include "tools/framework-demo/DemoButtons.h"
#include "tools/framework-demo/DemoEdit.h"
#include "tools/framework-demo/DemoList.h"
#include "tools/framework-demo/DemoMessageBox.h"
#include "tools/framework-demo/DemoSliders.h"
#include "ui/controls/ExPicture.h"
#include "ui/framework/ExWindow.h"

namespace demo {

inline constexpr int kWidth = 296;
inline constexpr int kHeight = 657;
inline constexpr int kCaptionSet = 0x57;  // icon, title, close, minimise, skin

struct DemoWindow {
  ui::ExWindow host;
  ui::controls::ExPicture playing;  // the animated equaliser
  ui::controls::ExPicture still;    // its first frame, framed in white
  ui::controls::ExPicture preview;  // the background, small, as a skin preview
  DemoList list;
  DemoButtons buttons;
  DemoEdit edit;
  DemoMessageBox messageBox;
  DemoSliders sliders;
  platform::window::HWND hwnd = nullptr;
};

// Reports a click: ("caption", id, bit) or ("control", id, kind), and a message box
// closing: ("msgbox", button set, code).
using DemoLog = std::function<void(const char* what, int a, int b)>;

// Creates, attaches and shows the window at (x, y), fading in. The pictures are read from
// pictureFolder; missing ones leave their places empty. nullptr when the window cannot be
// made. The window's class posts WM_QUIT when it is destroyed.
std::unique_ptr<DemoWindow> openDemoWindow(int x, int y, const std::string& pictureFolder, DemoLog log);

}  // namespace demo
