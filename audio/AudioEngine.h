#pragma once
// The one audio object of the program: each audio operation is one call of the engine
// with defaults for what the caller leaves out. It keeps no state of its own; the caller
// keeps the stream handle.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
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
};

}  // namespace audio
