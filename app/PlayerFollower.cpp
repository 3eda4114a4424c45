// The Player's part in running one song into the next: the follower is prepared in the
// playing song's last seconds and becomes the playing song at its first frame.

#include "app/Player.h"

namespace app {

std::string Player::linkFor(const PlayRequest& request) const {
  if (request.list == SongList::Presets && services_.presetLink) return services_.presetLink(request.row, request.title, request.singer);
  if (request.list == SongList::Results && services_.lookUpLink) return services_.lookUpLink(request.title, request.singer);
  return request.url;
}

void Player::prepareFollower(HSTREAM stream, QWORD position, QWORD length) {
  if (length == static_cast<QWORD>(-1) || position > length) return;
  if (engine_.BytesToSeconds(stream, length - position) > kPrepareAheadSeconds) return;
  const auto place = listPlace();
  const auto row = nextRow();
  if (!place || !row) return;
  int volume = 0;
  {
    std::lock_guard lock(mutex_);
    if (stream_ != stream) return;
    volume = volume_;
  }
  follower_.prepare(stream, requestForRow(place->list, *row), static_cast<float>(volume) / 100.0f);
}

bool Player::changeOver(HSTREAM first) {
  auto taken = follower_.takeOver(first);
  if (!taken) return false;
  const HSTREAM stream = taken->stream;
  const PlayRequest& request = taken->request;
  std::string length;
  bool superseded = false;
  {
    std::lock_guard lock(mutex_);
    superseded = stream_ != first;  // a request of the user's came in between
    if (!superseded) {
      stream_ = stream;
      song_ = Song{request.list, request.row, request.listVersion, request.title, request.singer, request.label, taken->url};
      haveSong_ = true;
      pictureAddress_ = taken->pictureAddress;
      ++songCount_;
      lengthShown_ = engine_.GetLength(stream);
      length = engine_.FormatTime(wholeSeconds(engine_.BytesToSeconds(stream, lengthShown_)));
    }
  }
  if (superseded) {
    engine_.FreeStream(stream);
    return false;
  }
  engine_.FreeStream(first);
  faces_.toView([&](PlayerView& view) {
    view.rowPlaying(request.list, request.row, request.listVersion);
    view.songStarted(request.label, length);
    view.showPlaying(true);
  });
  // The new song's progress and the listeners' news in this same tick.
  tick();
  return true;
}

}  // namespace app
