#include "platform/system/ProgramFiles.h"

#include "platform/system/FolderCalls.h"
#include "platform/system/ProgramFolder.h"

namespace platform::system {
namespace {

using detail::exists;
using detail::homeOfUser;
using detail::isFolder;
using detail::makeFolder;

// Makes path and any missing parents; the user's settings are theirs alone.
bool makeFolders(const std::string& path) {
  if (path.empty()) return false;
  if (isFolder(path)) return true;
  const auto slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash))) return false;
  return makeFolder(path);
}

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

ProgramFiles ProgramFiles::portable(const std::string& folder) {
  ProgramFiles files;
  files.programFolder_ = withoutTrailingSlashes(folder);
  files.dataFolder_ = files.programFolder_;
  files.userFolder_ = files.programFolder_;
  return files;
}

ProgramFiles ProgramFiles::forProgramIn(const std::string& programFolder, const char* xdgConfigHome,
                                        const char* home) {
  ProgramFiles files = portable(programFolder);
  const std::string& folder = files.programFolder_;
  const auto slash = folder.find_last_of('/');
  if (slash == std::string::npos || folder.compare(slash + 1, std::string::npos, "bin") != 0) return files;
  const std::string prefix = folder.substr(0, slash);
  const std::string data = prefix + "/share/tunora";
  if (!isFolder(data)) return files;

  files.installed_ = true;
  files.dataFolder_ = data;
  std::string config;
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    config = withoutTrailingSlashes(xdgConfigHome);
  } else {
    std::string base = home != nullptr && home[0] == '/' ? std::string(home) : homeOfUser();
    if (!base.empty()) config = withoutTrailingSlashes(base) + "/.config";
  }
  files.userFolder_ = config.empty() ? std::string() : (config == "/" ? "" : config) + "/tunora";
  return files;
}

ProgramFiles ProgramFiles::forProgramBesideUninstaller(const std::string& programFolder,
                                                       const std::string& roamingAppData) {
  ProgramFiles files = portable(programFolder);
  if (!exists(pathInFolder(files.programFolder_, "\\uninstall.exe"))) return files;
  files.installed_ = true;
  std::string appData = roamingAppData;
  for (char& c : appData)
    if (c == '\\') c = '/';
  appData = withoutTrailingSlashes(appData);
  files.userFolder_ = appData.empty() ? std::string() : appData + "/Tunora";
  return files;
}

std::string ProgramFiles::dataPath(std::string_view relative) const { return pathInFolder(dataFolder_, relative); }

std::string ProgramFiles::userPath(std::string_view relative) const {
  // Without a home there is nowhere to write; a path that cannot be made keeps writes out
  // of the installed tree and out of the current folder.
  if (userFolder_.empty()) return {};
  return pathInFolder(userFolder_, relative);
}

std::string ProgramFiles::readPath(std::string_view relative) const {
  if (installed_) {
    std::string own = userPath(relative);
    if (!own.empty() && exists(own)) return own;
  }
  return dataPath(relative);
}

bool ProgramFiles::makeUserFolders() const {
  if (!installed_) return true;
  return makeFolders(userPath("\\Resource")) && makeFolders(userPath("\\plugins"));
}

}  // namespace platform::system
