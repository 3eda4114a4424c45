// Finds a top-level window of another process by title (UTF-8 argument) and shows it
// normally: exit 0 when found, 1 when not, 2 without a display.

#include <string>

#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"

int main(int argc, char** argv) {
  using namespace platform::window;
  if (argc < 2 || !GtkBackend::open()) return 2;
  WindowSystem::instance().installBackend(std::make_unique<GtkBackend>());
  const std::string title = platform::text::utf8ToAnsi(argv[1]);
  HWND found = FindWindowA(nullptr, title.c_str());
  if (found == nullptr) return 1;
  ShowWindow(found, SW_SHOWNORMAL);
  return 0;
}
