// Drives the rdbpack program as a user would.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

// Exit code and standard output of a command.
std::pair<int, std::string> run(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return {-1, out};
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string shellQuoted(const std::string& path) { return "'" + path + "'"; }

TEST(Rdbpack, PackListUnpackGivesBackTheSameFilesInOrder) {
  testsupport::TempDir dir;
  testsupport::writeFile(dir.file("b.png"), std::string("\x89PNG\r\n\x1a\nimage\0bytes", 19));
  testsupport::writeFile(dir.file("a.jpg"), "\xFF\xD8\xFF jpeg");
  testsupport::writeFile(dir.file("c.txt"), "plain");
  std::string pkg = dir.file("Resu.rdb");

  auto [packed, packOut] = run(std::string(RDBPACK_PATH) + " pack " + shellQuoted(pkg) + " " +
                               shellQuoted(dir.file("b.png")) + " " + shellQuoted(dir.file("a.jpg")) +
                               " " + shellQuoted(dir.file("c.txt")));
  ASSERT_EQ(packed, 0) << packOut;

  auto [listed, listing] = run(std::string(RDBPACK_PATH) + " list " + shellQuoted(pkg));
  ASSERT_EQ(listed, 0);
  EXPECT_NE(listing.find("  0        19 png"), std::string::npos) << listing;
  EXPECT_NE(listing.find("  1         8 jpg"), std::string::npos) << listing;
  EXPECT_NE(listing.find("  2         5 bin"), std::string::npos) << listing;

  std::string out = dir.file("out");
  auto [unpacked, unpackOut] =
      run(std::string(RDBPACK_PATH) + " unpack " + shellQuoted(pkg) + " " + shellQuoted(out));
  ASSERT_EQ(unpacked, 0) << unpackOut;
  EXPECT_EQ(testsupport::readFile(out + "/000.png"), testsupport::readFile(dir.file("b.png")));
  EXPECT_EQ(testsupport::readFile(out + "/001.jpg"), testsupport::readFile(dir.file("a.jpg")));
  EXPECT_EQ(testsupport::readFile(out + "/002.bin"), "plain");
}

TEST(Rdbpack, RefusesBadInputWithAMessage) {
  testsupport::TempDir dir;
  EXPECT_EQ(run(std::string(RDBPACK_PATH) + " 2>/dev/null").first, 2);
  EXPECT_EQ(run(std::string(RDBPACK_PATH) + " pack " + shellQuoted(dir.file("x.rdb")) + " " +
                shellQuoted(dir.file("missing")) + " 2>/dev/null")
                .first,
            1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.rdb")));
  testsupport::writeFile(dir.file("junk.rdb"), "not a package at all");
  auto [code, out] =
      run(std::string(RDBPACK_PATH) + " list " + shellQuoted(dir.file("junk.rdb")) + " 2>&1");
  EXPECT_EQ(code, 1);
  EXPECT_NE(out.find("校验头部未成功"), std::string::npos) << out;
}

}  // namespace
