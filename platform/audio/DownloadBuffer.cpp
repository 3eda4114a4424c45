#include "platform/audio/DownloadBuffer.h"

#include <algorithm>
#include <cstring>

namespace platform::audio {

DownloadBuffer::DownloadBuffer(std::size_t limit) : limit_(limit) {}

void DownloadBuffer::restartAt(std::uint64_t offset) {
  while (!blocks_.empty()) {
    spare_.push_back(std::move(blocks_.back()));
    blocks_.pop_back();
  }
  head_ = size_ = 0;
  start_ = offset;
}

bool DownloadBuffer::append(const std::uint8_t* bytes, std::size_t count) {
  if (count > room()) return false;
  while (count > 0) {
    std::size_t used = head_ + size_;
    std::size_t capacity = blocks_.size() * kBlockBytes;
    if (used == capacity) {
      if (spare_.empty()) {
        blocks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kBlockBytes));
      } else {
        blocks_.push_back(std::move(spare_.back()));
        spare_.pop_back();
      }
      capacity += kBlockBytes;
    }
    std::size_t within = used % kBlockBytes;
    std::size_t n = std::min(count, capacity - used);
    std::memcpy(blocks_[used / kBlockBytes].get() + within, bytes, n);
    bytes += n;
    count -= n;
    size_ += n;
  }
  return true;
}

void DownloadBuffer::dropBefore(std::uint64_t offset) {
  if (offset <= start_) return;
  std::size_t drop = static_cast<std::size_t>(std::min<std::uint64_t>(offset - start_, size_));
  head_ += drop;
  size_ -= drop;
  start_ += drop;
  while (head_ >= kBlockBytes) {
    spare_.push_back(std::move(blocks_.front()));
    blocks_.pop_front();
    head_ -= kBlockBytes;
  }
}

std::size_t DownloadBuffer::copy(std::uint64_t offset, std::uint8_t* out, std::size_t count) const {
  if (offset < start_ || offset >= end()) return 0;
  std::size_t at = head_ + static_cast<std::size_t>(offset - start_);
  count = std::min<std::size_t>(count, static_cast<std::size_t>(end() - offset));
  std::size_t done = 0;
  while (done < count) {
    std::size_t within = at % kBlockBytes;
    std::size_t n = std::min(count - done, kBlockBytes - within);
    std::memcpy(out + done, blocks_[at / kBlockBytes].get() + within, n);
    done += n;
    at += n;
  }
  return done;
}

}  // namespace platform::audio
