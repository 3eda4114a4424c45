#pragma once

namespace platform::audio {

// A running output device that pulls from a Mixer until it is destroyed.
class Output {
 public:
  virtual ~Output() = default;
};

}  // namespace platform::audio
