#pragma once
// What the desktop adds around the main window while it runs: on Linux the media controls
// over D-Bus, a notification of each new song and closing on SIGTERM and SIGINT. Windows
// has none of these yet; its media transport controls are still to come.

#include <memory>

#include "app/MainWindow.h"
#include "app/Player.h"
#include "audio/AudioEngine.h"

namespace app {

class DesktopSession {
 public:
  // Starts once the window exists; engine looks up singer pictures for notifications.
  DesktopSession(Player& player, MainWindow& window, audio::AudioEngine& engine, bool notify);
  ~DesktopSession();
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // Leaves the desktop and the Player once the message loop has ended.
  void stop();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace app
