#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/system/FolderCalls.h"

namespace platform::system::detail {

bool isFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The user's settings are theirs alone.
bool makeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && isFolder(path)); }

std::string homeOfUser() {
  std::vector<char> buffer(16384);
  struct passwd entry;
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return {};
  return found->pw_dir != nullptr ? found->pw_dir : "";
}

}  // namespace platform::system::detail
