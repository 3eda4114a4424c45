#include "app/VolumeSetting.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/BackgroundWriter.h"
#include "platform/system/ProgramFolder.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

class VolumeSetting : public testing::Test {
 protected:
  testsupport::TempDir dir;
  std::string path = dir.file("program parameter.ini");
};

TEST_F(VolumeSetting, DefaultsToFiftyWithoutFileSectionOrKey) {
  EXPECT_EQ(app::ReadVolumeSetting(path), 50);
  testsupport::writeFile(path, "[other]\nvolume size=10\n");
  EXPECT_EQ(app::ReadVolumeSetting(path), 50);
  testsupport::writeFile(path, "[parameter]\nvolume=10\n");
  EXPECT_EQ(app::ReadVolumeSetting(path), 50);
}

TEST_F(VolumeSetting, ReplayGainIsOnUnlessAZeroIsStored) {
  EXPECT_TRUE(app::ReadReplayGainSetting(path));  // no file: older files read the same
  testsupport::writeFile(path, "[parameter]\nvolume size=40\nreplay gain=0\n");
  EXPECT_FALSE(app::ReadReplayGainSetting(path));
  EXPECT_EQ(app::ReadVolumeSetting(path), 40);
  testsupport::writeFile(path, "[parameter]\nreplay gain=1\n");
  EXPECT_TRUE(app::ReadReplayGainSetting(path));
}

TEST_F(VolumeSetting, FirstWriteCreatesFileAndSection) {
  ASSERT_TRUE(app::WriteVolumeSetting(path, 73));
  EXPECT_EQ(testsupport::readFile(path), "[parameter]\r\nvolume size=73\r\n");
  EXPECT_EQ(app::ReadVolumeSetting(path), 73);
  ASSERT_TRUE(app::WriteVolumeSetting(path, 0));
  EXPECT_EQ(app::ReadVolumeSetting(path), 0);
}

TEST_F(VolumeSetting, StoredTextIsReadAsANumber) {
  testsupport::writeFile(path, "[Parameter]\nVolume Size = 100\n");
  EXPECT_EQ(app::ReadVolumeSetting(path), 100);
  testsupport::writeFile(path, "[parameter]\nvolume size=loud\n");
  EXPECT_EQ(app::ReadVolumeSetting(path), 0);
  testsupport::writeFile(path, "[parameter]\nvolume size=250\n");
  EXPECT_EQ(app::ReadVolumeSetting(path), 250);  // the slider clamps, not the setting
  testsupport::writeFile(path, "[parameter]\nvolume size=-7\n");
  EXPECT_EQ(app::ReadVolumeSetting(path), -7);
}

TEST_F(VolumeSetting, WritingKeepsTheRestOfTheFile) {
  testsupport::writeFile(path, "; mine\n[window]\nx=3\n[parameter]\nvolume size=10\ntheme=2\n");
  ASSERT_TRUE(app::WriteVolumeSetting(path, 42));
  EXPECT_EQ(testsupport::readFile(path), "; mine\n[window]\nx=3\n[parameter]\nvolume size=42\ntheme=2\n");
}

TEST_F(VolumeSetting, AFailedWriteIsReportedAndHarmless) {
  EXPECT_FALSE(app::WriteVolumeSetting(dir.file("gone/program parameter.ini"), 10));
}

TEST_F(VolumeSetting, AnExistingFileThatCannotBeReadIsNeverReplaced) {
  // A folder where the file should be, and a pipe (which must not block the read either).
  std::filesystem::create_directory(path);
  EXPECT_EQ(app::ReadVolumeSetting(path), 50);
  EXPECT_FALSE(app::WriteVolumeSetting(path, 10));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(app::ReadVolumeSetting(path), 50);
  EXPECT_FALSE(app::WriteVolumeSetting(path, 10));
  EXPECT_TRUE(std::filesystem::is_fifo(path));
  std::filesystem::remove(path);

  if (::geteuid() != 0) {  // root reads it anyway
    testsupport::writeFile(path, "[parameter]\nvolume size=10\n; notes of my own\n");
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    EXPECT_FALSE(app::WriteVolumeSetting(path, 20));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(testsupport::readFile(path), "[parameter]\nvolume size=10\n; notes of my own\n");
  }
}

TEST(VolumeSettingInBackground, TheLastValueOfADragLandsBesideTheProgram) {
  const std::string path = platform::system::programFolder() + "/program parameter.ini";
  std::filesystem::remove(path);
  app::BackgroundWriter writer;
  for (int volume = 0; volume <= 80; ++volume) app::WriteVolumeSetting(writer, volume);
  EXPECT_TRUE(writer.flush());
  EXPECT_EQ(testsupport::readFile(path), "[parameter]\r\nvolume size=80\r\n");
  EXPECT_EQ(app::ReadVolumeSetting(), 80);
  std::filesystem::remove(path);
}

}  // namespace
