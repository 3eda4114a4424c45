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

std::string pathInFolder(std::string_view folder, std::string_view relative) {
  std::string path(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string tail(relative);
  for (char& c : tail)
    if (c == '\\') c = '/';
  if (!tail.empty() && tail.front() == '/') tail.erase(0, 1);
  if (path.empty() || path.back() != '/') path += '/';
  path += tail;
  return path;
}

std::string programPath(std::string_view relative) {
  return pathInFolder(programFolder(), relative);
}

}  // namespace platform::system
