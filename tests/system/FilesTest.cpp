#include "platform/system/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TempDir.h"

namespace {

using platform::system::readWholeFile;
using platform::system::writeFileAtomically;

TEST(Files, WriteThenReadGivesTheSameBytes) {
  testsupport::TempDir dir;
  std::string path = dir.file("data.bin");
  std::string data("a\0b\xFF", 4);
  ASSERT_TRUE(writeFileAtomically(path, data));
  auto read = readWholeFile(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(std::string(read->begin(), read->end()), data);

  ASSERT_TRUE(writeFileAtomically(path, ""));
  EXPECT_TRUE(readWholeFile(path)->empty());
}

TEST(Files, ReplacementLeavesNoTemporaryFilesAndKeepsPermissions) {
  testsupport::TempDir dir;
  std::string path = dir.file("kept.ini");
  ASSERT_TRUE(writeFileAtomically(path, "old"));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(writeFileAtomically(path, "new"));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  int files = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(Files, FailuresAreReportedAndHarmless) {
  testsupport::TempDir dir;
  EXPECT_FALSE(readWholeFile(dir.file("missing")));
  EXPECT_FALSE(readWholeFile(dir.path()));  // a folder is not a file
  EXPECT_FALSE(writeFileAtomically(dir.file("missing/x"), "data"));

  if (::geteuid() != 0) {  // root writes into read-only folders anyway
    std::string path = dir.file("file");
    ASSERT_TRUE(writeFileAtomically(path, "old"));
    ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
    EXPECT_FALSE(writeFileAtomically(path, "new"));
    ::chmod(dir.path().c_str(), 0700);
    auto read = readWholeFile(path);
    EXPECT_EQ(std::string(read->begin(), read->end()), "old");
  }
}

}  // namespace
