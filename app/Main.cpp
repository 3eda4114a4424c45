// The music client: one main window, a single instance, nothing on its command line. This
// is where the objects are made and wired.

#include <string>

#include "app/BackgroundWriter.h"
#include "app/DesktopSession.h"
#include "app/MainWindow.h"
#include "app/Player.h"
#include "app/PlayerServices.h"
#include "app/ProgramSettings.h"
#include "app/RunningClient.h"
#include "app/ServiceAddress.h"
#include "app/ServiceLauncher.h"
#include "app/SongKeeper.h"
#include "app/VolumeSetting.h"
#include "platform/system/ProgramFiles.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ControlsStart.h"

namespace pw = platform::window;

int main() {
  if (app::ShowRunningClient()) return 0;
  const platform::system::ProgramFiles& files = platform::system::programFiles();
  files.makeUserFolders();
  app::ServiceLauncher launcher;
  launcher.start(files, app::ServiceAddress());
  // The settings and the skin reach the disk without making the window wait. Made before
  // the window and gone after it, so the last of each lands before main returns. The leaked
  // Player keeps the settings keeper, but uses it only for a volume change on the UI
  // thread, which comes from the window or the media controls: both are gone first, and
  // the window's closing has closed the Player.
  app::BackgroundWriter settingsWriter;
  app::BackgroundWriter skinWriter;
  // Every setting is written whole, so no change waiting to be written is lost to another.
  const std::string settingsPath = app::VolumeSettingPath();
  app::SettingsKeeper settings(settingsWriter, settingsPath, app::ReadProgramSettings(settingsPath));
  const app::ProgramSettings kept = settings.settings();
  // Never destroyed: a play step still waiting for a message box at exit must find them.
  static auto* engine = new audio::AudioEngine;
  // The song service also answers the singer-picture lookup.
  engine->SetPictureServiceHost(app::ServiceAddress());
  engine->SetReplayGain(app::ReadReplayGainSetting(settingsPath));
  static auto* player = new app::Player(*engine, app::ProgramPlayerServices(*engine, files, settings), kept.volume);
  // The last run's song waits, not playing, for the play button.
  if (kept.song) player->keepSong(*kept.song);
  app::SongKeeper songKeeper(settings);
  player->faces().addListener(&songKeeper);

  ui::controls::start();
  app::MainWindow window(*player, *engine, files, skinWriter, &launcher);
  window.startWithKeyword(kept.keyword);
  window.search().setOnSearched([&settings](const std::string& keyword) { settings.keepKeyword(keyword); });
  const pw::HWND hwnd = window.create();
  if (hwnd == nullptr) return 1;
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  app::DesktopSession desktop(*player, window, *engine, kept.notify);

  pw::MSG msg;
  while (pw::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    pw::TranslateMessage(&msg);
    pw::DispatchMessageA(&msg);
  }
  desktop.stop();
  player->faces().removeListener(&songKeeper);
  window.finishInitThread();
  launcher.stop();
  return 0;
}
