#include "platform/system/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <new>
#include <string>

#include "platform/system/FileDescriptor.h"

namespace platform::system {
namespace {

// Beyond it the size a file claims is not trusted for one allocation up front.
constexpr off_t kReserveLimit = 64 * 1024 * 1024;

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string folderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A fresh name beside path, created here so that nobody else can have it. Created with
// 0666 so the kernel applies the umask (and any default ACL) as for any new file, without
// reading the process-wide umask, which only changes by setting it.
int createTemporaryBeside(const std::string& path, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    // A leftover of a crashed run may hold a name; the next number is tried then.
    temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" +
                std::to_string(counter.fetch_add(1));
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

FileRead readFile(const std::string& path) {
  FileRead result;
  // Non-blocking, or opening a pipe in place of the file would wait for a writer.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.get() < 0) {
    result.status = errno == ENOENT ? FileRead::Status::Missing : FileRead::Status::Unreadable;
    return result;
  }
  result.status = FileRead::Status::Unreadable;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return result;
  // A file too large to hold in memory is unreadable too, not an exception for the caller.
  try {
    result.data.reserve(static_cast<size_t>(std::min<off_t>(info.st_size, kReserveLimit)));
    unsigned char chunk[65536];
    for (;;) {
      ssize_t n = ::read(file.get(), chunk, sizeof chunk);
      if (n < 0) {
        if (errno == EINTR) continue;
        result.data.clear();
        return result;
      }
      if (n == 0) break;
      result.data.insert(result.data.end(), chunk, chunk + n);
    }
  } catch (const std::bad_alloc&) {
    result.data = ByteBlock();
    return result;
  }
  result.status = FileRead::Status::Read;
  return result;
}

bool writeFileAtomically(const std::string& path, std::string_view data) {
  struct stat old {};
  bool existed = ::stat(path.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) return false;
  if (!existed && errno != ENOENT) return false;

  std::string folder = folderOf(path);
  std::string temporary;
  FileDescriptor file(createTemporaryBeside(path, temporary));
  if (file.get() < 0) return false;
  bool ok = (!existed || ::fchmod(file.get(), old.st_mode & 07777) == 0) &&
            writeAll(file.get(), data) && ::fsync(file.get()) == 0;
  ok = file.close() && ok;
  if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable.
  FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

}  // namespace platform::system
