// What only a POSIX file system has: modes, the umask, pipes in the file name space.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system/Files.h"
#include "tests/support/TempDir.h"

namespace {

using platform::system::readWholeFile;
using platform::system::writeFileAtomically;

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

TEST(Files, ANewFileGetsTheModeTheUmaskGives) {
  testsupport::TempDir dir;
  // Only this test's own thread runs here, so changing the umask for a moment is safe.
  mode_t previous = ::umask(027);
  bool written = writeFileAtomically(dir.file("new.ini"), "x");
  ::umask(previous);
  ASSERT_TRUE(written);
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("new.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(Files, ReadingTellsAMissingFileFromOneThatCannotBeRead) {
  using Status = platform::system::FileRead::Status;
  testsupport::TempDir dir;
  EXPECT_EQ(platform::system::readFile(dir.file("missing")).status, Status::Missing);
  EXPECT_EQ(platform::system::readFile(dir.path()).status, Status::Unreadable);
  std::string pipe = dir.file("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(platform::system::readFile(pipe).status, Status::Unreadable);  // and did not block
  ASSERT_TRUE(writeFileAtomically(dir.file("file"), "abc"));
  auto read = platform::system::readFile(dir.file("file"));
  EXPECT_EQ(read.status, Status::Read);
  EXPECT_EQ(std::string(read.data.begin(), read.data.end()), "abc");

  // Only regular files are ever replaced.
  EXPECT_FALSE(writeFileAtomically(pipe, "data"));
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  std::filesystem::create_directory(dir.file("folder"));
  EXPECT_FALSE(writeFileAtomically(dir.file("folder"), "data"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder")));
  int files = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 3);  // no temporary files left behind
}

TEST(Files, AFailedReplacementKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders anyway";
  testsupport::TempDir dir;
  std::string path = dir.file("file");
  ASSERT_TRUE(writeFileAtomically(path, "old"));
  ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
  EXPECT_FALSE(writeFileAtomically(path, "new"));
  ::chmod(dir.path().c_str(), 0700);
  auto read = readWholeFile(path);
  EXPECT_EQ(std::string(read->begin(), read->end()), "old");
}

}  // namespace
