#include "platform/system/Files.h"

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

TEST(Files, FailuresAreReportedAndHarmless) {
  testsupport::TempDir dir;
  EXPECT_FALSE(readWholeFile(dir.file("missing")));
  EXPECT_FALSE(readWholeFile(dir.path()));  // a folder is not a file
  EXPECT_FALSE(writeFileAtomically(dir.file("missing/x"), "data"));
}

}  // namespace
