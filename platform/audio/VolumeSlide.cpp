#include "platform/audio/VolumeSlide.h"

namespace platform::audio {

float VolumeSlide::at(std::uint64_t frame) const {
  if (frame >= end_) return to_;
  if (frame <= start_) return from_;
  double t = static_cast<double>(frame - start_) / static_cast<double>(end_ - start_);
  return static_cast<float>(from_ + (to_ - from_) * t);
}

void VolumeSlide::set(float value) {
  from_ = to_ = value;
  start_ = end_ = 0;
}

void VolumeSlide::slide(float target, std::uint64_t now, std::uint64_t durationFrames) {
  from_ = at(now);
  to_ = target;
  start_ = now;
  end_ = now + durationFrames;
}

}  // namespace platform::audio
