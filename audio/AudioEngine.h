#pragma once
// The one audio object of the program: each audio operation is one call of the engine
// with defaults for what the caller leaves out. The caller keeps the stream handle; the
// object's only state is where the singer pictures are asked for.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/audio/Bass.h"
#include "platform/system/ByteBlock.h"

namespace audio {

class AudioEngine {
 public:
  AudioEngine() = default;
  AudioEngine(const AudioEngine&) = default;
  AudioEngine& operator=(const AudioEngine&) = default;
  virtual ~AudioEngine() = default;

  // Defaults: device -1 (the default output), frequency 44100, flags 0, window 0.
  virtual BOOL Init(std::optional<int> device = {}, std::optional<int> frequency = {},
                    std::optional<int> flags = {}, std::optional<int> window = {});
  virtual BOOL Free();
  // Tries an existing file, then the memory block, then the URL; 0 when none applies.
  // The block is read in place: the caller keeps it alive as long as the stream.
  virtual HSTREAM CreateStream(const std::optional<std::string>& fileName = {},
                               std::optional<std::span<const std::uint8_t>> memory = {},
                               const std::optional<std::string>& url = {},
                               std::optional<int> offset = {});
  // restart defaults to TRUE; handle 0 gives 0 without reaching the engine.
  virtual BOOL Play(HSTREAM handle, std::optional<bool> restart = {});
  virtual BOOL Pause(HSTREAM handle);
  virtual BOOL Stop(HSTREAM handle);
  virtual QWORD GetPosition(HSTREAM handle);
  virtual BOOL SetPosition(HSTREAM handle, QWORD position);
  virtual QWORD GetLength(HSTREAM handle);
  virtual DWORD IsActive(HSTREAM handle);
  virtual BOOL FreeStream(HSTREAM handle);
  virtual BOOL GetVolume(HSTREAM handle, float& volume);
  virtual double BytesToSeconds(HSTREAM handle, QWORD bytes);
  virtual QWORD SecondsToBytes(HSTREAM handle, double seconds);
  // The resource-package reader, reached through this object.
  virtual bool UnpackResourcePackage(const std::string& path,
                                     std::vector<platform::system::ByteBlock>& entries,
                                     std::string& message);
  // Minutes and seconds, as 01:15; minutes grow past 99 (6000 gives 100:00).
  virtual std::string FormatTime(int seconds);
  // The head picture of a singer (name in GBK) as the picture service names it: its file
  // bytes, or empty when the service names none or the download fails. Blocks the caller
  // for both requests; on the UI thread the first one pumps window messages.
  virtual platform::system::ByteBlock LookupSingerPicture(std::string& singerAnsi);
  // The first half of that lookup: the address the service names for the picture, empty
  // when it names none.
  std::string SingerPictureAddress(const std::string& singerAnsi);

  // "host[:port]" of the picture service; the program sets it once, before any lookup.
  // Empty (the default) makes every lookup empty.
  void SetPictureServiceHost(std::string host) { pictureServiceHost_ = std::move(host); }
  // Levels the songs started afterwards by their track gain tags; on unless switched off.
  void SetReplayGain(bool on) { BASS_SetConfig(BASS_CONFIG_REPLAYGAIN, on ? 1 : 0); }
  const std::string& PictureServiceHost() const { return pictureServiceHost_; }

 private:
  std::string pictureServiceHost_;
};

}  // namespace audio
