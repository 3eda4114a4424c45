#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/FileDescriptor.h"
#include "platform/system/ReadOnlyFile.h"

namespace platform::system {
namespace {

class PosixFile : public ReadOnlyFile {
 public:
  PosixFile(FileDescriptor fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}
  std::uint64_t size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, void* out, std::size_t size) const override {
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(fd_.get(), static_cast<char*>(out) + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  const FileDescriptor fd_;
  const std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return std::make_unique<PosixFile>(std::move(fd), static_cast<std::uint64_t>(info.st_size));
}

}  // namespace platform::system
