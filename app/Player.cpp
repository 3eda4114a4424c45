#include "app/Player.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/text/CodePage.h"

namespace app {
namespace {

// Playing, or waiting for data to go on playing: both are a song the user hears.
bool sounding(DWORD active) { return active == BASS_ACTIVE_PLAYING || active == BASS_ACTIVE_STALLED; }

constexpr QWORD kNoLength = static_cast<QWORD>(-1);

// False when the stream's file has a known size that its download fell short of.
bool downloadReachedTheEnd(HSTREAM stream) {
  const QWORD end = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END);
  const QWORD downloaded = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD);
  return end == kNoLength || downloaded == kNoLength || downloaded >= end;
}

// What the status compares when it decides whether the listeners hear of a change: the
// position moves all the time and is read when asked.
bool sameButPosition(const PlayerStatus& a, const PlayerStatus& b) {
  return a.state == b.state && a.title == b.title && a.singer == b.singer && a.length == b.length &&
         a.volume == b.volume && a.list == b.list && a.row == b.row && a.song == b.song &&
         a.pictureAddress == b.pictureAddress && a.url == b.url && a.kept == b.kept &&
         a.canGoNext == b.canGoNext && a.canGoPrevious == b.canGoPrevious && a.canPlay == b.canPlay;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The name with its %XX escapes undone; none for a broken escape or an escaped NUL, which
// would cut the title short.
std::optional<std::string> unescaped(const std::string& name) {
  std::string plain;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '%') {
      plain += name[i];
      continue;
    }
    const int high = i + 2 < name.size() ? hexDigit(name[i + 1]) : -1;
    const int low = high >= 0 ? hexDigit(name[i + 2]) : -1;
    if (low < 0 || (high == 0 && low == 0)) return std::nullopt;
    plain += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return plain;
}

// A desktop address names its file in percent-encoded UTF-8; the title is a program text.
std::string titleOfAddress(const std::string& url) {
  const std::string path = url.substr(0, url.find_first_of("?#"));
  const std::string name = path.substr(path.find_last_of('/') + 1);  // npos + 1 is 0
  const std::string bytes = unescaped(name).value_or(name);
  return platform::text::utf8ToAnsi(bytes.empty() ? url : bytes);
}

}  // namespace

int wholeSeconds(double seconds) {
  if (!(seconds >= 0) || seconds > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(seconds);
}

Player::Player(audio::AudioEngine& engine, Services services, int volume)
    : engine_(engine),
      services_(std::move(services)),
      volume_(std::clamp(volume, 0, 100)),
      follower_(engine, [this](const PlayRequest& request) { return linkFor(request); }, services_.lookUpPicture),
      worker_([this](const PlayRequest& request) { serve(request); }) {}

Player::~Player() { close(); }

void Player::keepSong(const KeptSong& song) {
  {
    std::lock_guard lock(mutex_);
    kept_ = song;
    // Without a list: the lists of the last run are gone, so next and previous do nothing.
    song_ = Song{song.list == SongList::Address ? SongList::Address : SongList::None,
                 0, 0, song.title, song.singer, SongLabel(song.title, song.singer), song.url};
    haveSong_ = true;
  }
  publish();
}

PlayRequest Player::requestForKept(const KeptSong& kept) {
  PlayRequest request;
  request.title = kept.title;
  request.singer = kept.singer;
  request.label = SongLabel(kept.title, kept.singer);
  request.startSeconds = kept.position;
  request.kept = true;
  if (kept.list == SongList::Address) {
    request.list = SongList::Address;
    request.url = kept.url;
  } else if (kept.list == SongList::Presets && lists_ != nullptr && kept.row >= 1 &&
             kept.row <= lists_->rowCount(SongList::Presets)) {
    // A preset row that still holds the song keeps its row and its link.
    const SongLists::Row row = lists_->rowAt(SongList::Presets, kept.row);
    if (row.title == kept.title && row.singer == kept.singer) {
      request.list = SongList::Presets;
      request.row = kept.row;
      request.listVersion = lists_->listVersion(SongList::Presets);
      request.label = row.label;
    }
  }
  return request;
}

void Player::startEngine() {
  std::lock_guard lock(mutex_);
  if (engineStarted_.valid()) return;
  engineStarted_ = std::async(std::launch::async, [this] { engine_.Init(); }).share();
}

void Player::waitForEngine() {
  std::shared_future<void> pending;
  {
    std::lock_guard lock(mutex_);
    pending = engineStarted_;
  }
  if (pending.valid()) pending.wait();
}

HSTREAM Player::currentStream() const {
  std::lock_guard lock(mutex_);
  return stream_;
}

int Player::volume() const {
  std::lock_guard lock(mutex_);
  return volume_;
}

PlayRequest Player::requestForRow(SongList list, int row) {
  const SongLists::Row found = lists_->rowAt(list, row);
  PlayRequest request;
  request.ticket = worker_.newTicket();
  request.list = list;
  request.row = row;
  request.listVersion = lists_->listVersion(list);
  request.title = found.title;
  request.singer = found.singer;
  request.label = found.label;
  return request;
}

void Player::submit(PlayRequest request) {
  if (closed_) return;
  follower_.drop();
  worker_.submit(std::move(request));
}

void Player::playRow(SongList list, int row) {
  if (closed_ || lists_ == nullptr || row < 1 || row > lists_->rowCount(list)) return;
  submit(requestForRow(list, row));
}

void Player::playAddress(const std::string& url) {
  PlayRequest request;
  request.ticket = worker_.newTicket();
  request.list = SongList::Address;
  request.title = titleOfAddress(url);
  request.label = request.title;
  request.url = url;
  submit(std::move(request));
}

bool Player::freeCurrentStream() {
  follower_.drop();
  HSTREAM stream = 0;
  {
    std::lock_guard lock(mutex_);
    stream = stream_;
    stream_ = 0;
  }
  if (stream == 0) return false;
  const DWORD active = engine_.IsActive(stream);
  engine_.Stop(stream);
  engine_.FreeStream(stream);
  return sounding(active) || active == BASS_ACTIVE_PAUSED;
}

void Player::togglePause() {
  if (closed_) return;
  DWORD before = BASS_ACTIVE_STOPPED;
  bool replay = false;
  {
    std::lock_guard lock(mutex_);
    before = engine_.IsActive(stream_);
    if (sounding(before)) {
      engine_.Pause(stream_);
    } else if (before == BASS_ACTIVE_PAUSED) {
      engine_.Play(stream_, false);
    } else {
      replay = stream_ == 0 && haveSong_;
    }
  }
  if (sounding(before)) faces_.toView([](PlayerView& view) { view.showPlaying(false); });
  if (before == BASS_ACTIVE_PAUSED) faces_.toView([](PlayerView& view) { view.showPlaying(true); });
  if (replay) play();
  publish();
}

void Player::play() {
  if (closed_) return;
  DWORD active = BASS_ACTIVE_STOPPED;
  std::optional<PlayRequest> again;
  std::optional<KeptSong> kept;
  {
    std::lock_guard lock(mutex_);
    active = engine_.IsActive(stream_);
    if (active == BASS_ACTIVE_PAUSED) {
      engine_.Play(stream_, false);
    } else if (stream_ == 0 && kept_) {
      kept = kept_;
    } else if (stream_ == 0 && haveSong_) {
      // After Stop, or after the last song of a list: the same song from its start.
      PlayRequest request;
      request.list = song_.list;
      request.row = song_.row;
      request.listVersion = song_.listVersion;
      request.title = song_.title;
      request.singer = song_.singer;
      request.label = song_.label;
      request.url = song_.url;
      again = std::move(request);
    }
  }
  if (active == BASS_ACTIVE_PAUSED) faces_.toView([](PlayerView& view) { view.showPlaying(true); });
  if (kept) again = requestForKept(*kept);
  if (again) {
    again->ticket = worker_.newTicket();
    submit(std::move(*again));
  }
  publish();
}

void Player::pause() {
  if (closed_) return;
  bool paused = false;
  {
    std::lock_guard lock(mutex_);
    if (sounding(engine_.IsActive(stream_))) paused = engine_.Pause(stream_) != 0;
  }
  if (paused) faces_.toView([](PlayerView& view) { view.showPlaying(false); });
  publish();
}

void Player::stop() {
  if (closed_) return;
  worker_.supersedeAll();
  freeCurrentStream();
  faces_.toView([](PlayerView& view) { view.showStopped(); });
  publish();
}

void Player::seekToPercent(int percent) {
  if (closed_) return;
  follower_.drop();  // a seek ends the chain; the next tick near the end prepares anew
  const QWORD share = static_cast<QWORD>(std::clamp(percent, 0, 100));
  HSTREAM stream = 0;
  DWORD active = BASS_ACTIVE_STOPPED;
  std::optional<KeptSong> kept;
  {
    std::lock_guard lock(mutex_);
    stream = stream_;
    active = engine_.IsActive(stream);
    // The kept song starts where the slider is put.
    if (stream == 0 && kept_ && kept_->length > 0) {
      kept_->position = kept_->length * static_cast<double>(share) / 100.0;
      kept = kept_;
    }
  }
  if (kept) {
    const std::string elapsed = engine_.FormatTime(wholeSeconds(kept->position));
    faces_.toView([&](PlayerView& view) { view.showProgress(elapsed, static_cast<double>(share), 0.0); });
    publish();
    return;
  }
  bool moved = false;
  if (sounding(active)) {
    const QWORD length = engine_.GetLength(stream);
    // Split so that a length near the top of the range cannot overflow.
    moved = engine_.SetPosition(stream, length / 100 * share + length % 100 * share / 100) != 0;
  }
  bool resumed = false;
  bool stopped = false;
  {
    std::lock_guard lock(mutex_);
    if (engine_.IsActive(stream_) == BASS_ACTIVE_PAUSED) {
      engine_.Play(stream_, false);
      resumed = true;
    }
    stopped = engine_.IsActive(stream_) == BASS_ACTIVE_STOPPED;
  }
  if (resumed) faces_.toView([](PlayerView& view) { view.showPlaying(true); });
  if (stopped) faces_.toView([](PlayerView& view) { view.positionRefused(); });
  if (moved) {
    const auto at = static_cast<std::int64_t>(engine_.BytesToSeconds(stream, engine_.GetPosition(stream)) * 1e6);
    faces_.toListeners([at](PlayerListener& listener) { listener.seeked(at); });
  }
  publish();
}

void Player::seekTo(double seconds) {
  if (closed_) return;
  HSTREAM stream = 0;
  {
    std::lock_guard lock(mutex_);
    stream = stream_;
  }
  if (stream == 0 || engine_.IsActive(stream) == BASS_ACTIVE_STOPPED) return;
  follower_.drop();
  const QWORD length = engine_.GetLength(stream);
  QWORD target = engine_.SecondsToBytes(stream, std::max(0.0, seconds));
  if (length != kNoLength && target > length) target = length;
  if (engine_.SetPosition(stream, target) == 0) return;
  const auto at = static_cast<std::int64_t>(engine_.BytesToSeconds(stream, engine_.GetPosition(stream)) * 1e6);
  faces_.toListeners([at](PlayerListener& listener) { listener.seeked(at); });
}

void Player::seekBy(double seconds) {
  if (closed_) return;
  const PlayerStatus now = status();
  if (now.state == PlayState::Stopped) return;
  const double target = now.position + seconds;
  if (now.length > 0 && target >= now.length) {
    // Past the end is where the next song begins.
    if (now.canGoNext) {
      next();
    } else {
      stop();
    }
    return;
  }
  seekTo(target);
}

void Player::setVolume(int volume) {
  if (closed_) return;
  volume = std::clamp(volume, 0, 100);
  {
    std::lock_guard lock(mutex_);
    volume_ = volume;
    BASS_ChannelSlideAttribute(stream_, BASS_ATTRIB_VOL, static_cast<float>(volume) / 100.0f, kVolumeSlideMs);
  }
  follower_.setVolume(static_cast<float>(volume) / 100.0f);
  if (services_.storeVolume) services_.storeVolume(volume);
  publish();
}

void Player::changeVolume(int volume) {
  setVolume(volume);
  const int now = std::clamp(volume, 0, 100);
  faces_.toView([now](PlayerView& view) { view.showVolume(now); });
}

std::optional<Player::ListPlace> Player::listPlace() {
  ListPlace place;
  std::uint64_t version = 0;
  {
    std::lock_guard lock(mutex_);
    if (!haveSong_) return std::nullopt;
    place.list = song_.list;
    place.row = song_.row;
    version = song_.listVersion;
  }
  if (lists_ == nullptr || (place.list != SongList::Results && place.list != SongList::Presets)) return std::nullopt;
  place.replaced = lists_->listVersion(place.list) != version;
  return place;
}

std::optional<int> Player::nextRow() {
  const auto place = listPlace();
  if (!place) return std::nullopt;
  const int count = lists_->rowCount(place->list);
  // A new search replaced the list the song came from: its first row follows.
  if (place->replaced) return count >= 1 ? std::optional<int>(1) : std::nullopt;
  return place->row < count ? std::optional<int>(place->row + 1) : std::nullopt;
}

std::optional<int> Player::previousRow() {
  const auto place = listPlace();
  // In a list a new search replaced, nothing comes before the song.
  if (!place || place->replaced || place->row <= 1) return std::nullopt;
  return place->row - 1;
}

void Player::next() {
  if (closed_) return;
  if (const auto row = nextRow()) playRow(listPlace()->list, *row);
}

void Player::previous() {
  if (closed_) return;
  const PlayerStatus now = status();
  if (now.state != PlayState::Stopped && now.position > kRestartAfterSeconds) {
    seekTo(0);
    return;
  }
  const auto place = listPlace();
  if (place && place->replaced) return;
  if (const auto row = previousRow()) {
    playRow(place->list, *row);
  } else if (now.state != PlayState::Stopped) {
    seekTo(0);
  }
}

void Player::tick() {
  if (closed_) return;
  HSTREAM stream = 0;
  DWORD active = BASS_ACTIVE_STOPPED;
  QWORD lengthShown = 0;
  {
    std::lock_guard lock(mutex_);
    stream = stream_;
    active = engine_.IsActive(stream);
    lengthShown = lengthShown_;
  }
  if (stream == 0) return;
  if (sounding(active)) {
    const QWORD position = engine_.GetPosition(stream);
    const QWORD length = engine_.GetLength(stream);
    if (length != lengthShown) {
      // A song that is still downloading may learn its length only once every byte is in.
      bool same = false;
      {
        std::lock_guard lock(mutex_);
        same = stream_ == stream;
        if (same) lengthShown_ = length;
      }
      const std::string total = engine_.FormatTime(wholeSeconds(engine_.BytesToSeconds(stream, length)));
      if (same) faces_.toView([&](PlayerView& view) { view.showLength(total); });
    }
    const std::string elapsed = engine_.FormatTime(wholeSeconds(engine_.BytesToSeconds(stream, position)));
    // An unknown or zero length gives a share out of range, which the slider refuses.
    const double percent = static_cast<double>(position) * 100.0 / static_cast<double>(length);
    const QWORD buffered = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_BUFFER);
    const QWORD size = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END);
    const double bufferedPercent = static_cast<double>(buffered) * 100.0 / static_cast<double>(size);
    faces_.toView([&](PlayerView& view) { view.showProgress(elapsed, percent, bufferedPercent); });
    prepareFollower(stream, position, length);
  } else if (active == BASS_ACTIVE_STOPPED) {
    const QWORD position = engine_.GetPosition(stream);
    const QWORD length = engine_.GetLength(stream);
    // Without a length (an Ogg song cut before it was whole), the download tells a break
    // from the end.
    const bool natural = length == kNoLength ? downloadReachedTheEnd(stream)
                                             : position >= length ||
                                                   engine_.BytesToSeconds(stream, length - position) <= kNaturalEndSeconds;
    if (natural && changeOver(stream)) return;
    follower_.drop();  // a failure: what was chained has gone with it
    {
      std::lock_guard lock(mutex_);
      if (stream_ != stream) return;
      stream_ = 0;
    }
    engine_.Stop(stream);
    engine_.FreeStream(stream);
    const bool followed = natural && nextRow().has_value();
    songStopped(natural);
    // The next song tells the faces once it plays; the desktop never sees a stop between.
    if (followed) return;
  }
  publish();
}

void Player::songStopped(bool natural) {
  if (natural) {
    if (const auto row = nextRow()) {
      SongList list = SongList::None;
      {
        std::lock_guard lock(mutex_);
        list = song_.list;
      }
      faces_.toView([](PlayerView& view) { view.resetPosition(); });
      playRow(list, *row);
      return;
    }
  }
  faces_.toView([](PlayerView& view) { view.showStopped(); });
}

void Player::close() {
  if (closed_) return;
  const PlayerStatus last = status();
  faces_.toListeners([&last](PlayerListener& listener) { listener.playerClosing(last); });
  closed_ = true;
  worker_.supersedeAll();
  waitForEngine();
  worker_.stop();
  follower_.close();
  freeCurrentStream();
  bool started = false;
  {
    std::lock_guard lock(mutex_);
    started = engineStarted_.valid();
  }
  if (started) engine_.Free();
}

PlayerStatus Player::status() {
  PlayerStatus status;
  HSTREAM stream = 0;
  bool haveSong = false;
  {
    std::lock_guard lock(mutex_);
    stream = stream_;
    haveSong = haveSong_;
    status.volume = volume_;
    status.song = songCount_;
    status.pictureAddress = pictureAddress_;
    if (haveSong_) {
      status.title = song_.title;
      status.singer = song_.singer;
      status.list = song_.list;
      status.row = song_.row;
      if (song_.list == SongList::Address) status.url = song_.url;
    }
    if (kept_ && stream_ == 0) {
      status.kept = true;
      status.list = kept_->list;
      status.row = kept_->row;
      status.length = kept_->length;
      status.position = kept_->position;
    }
  }
  const DWORD active = stream == 0 ? BASS_ACTIVE_STOPPED : engine_.IsActive(stream);
  if (active == BASS_ACTIVE_PAUSED) {
    status.state = PlayState::Paused;
  } else if (sounding(active)) {
    status.state = PlayState::Playing;
  }
  status.waitingForData = active == BASS_ACTIVE_STALLED;
  if (status.state != PlayState::Stopped) {
    const QWORD length = engine_.GetLength(stream);
    if (length != kNoLength) status.length = engine_.BytesToSeconds(stream, length);
    status.position = std::max(0.0, engine_.BytesToSeconds(stream, engine_.GetPosition(stream)));
    const QWORD buffered = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_BUFFER);
    const QWORD size = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END);
    if (size != 0 && size != kNoLength && buffered != kNoLength) {
      status.bufferedPercent = static_cast<double>(buffered) * 100.0 / static_cast<double>(size);
    }
  }
  status.canPlay = stream != 0 || haveSong;
  // After Stop, Previous still plays the row before the song's.
  status.canGoPrevious = stream != 0 || previousRow().has_value();
  status.canGoNext = nextRow().has_value();
  return status;
}

void Player::publish() {
  const PlayerStatus now = status();
  if (published_ && sameButPosition(now, *published_)) return;
  const bool newSong =
      now.state != PlayState::Stopped && now.song != 0 && (!published_ || published_->song != now.song);
  published_ = now;
  faces_.toListeners([&now](PlayerListener& listener) { listener.playerChanged(now); });
  if (newSong) faces_.toListeners([&now](PlayerListener& listener) { listener.songChanged(now); });
}

}  // namespace app
