// The music client: one main window, a single instance, nothing on its command line. This
// is where the objects are made and wired.

#include <glib-unix.h>

#include <csignal>

#include "app/BackgroundWriter.h"
#include "app/MainWindow.h"
#include "app/MprisService.h"
#include "app/Player.h"
#include "app/PlayerServices.h"
#include "app/ServiceAddress.h"
#include "app/ServiceLauncher.h"
#include "app/VolumeSetting.h"
#include "platform/system/ProgramFiles.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ControlsStart.h"

namespace pw = platform::window;

namespace {

// SIGTERM and SIGINT close the window as its close button does, so the volume and the
// skin still reach the disk.
gboolean closeOnSignal(gpointer window) {
  static_cast<app::MainWindow*>(window)->closeLater();
  return G_SOURCE_CONTINUE;
}

}  // namespace

int main() {
  const platform::system::ProgramFiles& files = platform::system::programFiles();
  files.makeUserFolders();
  app::ServiceLauncher launcher;
  launcher.start(files, app::ServiceAddress());
  // The volume and the skin reach the disk without making the window wait. Made before the
  // window and gone after it, so the last of each lands before main returns. The leaked
  // Player keeps settingsWriter, but uses it only for a volume change on the UI thread,
  // which comes from the window or the media controls: both are gone first, and the
  // window's closing has closed the Player.
  app::BackgroundWriter settingsWriter;
  app::BackgroundWriter skinWriter;
  // Never destroyed: a play step still waiting for a message box at exit must find them.
  static auto* engine = new audio::AudioEngine;
  // The song service also answers the singer-picture lookup.
  engine->SetPictureServiceHost(app::ServiceAddress());
  engine->SetReplayGain(app::ReadReplayGainSetting());
  static auto* player =
      new app::Player(*engine, app::ProgramPlayerServices(*engine, files, settingsWriter), app::ReadVolumeSetting());

  ui::controls::start();
  app::MainWindow window(*player, *engine, files, skinWriter, &launcher);
  const pw::HWND hwnd = window.create();
  if (hwnd == nullptr) return 1;
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  g_unix_signal_add(SIGTERM, closeOnSignal, &window);
  g_unix_signal_add(SIGINT, closeOnSignal, &window);

  app::MprisService mpris(*player, {[&window] { window.raise(); }, [&window] { window.closeLater(); }});
  mpris.startWhenIdle();

  pw::MSG msg;
  while (pw::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    pw::TranslateMessage(&msg);
    pw::DispatchMessageA(&msg);
  }
  mpris.stop();
  window.finishInitThread();
  launcher.stop();
  return 0;
}
