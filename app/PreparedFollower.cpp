#include "app/PreparedFollower.h"

namespace app {

PreparedFollower::PreparedFollower(audio::AudioEngine& engine, LinkOf linkOf, PictureOf pictureOf)
    : engine_(engine),
      linkOf_(std::move(linkOf)),
      pictureOf_(std::move(pictureOf)),
      worker_([this](const PlayRequest& request) { serve(request); }) {}

PreparedFollower::~PreparedFollower() { close(); }

bool PreparedFollower::current(const PlayRequest& request) const {
  return wanted_ && wanted_->ticket == request.ticket;
}

void PreparedFollower::prepare(HSTREAM first, const PlayRequest& request, float volume) {
  {
    std::lock_guard lock(mutex_);
    if (first_ == first && wanted_ && wanted_->list == request.list && wanted_->row == request.row &&
        wanted_->listVersion == request.listVersion) {
      return;
    }
  }
  drop();
  PlayRequest wanted = request;
  wanted.ticket = worker_.newTicket();
  {
    std::lock_guard lock(mutex_);
    first_ = first;
    wanted_ = wanted;
    volume_ = volume;
  }
  worker_.submit(std::move(wanted));
}

void PreparedFollower::drop() {
  HSTREAM stream = 0;
  {
    std::lock_guard lock(mutex_);
    if (prepared_) stream = prepared_->stream;
    prepared_.reset();
    wanted_.reset();
    first_ = 0;
  }
  worker_.supersedeAll();
  // Freeing it also ends its chain.
  if (stream != 0) engine_.FreeStream(stream);
}

void PreparedFollower::setVolume(float volume) {
  std::lock_guard lock(mutex_);
  volume_ = volume;
  if (prepared_) BASS_ChannelSetAttribute(prepared_->stream, BASS_ATTRIB_VOL, volume);
}

std::optional<PreparedFollower::TakenOver> PreparedFollower::takeOver(HSTREAM first) {
  std::lock_guard lock(mutex_);
  if (first == 0 || first_ != first || !prepared_) return std::nullopt;
  std::optional<TakenOver> taken = std::move(prepared_);
  prepared_.reset();
  wanted_.reset();
  first_ = 0;
  return taken;
}

void PreparedFollower::close() {
  drop();
  worker_.stop();
  drop();  // what the last step prepared before it saw the end
}

void PreparedFollower::serve(const PlayRequest& request) {
  HSTREAM first = 0;
  {
    std::lock_guard lock(mutex_);
    if (!current(request)) return;
    first = first_;
  }
  const std::string url = linkOf_ ? linkOf_(request) : std::string();
  if (url.empty() || worker_.superseded(request)) return;
  // Known before the change-over, so that the new song shows its singer at once.
  std::string picture = pictureOf_ && !request.singer.empty() ? pictureOf_(request.singer) : std::string();
  if (worker_.superseded(request)) return;
  // Blocks for the connection and the first data, as any start does.
  const HSTREAM stream = engine_.CreateStream(std::nullopt, std::nullopt, url);
  if (stream == 0) return;
  bool chained = false;
  {
    std::lock_guard lock(mutex_);
    if (current(request) && !worker_.superseded(request)) {
      // A continuation, not a cold start: it begins at the volume, with no slide up.
      BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, volume_);
      // Refused when first has ended meanwhile: then the ordinary start follows.
      chained = BASS_ChannelSetFollower(first, stream) != 0;
      if (chained) prepared_ = TakenOver{stream, request, url, std::move(picture)};
    }
  }
  if (!chained) engine_.FreeStream(stream);
}

}  // namespace app
