#include "app/MainWindowBuild.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "app/MainWindowControls.h"
#include "app/PresetList.h"
#include "app/ServiceLauncher.h"
#include "app/VolumeSetting.h"
#include "platform/system/WorkingSet.h"
#include "platform/window/WindowApi.h"

namespace app {
namespace {

namespace pw = platform::window;

std::thread& initThread() {
  static std::thread thread;
  return thread;
}
std::atomic<bool> initDone{false};

}  // namespace

void BuildMainWindow() {
  MainWindowParts& parts = mainParts();
  const int volume = ReadVolumeSetting();
  // One trip to the UI thread for all twenty: a trip each made the window wait for this
  // thread to be scheduled twenty times while it came up.
  pw::invokeOnUiThread([&] {
    // Pushed one by one, the controls appeared piece by piece over the window as it came up,
    // and each push cost a copy to the screen.
    parts.host.holdScreenUpdates();
    CreateMainWindowControls(parts, [volume] { return volume; });
    parts.host.releaseScreenUpdates();
  });
  // The list is hidden until its group opens, so it can wait for a song service started
  // beside the window, which may be writing the user's own preset file.
  WaitForSongService();
  pw::invokeOnUiThread([] { LoadPresetList(); });
  platform::system::trimWorkingSet();
  pw::invokeOnUiThread([&] { parts.activeTab = 1; });
}

void StartInitThread() {
  initDone = false;
  initThread() = std::thread([] {
    BuildMainWindow();
    initDone = true;
  });
}

void FinishInitThread() {
  std::thread& thread = initThread();
  if (!thread.joinable()) return;
  while (!initDone) {
    pw::processPendingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  thread.join();
}

}  // namespace app
