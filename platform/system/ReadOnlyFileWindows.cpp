#include <algorithm>

#include "platform/system/FileHandleWindows.h"
#include "platform/system/ReadOnlyFile.h"
#include "platform/system/WideText.h"

namespace platform::system {
namespace {

class WindowsFile : public ReadOnlyFile {
 public:
  WindowsFile(FileHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
  std::uint64_t size() const override { return size_; }
  // An explicit offset per read, so threads never share a file position.
  std::size_t readAt(std::uint64_t offset, void* out, std::size_t size) const override {
    std::size_t done = 0;
    while (done < size) {
      OVERLAPPED at{};
      const std::uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
      DWORD n = 0;
      if (!::ReadFile(file_.get(), static_cast<char*>(out) + done, chunk, &n, &at) || n == 0) break;
      done += n;
    }
    return done;
  }

 private:
  const FileHandle file_;
  const std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path) {
  FileHandle file(::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandle(file.get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return nullptr;
  const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return std::make_unique<WindowsFile>(std::move(file), size);
}

}  // namespace platform::system
