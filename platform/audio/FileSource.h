#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/ByteSource.h"
#include "platform/system/ReadOnlyFile.h"

namespace platform::audio {

// A window [offset, offset + length) of a file on disk.
class FileSource : public ByteSource {
 public:
  enum class OpenResult { Ok, CannotOpen, EmptyWindow };
  // length 0 means to the end of the file.
  static std::unique_ptr<FileSource> open(const std::string& path, std::uint64_t offset,
                                          std::uint64_t length, OpenResult& result);

  std::size_t read(void* out, std::size_t size) override;
  bool seek(std::uint64_t offset) override;
  std::uint64_t tell() const override { return position_.load(); }
  std::optional<std::uint64_t> size() const override { return length_; }

 private:
  FileSource(std::unique_ptr<system::ReadOnlyFile> file, std::uint64_t offset, std::uint64_t length)
      : file_(std::move(file)), offset_(offset), length_(length) {}

  const std::unique_ptr<system::ReadOnlyFile> file_;
  std::uint64_t offset_;
  std::uint64_t length_;
  std::atomic<std::uint64_t> position_{0};
  // Read ahead in large pieces: decoders ask for a few bytes at a time (a frame header,
  // then its body), and a system call each costs more than the decoding. Decoder thread.
  std::vector<char> ahead_;
  std::uint64_t aheadFrom_ = 0;  // window offset of ahead_'s first byte
  std::size_t aheadBytes_ = 0;
};

}  // namespace platform::audio
