#pragma once
// The MPRIS2 interfaces as data: the introspection text and the property values the
// Player's status gives. Pure functions, no bus.

#include <gio/gio.h>

#include <string>

#include "app/PlayerView.h"

namespace app::mpris {

inline constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
inline constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

const char* introspectionXml();

// "Playing", "Paused" or "Stopped"; a song waiting for data is playing.
const char* playbackStatus(const PlayerStatus& status);
// The track's object path: it changes with every song started.
std::string trackId(const PlayerStatus& status);
// a{sv}: mpris:trackid, xesam:title, xesam:artist, mpris:length, mpris:artUrl.
GVariant* metadata(const PlayerStatus& status);
// A property of either interface, floating; nullptr for an unknown name. Position is the
// caller's, read from the Player when asked.
GVariant* rootProperty(const std::string& name);
GVariant* playerProperty(const std::string& name, const PlayerStatus& status);

}  // namespace app::mpris
