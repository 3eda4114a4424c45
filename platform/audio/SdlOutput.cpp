#include "platform/audio/SdlOutput.h"

#include <cstring>

#include "platform/audio/Bass.h"
#include "platform/audio/CallbackGuard.h"

namespace platform::audio {

std::unique_ptr<SdlOutput> SdlOutput::open(int device, Mixer& mixer, int& error) {
  // SDL would otherwise catch SIGINT and SIGTERM for an event queue nobody reads, and the
  // program could no longer be stopped by them.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = BASS_ERROR_DRIVER;
    return nullptr;
  }
  std::unique_ptr<SdlOutput> output(new SdlOutput(mixer));
  const char* name = nullptr;
  if (device > 0) {
    name = SDL_GetAudioDeviceName(device - 1, 0);
    if (name == nullptr) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      error = BASS_ERROR_DEVICE;
      return nullptr;
    }
  }
  SDL_AudioSpec wanted{};
  wanted.freq = mixer.format().rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = static_cast<Uint8>(mixer.format().channels);
  wanted.samples = 1024;
  wanted.callback = &SdlOutput::callback;
  wanted.userdata = output.get();
  SDL_AudioSpec obtained{};
  // No changes allowed: SDL converts to whatever the hardware wants.
  output->device_ = SDL_OpenAudioDevice(name, 0, &wanted, &obtained, 0);
  if (output->device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    error = BASS_ERROR_DEVICE;
    return nullptr;
  }
  SDL_PauseAudioDevice(output->device_, 0);
  return output;
}

SdlOutput::~SdlOutput() {
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlOutput::callback(void* self, Uint8* stream, int length) {
  auto* output = static_cast<SdlOutput*>(self);
  int frames = length / output->mixer_.format().frameBytes();
  guardCallback(0, [&] {
    return output->mixer_.render(reinterpret_cast<std::int16_t*>(stream), frames, Channel::Pace::Live);
  }, [&] { std::memset(stream, 0, static_cast<std::size_t>(length)); });
}

}  // namespace platform::audio
