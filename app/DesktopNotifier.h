#pragma once
// Tells the desktop when the song changes while the main window is not the active one: a
// notification (org.freedesktop.Notifications on the session bus) with the title, the
// singer and the singer's picture, without sound, each one replacing the one before.
// Everything is asynchronous: without a session bus or a notification server nothing is
// shown and nothing waits. UI thread; the picture is fetched on a thread of its own, and
// GDBus answers on the default main context, which the window loop runs.

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <string>

#include "app/BackgroundWriter.h"
#include "app/PlayerView.h"

namespace app {

class DesktopNotifier : public PlayerListener {
 public:
  struct Services {
    // True while the main window is the active window. UI thread.
    std::function<bool()> windowActive;
    // The bytes of the singer's picture (name in GBK), empty when none; on the fetch thread.
    std::function<std::string(const std::string& singer)> pictureOf;
  };

  DesktopNotifier(Services services, bool enabled);
  ~DesktopNotifier() override;
  DesktopNotifier(const DesktopNotifier&) = delete;
  DesktopNotifier& operator=(const DesktopNotifier&) = delete;

  // Asks for the session bus; returns at once. Nothing is shown before it is there.
  void start();

  void playerChanged(const PlayerStatus& /*status*/) override {}
  void seeked(std::int64_t /*positionMicroseconds*/) override {}
  void songChanged(const PlayerStatus& status) override;

  // What the UI thread and GDBus's callbacks share; it outlives this object while a call
  // or a fetched picture is on its way.
  struct Shared;

 private:
  const Services services_;
  const bool enabled_;
  std::shared_ptr<Shared> shared_;
  BackgroundWriter fetcher_;  // only the newest song's picture is fetched
};

}  // namespace app
