#include "platform/system/ProgramFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using platform::system::pathInFolder;

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  const std::string& folder = platform::system::programFolder();
  EXPECT_TRUE(std::filesystem::exists(folder + "/system_tests") ||
              std::filesystem::exists(folder + "/system_tests.exe"));
  EXPECT_EQ(platform::system::programPath("\\system_tests"), folder + "/system_tests");
}

TEST(ProgramFolder, BackslashPathsBecomeNative) {
  EXPECT_EQ(pathInFolder("/opt/t", "\\Resource\\skin.png"), "/opt/t/Resource/skin.png");
  EXPECT_EQ(pathInFolder("/opt/t/", "\\program parameter.ini"), "/opt/t/program parameter.ini");
  EXPECT_EQ(pathInFolder("/", "\\a"), "/a");
  EXPECT_EQ(pathInFolder("/opt", "plugins\\js_rilu.txt"), "/opt/plugins/js_rilu.txt");
}

}  // namespace
