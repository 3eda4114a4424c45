#include <windows.h>

#include "platform/system/WideText.h"
#include "tools/song-service/library/FolderWalk.h"

namespace songservice {
namespace {

long long unixNanoseconds(const FILETIME& time) {
  const long long ticks = (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (ticks - 116444736000000000LL) * 100;
}

std::string lastError() {
  wchar_t text[256] = {};
  ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ::GetLastError(), 0, text,
                   256, nullptr);
  std::string out = platform::system::narrow(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
  return out;
}

}  // namespace

bool FolderWalk::walk(const std::string& root) {
  const DWORD attributes = ::GetFileAttributesW(platform::system::widen(root).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    skipLine(root, "not a readable folder");
    return false;
  }
  return walkFolder(root);
}

// Junctions and folder links are not followed: they may lead back up, and Windows gives a
// folder no number cheaply enough to tell.
bool FolderWalk::walkFolder(const std::string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE listing = ::FindFirstFileExW(platform::system::widen(folder + "/*").c_str(), FindExInfoBasic, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (listing == INVALID_HANDLE_VALUE) {
    skipLine(folder, lastError());
    return false;
  }
  folders.push_back(folder);
  std::vector<std::string> subfolders;
  do {
    const wchar_t* name = found.cFileName;
    if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
    std::string path = folder + "/" + platform::system::narrow(name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        skipLine(path, "a folder link, not followed");
        continue;
      }
      subfolders.push_back(std::move(path));
    } else {
      const long long size = (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      if (size > 0) files.push_back({std::move(path), size, unixNanoseconds(found.ftLastWriteTime)});
    }
  } while (::FindNextFileW(listing, &found));
  ::FindClose(listing);
  for (const std::string& sub : subfolders) walkFolder(sub);
  return true;
}

}  // namespace songservice
