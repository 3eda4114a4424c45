#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system/ProgramFiles.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using platform::system::ProgramFiles;

TEST(UninstallerLayout, AProgramBesideItsUninstallerKeepsTheUsersFilesInRoamingAppData) {
  testsupport::TempDir program;
  testsupport::TempDir appData;
  EXPECT_FALSE(ProgramFiles::forProgramBesideUninstaller(program.path(), appData.path()).installed());

  testsupport::writeFile(program.path() + "/uninstall.exe", "");
  const ProgramFiles files = ProgramFiles::forProgramBesideUninstaller(program.path(), appData.path());
  ASSERT_TRUE(files.installed());
  EXPECT_EQ(files.dataFolder(), program.path());
  // Either slash on Windows: the folder is handed over with backslashes.
  EXPECT_EQ(fs::path(files.userFolder()), fs::path(appData.path()) / "Tunora");
  // Nothing of the user's yet: the shipped skin is read.
  EXPECT_EQ(files.readPath("\\Resource\\skin.png"), files.dataPath("\\Resource\\skin.png"));
  ASSERT_TRUE(files.makeUserFolders());
  EXPECT_TRUE(fs::is_directory(appData.path() + "/Tunora/plugins"));
  EXPECT_FALSE(fs::exists(program.path() + "/plugins"));

  EXPECT_EQ(ProgramFiles::forProgramBesideUninstaller(program.path(), "C:\\Users\\u\\AppData\\Roaming\\")
                .userPath("\\program parameter.ini"),
            "C:/Users/u/AppData/Roaming/Tunora/program parameter.ini");
  // Without the folder the installed copy has nowhere to write, and never writes beside itself.
  EXPECT_EQ(ProgramFiles::forProgramBesideUninstaller(program.path(), "").userPath("\\program parameter.ini"), "");
}

}  // namespace
