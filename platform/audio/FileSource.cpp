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
  std::uint64_t position = position_.load();
  std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, length_ - position));
  std::size_t done = file_->readAt(offset_ + position, out, wanted);
  position_.store(position + done);
  return done;
}

bool FileSource::seek(std::uint64_t offset) {
  if (offset > length_) return false;
  position_.store(offset);
  return true;
}

}  // namespace platform::audio
