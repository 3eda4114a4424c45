#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::audio {

// A fixed-capacity byte FIFO. Not synchronised: its owner's mutex guards it.
class PcmRing {
 public:
  explicit PcmRing(std::size_t capacity) : data_(capacity) {}

  std::size_t size() const { return size_; }
  std::size_t capacity() const { return data_.size(); }
  std::size_t room() const { return data_.size() - size_; }
  void clear() { head_ = size_ = 0; }

  // Both return how many bytes moved.
  std::size_t push(const std::uint8_t* bytes, std::size_t count);
  std::size_t pop(std::uint8_t* out, std::size_t count);

 private:
  std::vector<std::uint8_t> data_;
  std::size_t head_ = 0;  // index of the oldest byte
  std::size_t size_ = 0;
};

}  // namespace platform::audio
