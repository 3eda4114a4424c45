#include "app/SongKeeper.h"

namespace app {

KeptSong SongKeeper::keptOf(const PlayerStatus& status) {
  KeptSong song;
  song.list = status.list;
  song.row = status.list == SongList::Presets ? status.row : 0;
  song.title = status.title;
  song.singer = status.singer;
  song.url = status.list == SongList::Address ? status.url : std::string();
  song.length = status.length;
  song.position = status.position;
  return song;
}

void SongKeeper::playerChanged(const PlayerStatus& status) {
  if (status.state == PlayState::Paused && lastState_ != PlayState::Paused) settings_.keepSong(keptOf(status));
  // Only a kept song that could not be played leaves the player without one.
  if (status.state == PlayState::Stopped && status.title.empty()) settings_.keepSong(std::nullopt);
  lastState_ = status.state;
}

void SongKeeper::songChanged(const PlayerStatus& status) { settings_.keepSong(keptOf(status)); }

void SongKeeper::playerClosing(const PlayerStatus& status) {
  // A stopped song keeps what its change or its pause wrote.
  if (status.state != PlayState::Stopped || status.kept) settings_.keepSong(keptOf(status));
}

}  // namespace app
