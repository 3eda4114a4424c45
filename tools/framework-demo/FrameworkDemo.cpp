// Shows the framework demo window (DemoWindow.h) until it is closed. Clicks are reported
// on stdout, one line each.
//   tunora-framework-demo [--position X Y]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/system/ProgramFolder.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/WindowApi.h"
#include "tools/framework-demo/DemoWindow.h"

namespace pw = platform::window;

namespace {

void say(const char* what, int a, int b) {
  std::printf("%s %d %d\n", what, a, b);
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
  if (x < 0 || y < 0) {
    pw::RECT work;
    pw::SystemParametersInfoA(pw::SPI_GETWORKAREA, 0, &work, 0);
    x = work.left + std::max(0, (work.width() - demo::kWidth) / 2);
    y = work.top + std::max(0, (work.height() - demo::kHeight) / 2);
  }
  auto window = demo::openDemoWindow(x, y, platform::system::programFolder(), say);
  if (!window) {
    std::fprintf(stderr, "could not open the demo window\n");
    return 1;
  }
  say("shown", x, y);
  pw::MSG msg;
  while (pw::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    pw::TranslateMessage(&msg);
    pw::DispatchMessageA(&msg);
  }
  say("closed", 0, 0);
  return 0;
}
