#pragma once

#include <atomic>

#include "platform/audio/ByteSource.h"

namespace platform::audio {

// Reads the caller's bytes in place; the caller keeps them alive.
class MemorySource : public ByteSource {
 public:
  MemorySource(const std::uint8_t* data, std::uint64_t size) : data_(data), size_(size) {}

  std::size_t read(void* out, std::size_t size) override;
  bool seek(std::uint64_t offset) override;
  std::uint64_t tell() const override { return position_.load(); }
  std::optional<std::uint64_t> size() const override { return size_; }

 private:
  const std::uint8_t* data_;
  std::uint64_t size_;
  std::atomic<std::uint64_t> position_{0};
};

}  // namespace platform::audio
