// SDL's sound output, opened when the engine starts its device (see LazyLibrary.h).

#include <SDL2/SDL.h>

#include "platform/system/LazyLibrary.h"

namespace {

platform::system::LazyLibrary& sdlLibrary() {
  static platform::system::LazyLibrary library("libSDL2-2.0.so.0");
  return library;
}

#define SDL_FN(name) TUNORA_LAZY_FUNCTION(sdlLibrary(), name)

}  // namespace

extern "C" {

SDL_bool SDL_SetHint(const char* name, const char* value) { return SDL_FN(SDL_SetHint)(name, value); }
int SDL_InitSubSystem(Uint32 flags) { return SDL_FN(SDL_InitSubSystem)(flags); }
void SDL_QuitSubSystem(Uint32 flags) { SDL_FN(SDL_QuitSubSystem)(flags); }
const char* SDL_GetAudioDeviceName(int index, int iscapture) {
  return SDL_FN(SDL_GetAudioDeviceName)(index, iscapture);
}
SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture, const SDL_AudioSpec* desired,
                                      SDL_AudioSpec* obtained, int allowedChanges) {
  return SDL_FN(SDL_OpenAudioDevice)(device, iscapture, desired, obtained, allowedChanges);
}
void SDL_PauseAudioDevice(SDL_AudioDeviceID dev, int pauseOn) { SDL_FN(SDL_PauseAudioDevice)(dev, pauseOn); }
void SDL_CloseAudioDevice(SDL_AudioDeviceID dev) { SDL_FN(SDL_CloseAudioDevice)(dev); }

SDL_AudioStream* SDL_NewAudioStream(const SDL_AudioFormat srcFormat, const Uint8 srcChannels, const int srcRate,
                                    const SDL_AudioFormat dstFormat, const Uint8 dstChannels, const int dstRate) {
  return SDL_FN(SDL_NewAudioStream)(srcFormat, srcChannels, srcRate, dstFormat, dstChannels, dstRate);
}
int SDL_AudioStreamPut(SDL_AudioStream* stream, const void* buf, int len) {
  return SDL_FN(SDL_AudioStreamPut)(stream, buf, len);
}
int SDL_AudioStreamGet(SDL_AudioStream* stream, void* buf, int len) {
  return SDL_FN(SDL_AudioStreamGet)(stream, buf, len);
}
int SDL_AudioStreamAvailable(SDL_AudioStream* stream) { return SDL_FN(SDL_AudioStreamAvailable)(stream); }
void SDL_AudioStreamClear(SDL_AudioStream* stream) { SDL_FN(SDL_AudioStreamClear)(stream); }
void SDL_FreeAudioStream(SDL_AudioStream* stream) { SDL_FN(SDL_FreeAudioStream)(stream); }

}  // extern "C"
