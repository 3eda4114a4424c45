#include "platform/system/ProgramFolder.h"

#include <unistd.h>

#include <climits>

namespace platform::system {

const std::string& programFolder() {
  static const std::string folder = [] {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string(".");
    std::string exe(buffer, static_cast<size_t>(n));
    auto slash = exe.find_last_of('/');
    if (slash == std::string::npos) return std::string(".");
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
  }();
  return folder;
}

}  // namespace platform::system
