#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/system/ProgramFolder.h"
#include "platform/system/WideText.h"

namespace platform::system {

// Forward slashes inside the program, as on Linux; the wide calls take either.
const std::string& programFolder() {
  static const std::string folder = [] {
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
      if (n == 0) return std::string(".");
      if (n < module.size()) {
        module.resize(n);
        break;
      }
      module.resize(module.size() * 2);
    }
    std::string exe = narrow(module);
    std::replace(exe.begin(), exe.end(), '\\', '/');
    auto slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
  }();
  return folder;
}

}  // namespace platform::system
