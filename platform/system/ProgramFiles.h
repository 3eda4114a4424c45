#pragma once
// Where the program's files are found and written. The layout decides, not write bits:
// a program in a bin/ folder beside ../share/tunora is installed, and reads its data
// there while the user's own files (settings, chosen skin, a preset file of their music)
// go to $XDG_CONFIG_HOME/tunora; any other copy (the build tree, a portable folder) keeps
// everything beside the program. On Windows a program with its uninstaller beside it is
// installed, reads its data beside itself and keeps the user's files in the roaming
// application data folder's Tunora. An installed program never writes into its own tree.

#include <string>
#include <string_view>

namespace platform::system {

class ProgramFiles {
 public:
  // The files of a program in programFolder. xdgConfigHome and home are the values of
  // those variables (nullptr when unset); a relative XDG_CONFIG_HOME counts as unset.
  static ProgramFiles forProgramIn(const std::string& programFolder, const char* xdgConfigHome, const char* home);
  // The Windows layout: installed when "uninstall.exe" lies in programFolder; roamingAppData
  // is the user's roaming application data folder (empty when unknown).
  static ProgramFiles forProgramBesideUninstaller(const std::string& programFolder, const std::string& roamingAppData);
  // Everything in one folder: the portable layout.
  static ProgramFiles portable(const std::string& folder);

  bool installed() const { return installed_; }
  const std::string& programFolder() const { return programFolder_; }
  // Read-only data: Resource/, plugins/, catalogue/.
  const std::string& dataFolder() const { return dataFolder_; }
  // Files the program writes; the same as dataFolder() when portable. Empty when an
  // installed program cannot tell the user's home.
  const std::string& userFolder() const { return userFolder_; }

  // A program-relative path written with backslashes ("\Resource\Skin.rdb") in either folder.
  std::string dataPath(std::string_view relative) const;
  std::string userPath(std::string_view relative) const;
  // The user's copy when there is one, else the data folder's.
  std::string readPath(std::string_view relative) const;

  // Makes the user folder with its Resource/ and plugins/ folders when installed, so the
  // writers find them. False when they cannot be made; portable copies make nothing.
  bool makeUserFolders() const;

 private:
  bool installed_ = false;
  std::string programFolder_;
  std::string dataFolder_;
  std::string userFolder_;
};

// The files of the running program, decided once from its place and the environment.
const ProgramFiles& programFiles();

}  // namespace platform::system
