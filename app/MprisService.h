#pragma once
// The player's face on the desktop: the MPRIS2 interfaces on the session bus, so media
// keys, the desktop's media controls and playerctl see and drive it. Without a session
// bus, or with the name taken, the program runs on without it and says nothing. UI thread
// only: GDBus calls us back from the default main context, which the window loop runs.

#include <gio/gio.h>

#include <cstdint>
#include <functional>

#include "app/Player.h"
#include "app/PlayerView.h"

namespace app {

inline constexpr char kMprisBusName[] = "org.mpris.MediaPlayer2.tunora";
inline constexpr char kMprisObjectPath[] = "/org/mpris/MediaPlayer2";

class MprisService : public PlayerListener {
 public:
  struct Actions {
    std::function<void()> raise;  // shows and raises the main window
    std::function<void()> quit;   // closes it as its close button does
  };

  MprisService(Player& player, Actions actions);
  ~MprisService() override;
  MprisService(const MprisService&) = delete;
  MprisService& operator=(const MprisService&) = delete;

  // Asks for the bus name once the window loop has nothing else to do, so the window
  // maps first.
  void startWhenIdle();
  void start();
  // Gives the name back and leaves the Player. Also done by the destructor.
  void stop();
  // True while the objects are on the bus.
  bool exported() const { return rootId_ != 0 && playerId_ != 0; }

  void playerChanged(const PlayerStatus& status) override;
  void seeked(std::int64_t positionMicroseconds) override;

  // For GDBus's C callbacks.
  void busAcquired(GDBusConnection* connection);
  void nameLost();
  void call(const gchar* interfaceName, const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation);
  GVariant* property(const gchar* interfaceName, const gchar* name);
  bool setProperty(const gchar* interfaceName, const gchar* name, GVariant* value, GError** error);

 private:
  void unexport();
  void emitChanges(const PlayerStatus& before, const PlayerStatus& now);

  Player& player_;
  const Actions actions_;
  GDBusNodeInfo* node_ = nullptr;
  GDBusConnection* connection_ = nullptr;
  guint idleId_ = 0;
  guint ownerId_ = 0;
  guint rootId_ = 0;
  guint playerId_ = 0;
  bool listening_ = false;
  PlayerStatus told_;  // what the bus was last told
};

}  // namespace app
