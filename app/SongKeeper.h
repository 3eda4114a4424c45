#pragma once
// Keeps the song and the position heard for the next start: at a song change, on pause and
// when the player closes. A kept song that could not be played is forgotten. UI thread.

#include <optional>

#include "app/PlayerView.h"
#include "app/ProgramSettings.h"

namespace app {

class SongKeeper : public PlayerListener {
 public:
  explicit SongKeeper(SettingsKeeper& settings) : settings_(settings) {}

  void playerChanged(const PlayerStatus& status) override;
  void seeked(std::int64_t /*positionMicroseconds*/) override {}
  void songChanged(const PlayerStatus& status) override;
  void playerClosing(const PlayerStatus& status) override;

  // What is kept of the song the status shows.
  static KeptSong keptOf(const PlayerStatus& status);

 private:
  SettingsKeeper& settings_;
  PlayState lastState_ = PlayState::Stopped;
};

}  // namespace app
