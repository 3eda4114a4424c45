// The worker's part of the Player: from a play request to a playing stream.

#include "app/Player.h"
#include "platform/system/WorkingSet.h"

namespace app {

void Player::serve(const PlayRequest& request) {
  waitForEngine();  // a preset can be double-clicked before the device is open
  if (worker_.superseded(request)) return;

  std::string url = request.url;
  if (url.empty() && request.list == SongList::Presets && services_.presetLink) {
    // The file may have changed since it was listed: the row's song is looked for in it,
    // and a song no longer there has no link.
    url = services_.presetLink(request.row, request.title, request.singer);
  } else if (url.empty() && (request.list == SongList::Results || request.kept) && services_.lookUpLink) {
    url = services_.lookUpLink(request.title, request.singer);
  }
  if (worker_.superseded(request)) return;

  // The song that plays, waits for data or is paused stops and goes; so does one that
  // ended or failed earlier and was never freed.
  if (freeCurrentStream()) faces_.toView([](PlayerView& view) { view.resetPosition(); });
  {
    std::lock_guard lock(mutex_);
    song_ = Song{request.list, request.row, request.listVersion, request.title, request.singer, request.label, url};
    haveSong_ = true;
    kept_.reset();
    pictureAddress_.clear();
  }
  startStream(request, url);
  platform::system::trimWorkingSet();
}

void Player::startStream(const PlayRequest& request, const std::string& url) {
  // Blocks for the connection and the first data.
  const HSTREAM stream = engine_.CreateStream(std::nullopt, std::nullopt, url);
  // Silent until the slide brings it up to the volume.
  if (stream != 0) BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.0f);
  if (stream != 0 && request.startSeconds > 0)
    engine_.SetPosition(stream, engine_.SecondsToBytes(stream, request.startSeconds));
  bool playing = false;
  bool superseded = false;
  HSTREAM unwanted = 0;
  std::string length;
  {
    std::lock_guard lock(mutex_);
    if (worker_.superseded(request)) {
      superseded = true;
      unwanted = stream;
    } else {
      stream_ = stream;
      // A kept song goes on from where it was put; any other starts from the beginning.
      if (request.startSeconds > 0) {
        engine_.Play(stream, false);
      } else {
        engine_.Play(stream);
      }
      // A stream may wait for data the moment it starts; it plays as soon as the data is in.
      const DWORD active = engine_.IsActive(stream);
      playing = active == BASS_ACTIVE_PLAYING || active == BASS_ACTIVE_STALLED;
      if (playing) {
        lengthShown_ = engine_.GetLength(stream);
        length = engine_.FormatTime(wholeSeconds(engine_.BytesToSeconds(stream, lengthShown_)));
        ++songCount_;
      } else if (stream != 0) {
        unwanted = stream;
        stream_ = 0;
      }
    }
  }
  if (unwanted != 0) engine_.FreeStream(unwanted);
  if (superseded) return;

  if (!playing) {
    // A song the user has already replaced gets no message.
    if (!worker_.superseded(request)) faces_.toView([](PlayerView& view) { view.songUnplayable(); });
    if (request.kept) {
      // Told once, then forgotten: the next start does not offer it again.
      bool forgotten = false;
      {
        std::lock_guard lock(mutex_);
        forgotten = !worker_.superseded(request);
        if (forgotten) {
          song_ = Song{};
          haveSong_ = false;
        }
      }
      if (forgotten) faces_.toView([](PlayerView& view) { view.showStopped(); });
    }
    faces_.onUiThread([this] { publish(); });
    return;
  }
  faces_.toView([&](PlayerView& view) {
    view.rowPlaying(request.list, request.row, request.listVersion);
    view.songStarted(request.label, length);
    view.showPlaying(true);
  });
  {
    // The volume as it is now: a change made while the window showed the song counts.
    std::lock_guard lock(mutex_);
    if (stream_ == stream) {
      BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, static_cast<float>(volume_) / 100.0f, kVolumeSlideMs);
    }
  }
  faces_.onUiThread([this] { publish(); });

  if (!services_.lookUpPicture || request.singer.empty()) return;
  std::string picture = services_.lookUpPicture(request.singer);
  {
    std::lock_guard lock(mutex_);
    if (stream_ != stream) return;
    pictureAddress_ = std::move(picture);
  }
  faces_.onUiThread([this] { publish(); });
}

}  // namespace app
