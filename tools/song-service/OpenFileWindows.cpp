#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "platform/system/WideText.h"
#include "tools/song-service/OpenFile.h"
#include "tools/song-service/library/TagFileName.h"

namespace songservice {
namespace {

// FILETIME counts 100 ns from 1601; the index keeps nanoseconds from 1970.
long long unixNanoseconds(const FILETIME& time) {
  const long long ticks = (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (ticks - 116444736000000000LL) * 100;
}

}  // namespace

std::shared_ptr<OpenFile> OpenFile::open(const std::string& path) {
  // Others may still write, rename or delete it while it is being served.
  HANDLE file = ::CreateFileW(platform::system::widen(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    errno = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? EACCES : ENOENT;
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file, &info) || ::GetFileType(file) != FILE_TYPE_DISK ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::CloseHandle(file);
    return nullptr;
  }
  const long long size = (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return std::shared_ptr<OpenFile>(
      new OpenFile(reinterpret_cast<std::intptr_t>(file), size, unixNanoseconds(info.ftLastWriteTime)));
}

OpenFile::~OpenFile() { ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::size_t OpenFile::readAt(std::uint64_t offset, char* out, std::size_t size) const {
  std::size_t done = 0;
  while (done < size) {
    // An explicit offset keeps reads on several threads apart, as pread does.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), out + done, want, &got, &at) || got == 0) break;
    done += got;
  }
  return done;
}

bool isNonEmptyFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  return ::GetFileAttributesExW(platform::system::widen(path).c_str(), GetFileExInfoStandard, &info) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (info.nFileSizeHigh || info.nFileSizeLow);
}

bool removeFile(const std::string& path) { return ::DeleteFileW(platform::system::widen(path).c_str()); }

std::filesystem::path streamPath(const std::string& path) { return std::filesystem::path(platform::system::widen(path)); }

TagLib::FileName tagFileName(const std::string& path) { return TagLib::FileName(platform::system::widen(path).c_str()); }

}  // namespace songservice
