#include "platform/system/Files.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

#include "platform/system/FileHandleWindows.h"
#include "platform/system/WideText.h"

namespace platform::system {
namespace {

// Beyond it the size a file claims is not trusted for one allocation up front.
constexpr ULONGLONG kReserveLimit = 64 * 1024 * 1024;

bool writeAll(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

// A fresh name beside path, created here so that nobody else can have it.
FileHandle createTemporaryBeside(const std::string& path, std::wstring& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    // A leftover of a crashed run may hold a name; the next number is tried then.
    temporary = widen(path + ".tmp-" + std::to_string(::GetCurrentProcessId()) + "-" +
                      std::to_string(counter.fetch_add(1)));
    FileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid() || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle();
}

}  // namespace

FileRead readFile(const std::string& path) {
  FileRead result;
  FileHandle file(::CreateFileW(widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    result.status = missing ? FileRead::Status::Missing : FileRead::Status::Unreadable;
    return result;
  }
  result.status = FileRead::Status::Unreadable;
  // Pipes and devices are not files, and reading one could wait for a writer.
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return result;
  // A file too large to hold in memory is unreadable too, not an exception for the caller.
  try {
    const ULONGLONG size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    result.data.reserve(static_cast<size_t>(std::min(size, kReserveLimit)));
    unsigned char chunk[65536];
    for (;;) {
      DWORD n = 0;
      if (!::ReadFile(file.get(), chunk, sizeof chunk, &n, nullptr)) {
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
  const std::wstring target = widen(path);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
  } else if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return false;
  }

  std::wstring temporary;
  FileHandle file = createTemporaryBeside(path, temporary);
  if (!file.valid()) return false;
  bool ok = writeAll(file.get(), data) && ::FlushFileBuffers(file.get()) != 0;
  ok = file.close() && ok;
  // Write-through makes the rename itself durable, as the folder's fsync does elsewhere.
  if (!ok || !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace platform::system
