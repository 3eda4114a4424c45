#pragma once

#include <SDL2/SDL.h>

#include <memory>

#include "platform/audio/Mixer.h"
#include "platform/audio/Output.h"

namespace platform::audio {

// Live output through SDL2; its callback thread is the output thread.
class SdlOutput : public Output {
 public:
  // device -1 is SDL's default device, 1... the devices SDL lists. Null with error set
  // (DRIVER, DEVICE) when it cannot be opened.
  static std::unique_ptr<SdlOutput> open(int device, Mixer& mixer, int& error);
  ~SdlOutput() override;

 private:
  explicit SdlOutput(Mixer& mixer) : mixer_(mixer) {}
  static void callback(void* self, Uint8* stream, int length);

  Mixer& mixer_;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace platform::audio
