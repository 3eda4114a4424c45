#include "platform/system/ProgramFolder.h"

namespace platform::system {

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
