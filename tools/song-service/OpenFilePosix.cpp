#include "tools/song-service/OpenFile.h"
#include "tools/song-service/library/TagFileName.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace songservice {

std::shared_ptr<OpenFile> OpenFile::open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  const long long mtime = static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000LL + info.st_mtim.tv_nsec;
  return std::shared_ptr<OpenFile>(new OpenFile(fd, static_cast<long long>(info.st_size), mtime));
}

OpenFile::~OpenFile() { ::close(static_cast<int>(handle_)); }

std::size_t OpenFile::readAt(std::uint64_t offset, char* out, std::size_t size) const {
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = ::pread(static_cast<int>(handle_), out + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool isNonEmptyFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::filesystem::path streamPath(const std::string& path) { return std::filesystem::path(path); }

TagLib::FileName tagFileName(const std::string& path) { return path.c_str(); }

}  // namespace songservice
