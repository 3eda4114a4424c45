#include "platform/audio/PcmRing.h"

#include <algorithm>
#include <cstring>

namespace platform::audio {

std::size_t PcmRing::push(const std::uint8_t* bytes, std::size_t count) {
  count = std::min(count, room());
  std::size_t tail = (head_ + size_) % data_.size();
  std::size_t first = std::min(count, data_.size() - tail);
  std::memcpy(data_.data() + tail, bytes, first);
  std::memcpy(data_.data(), bytes + first, count - first);
  size_ += count;
  return count;
}

std::size_t PcmRing::pop(std::uint8_t* out, std::size_t count) {
  count = std::min(count, size_);
  std::size_t first = std::min(count, data_.size() - head_);
  std::memcpy(out, data_.data() + head_, first);
  std::memcpy(out + first, data_.data(), count - first);
  head_ = (head_ + count) % data_.size();
  size_ -= count;
  return count;
}

}  // namespace platform::audio
