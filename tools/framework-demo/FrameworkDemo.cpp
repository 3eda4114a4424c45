// A skinned window of the framework, attached as the main window is: a dusk background
// with the window alpha, the title, the caption buttons and a few picture boxes, one of
// them an animated GIF (click it to pause or resume). Clicks are reported on stdout.
//   tunora-framework-demo [--position X Y]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/system/Files.h"
#include "platform/system/ProgramFolder.h"
#include "platform/text/CodePage.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ControlsStart.h"
#include "ui/controls/ExPicture.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"

namespace pw = platform::window;

namespace {

constexpr int kWidth = 296;
constexpr int kHeight = 657;
constexpr int kCaptionSet = 0x57;  // icon, title, close, minimise, skin

pw::LRESULT demoProc(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  if (message == pw::WM_DESTROY) pw::PostQuitMessage(0);
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

platform::system::ByteBlock pictureBytes(const char* name) {
  auto bytes = platform::system::readWholeFile(platform::system::pathInFolder(platform::system::programFolder(), name));
  if (!bytes) std::fprintf(stderr, "missing %s beside the program; showing without it\n", name);
  return bytes.value_or(platform::system::ByteBlock{});
}

resources::ExImage imageFrom(const platform::system::ByteBlock& bytes) {
  resources::ExImage image;
  image.LoadFromBytes(bytes);
  return image;
}

void say(const char* text, int a, int b) {
  std::printf("%s %d %d\n", text, a, b);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int x = -1, y = -1;
  if (argc == 4 && std::strcmp(argv[1], "--position") == 0) {
    x = std::atoi(argv[2]);
    y = std::atoi(argv[3]);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--position X Y]\n", argv[0]);
    return 2;
  }
  ui::controls::start();

  pw::WNDCLASSEXA wc;
  wc.style = pw::CS_DBLCLKS;
  wc.lpfnWndProc = demoProc;
  wc.hCursor = pw::LoadCursorA(nullptr, pw::IDC_ARROW);
  wc.lpszClassName = "TunoraFrameworkDemo";
  if (pw::RegisterClassExA(&wc) == 0) return 1;
  if (x < 0 || y < 0) {
    pw::RECT work;
    pw::SystemParametersInfoA(pw::SPI_GETWORKAREA, 0, &work, 0);
    x = work.left + (work.width() - kWidth) / 2;
    y = work.top + std::max(0, (work.height() - kHeight) / 2);
  }
  static const std::string title = platform::text::utf8ToAnsi("Tunora 框架演示");
  pw::HWND hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED | pw::WS_EX_APPWINDOW, "TunoraFrameworkDemo", title.c_str(),
                                      pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX, x, y, kWidth, kHeight,
                                      nullptr, nullptr);
  if (hwnd == nullptr) return 1;

  ui::ExWindow window;
  ui::AttachOptions options;
  options.captionButtonSet = kCaptionSet;
  options.windowAlpha = 254;
  options.backgroundMode = 5;
  options.fixedSize = 1;
  const platform::system::ByteBlock background = pictureBytes("demo-background.png");
  if (!window.attach(hwnd, background, options)) return 1;
  window.setCloseEffect(ui::kCloseWipeTopToBottom);
  window.layeredStyle(1);

  const platform::system::ByteBlock equaliser = pictureBytes("demo-equaliser.gif");
  ui::controls::ExPicture playing, still, preview;
  ui::controls::PictureOptions animated;
  animated.animate = true;
  playing.create(hwnd, {36, 96, 48, 48}, imageFrom(equaliser), animated);
  still.createFromData(hwnd, {36, 156, 48, 48}, equaliser, 0xFFFFFFFFu);
  ui::controls::PictureOptions framed;
  framed.borderColour = 0xE6FFFFFFu;
  preview.create(hwnd, {120, 96, 64, 142}, imageFrom(background), framed);

  window.onClick([&](pw::HWND, int controlId, ui::ControlObject*, int kind) -> pw::LRESULT {
    if (kind == ui::kKindCaptionButton) say("caption", controlId, window.captionButtonBit(controlId));
    else say("control", controlId, kind);
    if (controlId == playing.id()) playing.setAnimate(!playing.animate());
    return 0;
  });
  window.redraw(std::nullopt, std::nullopt, true);
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  say("shown", x, y);

  pw::MSG msg;
  while (pw::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    pw::TranslateMessage(&msg);
    pw::DispatchMessageA(&msg);
  }
  say("closed", 0, 0);
  return 0;
}
