#include "platform/system/ProgramFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using platform::system::ProgramFiles;

// A prefix with bin/ and, when asked, share/tunora/ (the installed layout).
struct Prefix {
  explicit Prefix(bool withData) {
    fs::create_directories(dir.path() + "/bin");
    if (withData) fs::create_directories(dir.path() + "/share/tunora/plugins");
  }
  std::string bin() const { return dir.path() + "/bin"; }
  testsupport::TempDir dir;
};

TEST(ProgramFiles, ABinFolderBesideShareTunoraIsInstalledAndWritesToTheUsersConfig) {
  Prefix prefix(true);
  const ProgramFiles files = ProgramFiles::forProgramIn(prefix.bin(), "/home/u/cfg/", "/home/u");
  EXPECT_TRUE(files.installed());
  EXPECT_EQ(files.dataPath("\\Resource\\Skin.rdb"), prefix.dir.path() + "/share/tunora/Resource/Skin.rdb");
  EXPECT_EQ(files.userPath("\\program parameter.ini"), "/home/u/cfg/tunora/program parameter.ini");
  // A relative XDG_CONFIG_HOME does not count; the home's .config stands in.
  EXPECT_EQ(ProgramFiles::forProgramIn(prefix.bin(), "cfg", "/home/u").userFolder(), "/home/u/.config/tunora");
  EXPECT_EQ(ProgramFiles::forProgramIn(prefix.bin(), nullptr, "/home/u").userFolder(), "/home/u/.config/tunora");
}

TEST(ProgramFiles, EveryOtherCopyKeepsEverythingBesideItself) {
  Prefix noData(false);
  Prefix installed(true);
  fs::create_directories(installed.dir.path() + "/app");
  for (const std::string& folder : {noData.bin(), installed.dir.path() + "/app", installed.dir.path()}) {
    const ProgramFiles files = ProgramFiles::forProgramIn(folder, "/home/u/cfg", "/home/u");
    EXPECT_FALSE(files.installed()) << folder;
    EXPECT_EQ(files.dataFolder(), folder);
    EXPECT_EQ(files.userPath("\\program parameter.ini"), folder + "/program parameter.ini");
    EXPECT_EQ(files.readPath("\\Resource\\skin.png"), folder + "/Resource/skin.png");
    EXPECT_TRUE(files.makeUserFolders());
  }
  EXPECT_FALSE(fs::exists(noData.bin() + "/Resource"));
}

TEST(ProgramFiles, TheUsersOwnFileIsReadBeforeTheShippedOneAndItsFoldersAreMadeThereOnly) {
  Prefix prefix(true);
  testsupport::TempDir config;
  const std::string xdg = config.path() + "/deep/config";
  const ProgramFiles files = ProgramFiles::forProgramIn(prefix.bin(), xdg.c_str(), "/nonexistent");
  const std::string shipped = prefix.dir.path() + "/share/tunora/plugins/js_rilu.txt";
  testsupport::writeFile(shipped, "shipped");
  EXPECT_EQ(files.readPath("\\plugins\\js_rilu.txt"), shipped);

  ASSERT_TRUE(files.makeUserFolders());
  EXPECT_TRUE(fs::is_directory(xdg + "/tunora/Resource"));
  EXPECT_TRUE(fs::is_directory(xdg + "/tunora/plugins"));
  EXPECT_EQ(fs::status(xdg + "/tunora").permissions() & fs::perms::all, fs::perms::owner_all);
  testsupport::writeFile(xdg + "/tunora/plugins/js_rilu.txt", "own");
  EXPECT_EQ(files.readPath("\\plugins\\js_rilu.txt"), xdg + "/tunora/plugins/js_rilu.txt");
  // Only the shipped folder stays in the prefix.
  EXPECT_FALSE(fs::exists(prefix.dir.path() + "/share/tunora/Resource"));

  // A file where a folder must go: nothing to write to, and it says so.
  testsupport::TempDir blocked;
  testsupport::writeFile(blocked.path() + "/tunora", "");
  EXPECT_FALSE(ProgramFiles::forProgramIn(prefix.bin(), blocked.path().c_str(), nullptr).makeUserFolders());
}

}  // namespace
