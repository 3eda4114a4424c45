#pragma once

#include <cstdint>

namespace platform::audio {

// A volume that may be sliding linearly; time is counted in output frames so that the
// ramp in the output is exact whatever the pace of the device.
class VolumeSlide {
 public:
  float at(std::uint64_t frame) const;
  void set(float value);
  // Starts from the value at now, replacing any running slide.
  void slide(float target, std::uint64_t now, std::uint64_t durationFrames);
  bool sliding(std::uint64_t frame) const { return frame < end_; }

 private:
  float from_ = 1.0f;
  float to_ = 1.0f;
  std::uint64_t start_ = 0;
  std::uint64_t end_ = 0;
};

}  // namespace platform::audio
