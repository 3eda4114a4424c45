#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/audio/ReplayGain.h"

namespace platform::audio {

struct PcmFormat {
  int rate = 0;
  int channels = 0;
  int frameBytes() const { return channels * 2; }
  bool operator==(const PcmFormat&) const = default;
};

// Turns a ByteSource into 16-bit interleaved native-endian PCM. Used from one thread at a
// time (the channel's decoder mutex serialises the decoder thread and seeks).
class Decoder {
 public:
  virtual ~Decoder() = default;

  virtual PcmFormat format() const = 0;
  // Up to size bytes (a multiple of the frame size); 0 at the end or on an unrecoverable
  // error.
  virtual std::size_t read(std::uint8_t* out, std::size_t size) = 0;
  virtual bool seek(std::uint64_t frame) = 0;
  // A seek that may guess the byte offset instead of reading up to it; for downloads
  // whose target lies beyond what has arrived.
  virtual bool seekApproximately(std::uint64_t frame) { return seek(frame); }
  // Length in frames when known; exact for complete sources.
  virtual std::optional<std::uint64_t> lengthFrames() const = 0;
  // Called when a source that was still arriving has become complete.
  virtual void sourceCompleted() {}
  // Average encoded bytes per second, for sizing the network pre-buffer.
  virtual double encodedBytesPerSecond() const = 0;
  // The track gain the song's tags give; none without them.
  virtual std::optional<ReplayGain> replayGain() const { return std::nullopt; }
};

}  // namespace platform::audio
