#pragma once
// A regular file opened for reading at any offset from any thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::system {

class ReadOnlyFile {
 public:
  // Nothing when path cannot be opened or is not a regular file.
  static std::unique_ptr<ReadOnlyFile> open(const std::string& path);
  virtual ~ReadOnlyFile() = default;

  virtual std::uint64_t size() const = 0;
  // Up to size bytes from offset; fewer at the end of the file or on a read error.
  virtual std::size_t readAt(std::uint64_t offset, void* out, std::size_t size) const = 0;
};

}  // namespace platform::system
