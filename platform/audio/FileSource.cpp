#include "platform/audio/FileSource.h"

#include <algorithm>

namespace platform::audio {

std::unique_ptr<FileSource> FileSource::open(const std::string& path, std::uint64_t offset,
                                             std::uint64_t length, OpenResult& result) {
  auto file = system::ReadOnlyFile::open(path);
  if (!file) {
    result = OpenResult::CannotOpen;
    return nullptr;
  }
  std::uint64_t fileSize = file->size();
  if (offset >= fileSize) {
    result = OpenResult::EmptyWindow;
    return nullptr;
  }
  std::uint64_t available = fileSize - offset;
  length = length == 0 ? available : std::min(length, available);
  result = OpenResult::Ok;
  return std::unique_ptr<FileSource>(new FileSource(std::move(file), offset, length));
}

std::size_t FileSource::read(void* out, std::size_t size) {
  constexpr std::size_t kAheadBytes = 64 * 1024;
  std::uint64_t position = position_.load();
  std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, length_ - position));
  std::size_t done = 0;
  while (done < wanted) {
    std::uint64_t at = position + done;
    if (at >= aheadFrom_ && at < aheadFrom_ + aheadBytes_) {
      std::size_t offset = static_cast<std::size_t>(at - aheadFrom_);
      std::size_t take = std::min(wanted - done, aheadBytes_ - offset);
      std::copy_n(ahead_.data() + offset, take, static_cast<char*>(out) + done);
      done += take;
      continue;
    }
    // Large reads go straight to the caller; small ones fill the read-ahead first.
    bool direct = wanted - done >= kAheadBytes;
    if (!direct && ahead_.empty()) ahead_.resize(kAheadBytes);
    char* into = direct ? static_cast<char*>(out) + done : ahead_.data();
    std::size_t room = direct ? wanted - done
                              : static_cast<std::size_t>(std::min<std::uint64_t>(kAheadBytes, length_ - at));
    std::size_t n = file_->readAt(offset_ + at, into, room);
    if (n == 0) break;
    if (direct) {
      done += n;
    } else {
      aheadFrom_ = at;
      aheadBytes_ = n;
    }
  }
  position_.store(position + done);
  return done;
}

bool FileSource::seek(std::uint64_t offset) {
  if (offset > length_) return false;
  position_.store(offset);
  return true;
}

}  // namespace platform::audio
