#include "platform/audio/Mixer.h"

#include <algorithm>

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

int Mixer::renderBlock(std::int16_t* out, int frames, Channel::Pace pace) {
  std::size_t samples = static_cast<std::size_t>(frames) * static_cast<std::size_t>(format_.channels);
  std::int32_t* mix = mix_.data();
  std::fill_n(mix, samples, 0);
  int heard = 0;
  {
    std::lock_guard lock(mutex_);
    for (const auto& channel : channels_) heard = std::max(heard, channel->render(mix, frames, pace));
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
