#pragma once

#include <cstddef>
#include <cstdio>
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
  // Seeks the way the decoders' C callbacks ask, relative to SEEK_SET, SEEK_CUR or
  // SEEK_END; the new offset, or nothing when it cannot be reached or the end is unknown.
  std::optional<std::uint64_t> seekRelative(std::int64_t offset, int whence) {
    std::int64_t base = 0;
    if (whence == SEEK_CUR) {
      base = static_cast<std::int64_t>(tell());
    } else if (whence == SEEK_END) {
      auto total = size();
      if (!total) return std::nullopt;
      base = static_cast<std::int64_t>(*total);
    }
    std::int64_t target = base + offset;
    if (target < 0 || !seek(static_cast<std::uint64_t>(target))) return std::nullopt;
    return static_cast<std::uint64_t>(target);
  }
  // True when every byte is at hand (local sources, a finished download).
  virtual bool complete() const { return true; }
  // A second reader over the same bytes with a position of its own, for a length scan
  // that must not disturb the decoder; null when the source cannot give one.
  virtual std::unique_ptr<ByteSource> independentReader() const { return nullptr; }
};

}  // namespace platform::audio
