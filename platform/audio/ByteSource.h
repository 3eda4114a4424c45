#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform::audio {

// The encoded bytes of one stream, addressed from the start of the stream's window.
// Decoders use it from the decoder thread only; the file-position queries may come from
// any thread, so implementations make tell() and size() safe to call concurrently.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Up to size bytes; 0 at the end (or when the data is gone for good).
  virtual std::size_t read(void* out, std::size_t size) = 0;
  // Absolute offset in the window. False when the offset cannot be reached.
  virtual bool seek(std::uint64_t offset) = 0;
  virtual std::uint64_t tell() const = 0;
  // Total size when known.
  virtual std::optional<std::uint64_t> size() const = 0;
  // True when every byte is at hand (local sources, a finished download).
  virtual bool complete() const { return true; }
  // A second reader over the same bytes with a position of its own, for a length scan
  // that must not disturb the decoder; null when the source cannot give one.
  virtual std::unique_ptr<ByteSource> independentReader() const { return nullptr; }
};

}  // namespace platform::audio
