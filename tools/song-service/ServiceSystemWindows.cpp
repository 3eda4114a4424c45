#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <string>

#include "platform/system/ProgramFolder.h"
#include "platform/system/WideText.h"
#include "tools/song-service/ServiceSystem.h"

namespace songservice {
namespace {

// Set by a console end request or by ~EndRequests; what the waiter waits on.
HANDLE endEvent = nullptr;

BOOL WINAPI onConsoleEnd(DWORD) {
  ::SetEvent(endEvent);
  return TRUE;
}

std::string withSlashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace

void prepareProcess() {
  // Named after the process, so that whoever started it can ask it to end when no console
  // joins them (a console-less child gets no Ctrl events).
  const std::wstring name = L"Local\\tunora-song-service-end-" + std::to_wstring(::GetCurrentProcessId());
  endEvent = ::CreateEventW(nullptr, TRUE, FALSE, name.c_str());
  ::SetConsoleCtrlHandler(onConsoleEnd, TRUE);
}

std::string defaultCatalogue() { return withSlashes(platform::system::programFolder()) + "/catalogue"; }

// %LOCALAPPDATA%\Tunora\library.sqlite
std::string defaultDatabase() {
  PWSTR local = nullptr;
  if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &local) != S_OK) {
    ::CoTaskMemFree(local);
    return {};
  }
  std::wstring folder = std::wstring(local) + L"\\Tunora";
  ::CoTaskMemFree(local);
  if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return {};
  return withSlashes(platform::system::narrow(folder)) + "/library.sqlite";
}

bool resolveFolder(std::string& folder) {
  std::wstring wide = platform::system::widen(folder);
  DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return false;
  std::wstring full(size, L'\0');
  size = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  full.resize(size);
  const DWORD attributes = ::GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  folder = withSlashes(platform::system::narrow(full));
  // "C:/" keeps its slash: "C:" alone is the drive's current folder.
  if (folder.size() > 3 && folder.back() == '/') folder.pop_back();
  return true;
}

EndRequests::EndRequests(std::function<void()> stop) : stop_(std::move(stop)) {
  waiter_ = std::thread([this] {
    ::WaitForSingleObject(endEvent, INFINITE);
    stop_();
  });
}

EndRequests::~EndRequests() {
  ::SetEvent(endEvent);
  waiter_.join();
}

}  // namespace songservice
