#include "platform/audio/Mixer.h"

#include <algorithm>

#include "platform/audio/Bass.h"

namespace platform::audio {

Mixer::Mixer(PcmFormat device)
    : format_(device),
      mix_(static_cast<std::size_t>(Channel::kMaxRenderFrames) * static_cast<std::size_t>(device.channels)) {}

void Mixer::add(std::shared_ptr<Channel> channel) {
  std::lock_guard lock(mutex_);
  channels_.push_back(std::move(channel));
}

void Mixer::remove(const std::shared_ptr<Channel>& channel) {
  std::lock_guard lock(mutex_);
  std::erase(channels_, channel);
  std::erase_if(links_, [&](const Link& link) { return link.first == channel || link.follower == channel; });
}

bool Mixer::chain(const std::shared_ptr<Channel>& first, const std::shared_ptr<Channel>& follower) {
  std::lock_guard lock(mutex_);
  // Asked under mutex_: a first that still plays now cannot end before the link is seen.
  if (first->activity() == BASS_ACTIVE_STOPPED) return false;
  std::erase_if(links_, [&](const Link& link) { return link.first == first || link.follower == follower; });
  links_.push_back(Link{first, follower});
  return true;
}

void Mixer::unchainFirst(const Channel* first) {
  std::lock_guard lock(mutex_);
  std::erase_if(links_, [&](const Link& link) { return link.first.get() == first; });
}

void Mixer::unchainFollower(const Channel* follower) {
  std::lock_guard lock(mutex_);
  std::erase_if(links_, [&](const Link& link) { return link.follower.get() == follower; });
}

Mixer::Link* Mixer::linkFrom(const Channel* first) {
  for (auto& link : links_) {
    if (link.first.get() == first && !link.started) return &link;
  }
  return nullptr;
}

bool Mixer::waitsToFollow(const Channel* channel) {
  return std::any_of(links_.begin(), links_.end(),
                     [&](const Link& link) { return link.follower.get() == channel; });
}

int Mixer::render(std::int16_t* out, int frames, Channel::Pace pace) {
  // Heard frames come first in every block, so partial blocks add up the same way.
  int heard = 0;
  bool gap = false;
  for (int done = 0; done < frames;) {
    int block = std::min(frames - done, Channel::kMaxRenderFrames);
    int got = renderBlock(out + static_cast<std::size_t>(done) * static_cast<std::size_t>(format_.channels),
                          block, pace);
    if (!gap) heard += got;
    gap = gap || got < block;
    done += block;
  }
  return heard;
}

int Mixer::renderChain(const std::shared_ptr<Channel>& channel, std::int32_t* mix, int frames,
                       Channel::Pace pace) {
  Channel* current = channel.get();
  bool ended = false;
  int done = current->render(mix, frames, pace, &ended);
  while (ended) {
    Link* link = linkFrom(current);
    int ignored = BASS_OK;
    if (link != nullptr) {
      link->started = true;
      link->follower->play(false, ignored);
    }
    // Only now: whoever sees the first stopped sees its follower playing.
    current->endPlay();
    if (link == nullptr) break;
    ended = false;
    current = link->follower.get();
    done += current->render(mix + static_cast<std::size_t>(done) * static_cast<std::size_t>(format_.channels),
                            frames - done, pace, &ended);
  }
  return done;
}

int Mixer::renderBlock(std::int16_t* out, int frames, Channel::Pace pace) {
  std::size_t samples = static_cast<std::size_t>(frames) * static_cast<std::size_t>(format_.channels);
  std::int32_t* mix = mix_.data();
  std::fill_n(mix, samples, 0);
  int heard = 0;
  {
    std::lock_guard lock(mutex_);
    for (const auto& channel : channels_) {
      // A follower plays through the channel it follows, even in the block it takes over.
      if (waitsToFollow(channel.get())) continue;
      heard = std::max(heard, renderChain(channel, mix, frames, pace));
    }
    std::erase_if(links_, [](const Link& link) { return link.started; });
  }
  // Plain loop over plain arrays: the compiler turns it into saturating packs.
  for (std::size_t i = 0; i < samples; ++i) {
    std::int32_t value = mix[i];
    value = value < -32768 ? -32768 : value;
    value = value > 32767 ? 32767 : value;
    out[i] = static_cast<std::int16_t>(value);
  }
  clock_->fetch_add(static_cast<std::uint64_t>(frames));
  return heard;
}

}  // namespace platform::audio
