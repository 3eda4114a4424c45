#include <windows.h>

#include <cstdlib>

#include "platform/system/FolderCalls.h"
#include "platform/system/WideText.h"

namespace platform::system::detail {

bool isFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool exists(const std::string& path) { return ::GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// A new folder inherits the parent's permissions, which for the user's profile are theirs.
bool makeFolder(const std::string& path) {
  return ::CreateDirectoryW(widen(path).c_str(), nullptr) != 0 ||
         (::GetLastError() == ERROR_ALREADY_EXISTS && isFolder(path));
}

std::string homeOfUser() {
  const wchar_t* profile = ::_wgetenv(L"USERPROFILE");
  return profile != nullptr ? narrow(profile) : std::string();
}

}  // namespace platform::system::detail
