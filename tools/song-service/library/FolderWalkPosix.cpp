#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "tools/song-service/library/FolderWalk.h"

namespace songservice {
namespace {

long long mtimeOf(const struct stat& info) {
  return static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000LL + info.st_mtim.tv_nsec;
}

}  // namespace

bool FolderWalk::walk(const std::string& root) {
  struct stat info;
  if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    skipLine(root, "not a readable folder");
    return false;
  }
  visited_.insert({info.st_dev, info.st_ino});
  return walkFolder(root);
}

bool FolderWalk::walkFolder(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) {
    skipLine(folder, std::strerror(errno));
    return false;
  }
  folders.push_back(folder);
  std::vector<std::string> subfolders;
  while (dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    std::string path = folder + "/" + name;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
      // A dangling link or a file gone since the folder was listed.
      skipLine(path, std::strerror(errno));
      continue;
    }
    if (S_ISDIR(info.st_mode)) {
      if (!visited_.insert({info.st_dev, info.st_ino}).second) {
        skipLine(path, "a symlink loop or a folder already scanned");
        continue;
      }
      subfolders.push_back(std::move(path));
    } else if (S_ISREG(info.st_mode) && info.st_size > 0) {
      files.push_back({std::move(path), static_cast<long long>(info.st_size), mtimeOf(info)});
    }
  }
  ::closedir(dir);
  for (const std::string& sub : subfolders) walkFolder(sub);
  return true;
}

}  // namespace songservice
