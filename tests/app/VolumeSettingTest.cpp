#include "app/VolumeSetting.h"

#include <gtest/gtest.h>

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

TEST(VolumeSettingPath, LiesBesideTheProgram) {
  EXPECT_EQ(app::VolumeSettingPath(),
            platform::system::programFolder() + "/program parameter.ini");
}

}  // namespace
