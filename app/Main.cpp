// The music client: one main window, a single instance, nothing on its command line.

#include "app/MainWindow.h"
#include "app/MainWindowBuild.h"
#include "app/MainWindowParts.h"
#include "app/Playback.h"
#include "app/ServiceLauncher.h"
#include "platform/system/ProgramFiles.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ControlsStart.h"

namespace pw = platform::window;

int main() {
  platform::system::programFiles().makeUserFolders();
  app::StartSongService();
  app::mainParts();
  app::audioEngine();
  ui::controls::start();
  const pw::HWND hwnd = app::CreateMainWindow();
  if (hwnd == nullptr) return 1;
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  pw::MSG msg;
  while (pw::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    pw::TranslateMessage(&msg);
    pw::DispatchMessageA(&msg);
  }
  app::FinishInitThread();
  app::StopSongService();
  return 0;
}
