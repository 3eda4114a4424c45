#include <glib-unix.h>

#include <csignal>
#include <string>

#include "app/DesktopNotifier.h"
#include "app/DesktopSession.h"
#include "app/MprisService.h"

namespace app {
namespace {

// SIGTERM and SIGINT close the window as its close button does, so the volume and the
// skin still reach the disk.
gboolean closeOnSignal(gpointer window) {
  static_cast<MainWindow*>(window)->closeLater();
  return G_SOURCE_CONTINUE;
}

}  // namespace

struct DesktopSession::Parts {
  Player& player;
  MprisService mpris;
  DesktopNotifier notifier;
  bool stopped = false;
};

DesktopSession::DesktopSession(Player& player, MainWindow& window, audio::AudioEngine& engine, bool notify) {
  g_unix_signal_add(SIGTERM, closeOnSignal, &window);
  g_unix_signal_add(SIGINT, closeOnSignal, &window);
  parts_.reset(new Parts{
      player,
      MprisService(player, {[&window] { window.raise(); }, [&window] { window.closeLater(); }}),
      DesktopNotifier({[&window] { return window.active(); },
                       [&engine](const std::string& singer) {
                         std::string name = singer;
                         const platform::system::ByteBlock bytes = engine.LookupSingerPicture(name);
                         return std::string(bytes.begin(), bytes.end());
                       }},
                      notify)});
  parts_->mpris.startWhenIdle();
  parts_->notifier.start();
  player.faces().addListener(&parts_->notifier);
}

DesktopSession::~DesktopSession() { stop(); }

void DesktopSession::stop() {
  if (parts_->stopped) return;
  parts_->stopped = true;
  parts_->mpris.stop();
  parts_->player.faces().removeListener(&parts_->notifier);
}

}  // namespace app
