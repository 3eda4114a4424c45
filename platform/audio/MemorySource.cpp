#include "platform/audio/MemorySource.h"

#include <algorithm>
#include <cstring>

namespace platform::audio {

std::size_t MemorySource::read(void* out, std::size_t size) {
  std::uint64_t position = position_.load();
  std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - position));
  if (n > 0) std::memcpy(out, data_ + position, n);
  position_.store(position + n);
  return n;
}

bool MemorySource::seek(std::uint64_t offset) {
  if (offset > size_) return false;
  position_.store(offset);
  return true;
}

}  // namespace platform::audio
