#pragma once

#include <chrono>

#include "platform/audio/ByteSource.h"

namespace platform::audio {

// A source whose bytes arrive over time. What the channel needs to decide on stalls,
// pre-buffering and the download file positions.
class NetworkSource : public ByteSource {
 public:
  // Bytes downloaded past the read position.
  virtual std::uint64_t bytesAhead() const = 0;
  // File offset of the first byte still held (later than the start once the window
  // dropped what was played).
  virtual std::uint64_t downloadStart() const = 0;
  // File offset just past the downloaded data.
  virtual std::uint64_t downloadEnd() const = 0;
  // No more data will arrive for the current download (finished, failed or cut).
  virtual bool finished() const = 0;
  virtual bool connected() const = 0;
  virtual bool acceptsRanges() const = 0;
  // Waits until bytes are ahead of the read position or the download finished; false on
  // time-out.
  virtual bool waitAhead(std::uint64_t bytes, std::chrono::milliseconds timeout) = 0;
  // Makes blocked and later reads return at once; for shutting down.
  virtual void cancel() = 0;
};

}  // namespace platform::audio
