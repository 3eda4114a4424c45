#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace platform::audio {

// The downloaded bytes [start(), end()) of a file, held in fixed blocks so that memory
// grows only up to the limit, dropping the oldest bytes never moves the rest, and blocks
// let go are reused. Not synchronised: its owner's mutex guards it.
class DownloadBuffer {
 public:
  explicit DownloadBuffer(std::size_t limit);

  std::uint64_t start() const { return start_; }
  std::uint64_t end() const { return start_ + size_; }
  std::size_t size() const { return size_; }
  std::size_t limit() const { return limit_; }
  // Bytes that may still be appended without dropping any.
  std::size_t room() const { return limit_ - size_; }

  // Empties the buffer so that it starts at offset; keeps the blocks for reuse.
  void restartAt(std::uint64_t offset);
  // Appends all of bytes when they fit in room(), else nothing; false then. Throws
  // std::bad_alloc when a block cannot be had.
  bool append(const std::uint8_t* bytes, std::size_t count);
  // Drops the bytes before offset (no further than end()).
  void dropBefore(std::uint64_t offset);
  // Copies up to count bytes from the file offset; how many were there.
  std::size_t copy(std::uint64_t offset, std::uint8_t* out, std::size_t count) const;

 private:
  static constexpr std::size_t kBlockBytes = 256 * 1024;

  const std::size_t limit_;
  std::deque<std::unique_ptr<std::uint8_t[]>> blocks_;
  std::vector<std::unique_ptr<std::uint8_t[]>> spare_;
  std::size_t head_ = 0;  // offset of the first byte inside blocks_.front()
  std::size_t size_ = 0;
  std::uint64_t start_ = 0;
};

}  // namespace platform::audio
