#include "platform/audio/Mixer.h"

#include <algorithm>

namespace platform::audio {

void Mixer::add(std::shared_ptr<Channel> channel) {
  std::lock_guard lock(mutex_);
  channels_.push_back(std::move(channel));
}

void Mixer::remove(const std::shared_ptr<Channel>& channel) {
  std::lock_guard lock(mutex_);
  std::erase(channels_, channel);
}

int Mixer::render(std::int16_t* out, int frames) {
  std::size_t samples = static_cast<std::size_t>(frames) * static_cast<std::size_t>(format_.channels);
  int heard = 0;
  {
    std::lock_guard lock(mutex_);
    mix_.assign(samples, 0);
    for (const auto& channel : channels_) heard = std::max(heard, channel->render(mix_.data(), frames));
  }
  for (std::size_t i = 0; i < samples; ++i) {
    out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(mix_[i], -32768, 32767));
  }
  clock_->fetch_add(static_cast<std::uint64_t>(frames));
  return heard;
}

}  // namespace platform::audio
