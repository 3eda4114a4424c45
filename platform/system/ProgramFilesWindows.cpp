#include <windows.h>
#include <shlobj.h>

#include "platform/system/ProgramFiles.h"
#include "platform/system/ProgramFolder.h"
#include "platform/system/WideText.h"

namespace platform::system {
namespace {

std::string roamingAppData() {
  PWSTR folder = nullptr;
  std::string path;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) path = narrow(folder);
  ::CoTaskMemFree(folder);
  return path;
}

}  // namespace

const ProgramFiles& programFiles() {
  static const ProgramFiles files = ProgramFiles::forProgramBesideUninstaller(programFolder(), roamingAppData());
  return files;
}

}  // namespace platform::system
