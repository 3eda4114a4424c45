#include "platform/system/ProfileFile.h"

#include <gtest/gtest.h>

#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

using platform::system::GetPrivateProfileString;
using platform::system::ProfileDocument;
using platform::system::WritePrivateProfileString;

TEST(ProfileDocument, FindsNamesIgnoringCaseAndBlanks) {
  auto doc = ProfileDocument::parse(
      "; settings\r\n"
      "  [ Parameter ]  \r\n"
      "  Volume Size  =  73  \r\n"
      "quoted = \"  spaced  \"\r\n");
  EXPECT_EQ(doc.value("parameter", "volume size"), "73");
  EXPECT_EQ(doc.value("PARAMETER", "VOLUME SIZE"), "73");
  EXPECT_EQ(doc.value("parameter", "quoted"), "  spaced  ");
  EXPECT_EQ(doc.value("parameter", "missing"), std::nullopt);
  EXPECT_EQ(doc.value("other", "volume size"), std::nullopt);
}

TEST(ProfileDocument, KeysBelongToTheirSectionAndTheFirstOneCounts) {
  auto doc = ProfileDocument::parse(
      "top=0\n[a]\nk=1\nk=2\n[b]\nk=3\n[a]\nk=4\n");
  EXPECT_EQ(doc.value("a", "k"), "1");
  EXPECT_EQ(doc.value("b", "k"), "3");
  EXPECT_EQ(doc.value("", "top"), std::nullopt);
}

TEST(ProfileDocument, GbkNamesAreNotCaseFolded) {
  // 0xC7 0x61 and 0xC7 0x41 are different characters although 0x61/0x41 look like a/A.
  auto doc = ProfileDocument::parse("[s]\n\xC7\x61=1\n");
  EXPECT_EQ(doc.value("s", "\xC7\x61"), "1");
  EXPECT_EQ(doc.value("s", "\xC7\x41"), std::nullopt);
  EXPECT_EQ(doc.value("S", "\xC7\x61"), "1");
}

TEST(ProfileDocument, MalformedLinesAreSkippedAndKept) {
  const std::string text = "[broken\ngarbage line\n=novalue\n[ok]\nk=v\n\x01\xFF\n";
  auto doc = ProfileDocument::parse(text);
  EXPECT_EQ(doc.value("ok", "k"), "v");
  EXPECT_EQ(doc.text(), text);
}

TEST(ProfileDocument, WritingOneKeyKeepsEverythingElse) {
  const std::string before =
      "; comment\r\n[other]\r\nx = 1\r\n\r\n[parameter]\r\nvolume size = 10\r\nkeep=me\r\n";
  auto doc = ProfileDocument::parse(before);
  ASSERT_TRUE(doc.setValue("Parameter", "Volume Size", "73"));
  EXPECT_EQ(doc.text(),
            "; comment\r\n[other]\r\nx = 1\r\n\r\n[parameter]\r\nVolume Size=73\r\nkeep=me\r\n");
}

TEST(ProfileDocument, AddsKeysAndSectionsWhereTheyBelong) {
  auto doc = ProfileDocument::parse("[a]\nk=1\n\n[b]\nz=2\n");
  ASSERT_TRUE(doc.setValue("a", "new", "x"));
  ASSERT_TRUE(doc.setValue("c", "n", "y"));
  EXPECT_EQ(doc.text(), "[a]\nk=1\nnew=x\n\n[b]\nz=2\n[c]\nn=y\n");

  auto unterminated = ProfileDocument::parse("last=line");
  ASSERT_TRUE(unterminated.setValue("parameter", "volume size", "5"));
  EXPECT_EQ(unterminated.text(), "last=line\r\n[parameter]\r\nvolume size=5\r\n");

  ProfileDocument empty;
  ASSERT_TRUE(empty.setValue("parameter", "volume size", "73"));
  EXPECT_EQ(empty.text(), "[parameter]\r\nvolume size=73\r\n");
}

TEST(ProfileDocument, RefusesLineBreaksThatWouldForgeLines) {
  ProfileDocument doc;
  EXPECT_FALSE(doc.setValue("parameter", "volume size", "1\r\n[evil]"));
  EXPECT_FALSE(doc.setValue("a\nb", "k", "v"));
  EXPECT_EQ(doc.text(), "");
}

TEST(ProfileFile, ReadsDefaultsAndWritesThrough) {
  testsupport::TempDir dir;
  std::string path = dir.file("program parameter.ini");
  EXPECT_EQ(GetPrivateProfileString("parameter", "volume size", "50", path), "50");

  ASSERT_TRUE(WritePrivateProfileString("parameter", "volume size", "73", path));
  EXPECT_EQ(testsupport::readFile(path), "[parameter]\r\nvolume size=73\r\n");
  EXPECT_EQ(GetPrivateProfileString("parameter", "volume size", "50", path), "73");

  testsupport::writeFile(path, "[parameter]\nvolume size=\n");
  EXPECT_EQ(GetPrivateProfileString("parameter", "volume size", "50", path), "");
}

TEST(ProfileFile, AFailedWriteLeavesTheOldFile) {
  testsupport::TempDir dir;
  std::string path = dir.file("settings.ini");
  testsupport::writeFile(path, "[parameter]\nvolume size=10\n");
  EXPECT_FALSE(WritePrivateProfileString("parameter", "volume size", "1\n2", path));
  EXPECT_FALSE(WritePrivateProfileString("parameter", "k", "v", dir.file("no/such/dir.ini")));
  EXPECT_EQ(testsupport::readFile(path), "[parameter]\nvolume size=10\n");
}

}  // namespace
