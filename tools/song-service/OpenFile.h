#pragma once
// The file calls the service makes, one implementation per system: paths are UTF-8 (or, on
// Linux, whatever bytes the name has) and folders are separated by '/'.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace songservice {

// A regular file read at offsets from any thread, closed when the last reader lets go.
class OpenFile {
 public:
  // Null when path cannot be opened or is not a regular file. Never waits on a pipe.
  static std::shared_ptr<OpenFile> open(const std::string& path);
  ~OpenFile();
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  long long size() const { return size_; }
  long long mtimeNs() const { return mtimeNs_; }
  // Up to size bytes from offset; fewer at the end or on a read error.
  std::size_t readAt(std::uint64_t offset, char* out, std::size_t size) const;

 private:
  OpenFile(std::intptr_t handle, long long size, long long mtimeNs)
      : handle_(handle), size_(size), mtimeNs_(mtimeNs) {}
  std::intptr_t handle_;
  long long size_, mtimeNs_;
};

// A regular file of at least one byte.
bool isNonEmptyFile(const std::string& path);

bool removeFile(const std::string& path);

// For the standard library's file streams.
std::filesystem::path streamPath(const std::string& path);

}  // namespace songservice
