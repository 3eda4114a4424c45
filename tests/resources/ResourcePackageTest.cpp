#include "resources/ResourcePackage.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/text/CodePage.h"
#include "resources/ResourcePackageWriter.h"
#include "tests/support/TempDir.h"

namespace {

using platform::system::ByteBlock;
using platform::text::utf8ToAnsi;
using resources::UnpackResourceData;

ByteBlock bytes(std::string_view text) { return ByteBlock(text.begin(), text.end()); }

// Writes a package by hand, with a separator of the test's choosing.
std::string handPackage(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (const auto& part : parts) out += part + separator;
  return out;
}

const std::string kSeparator = "\x01SEP\x02\xFE\x7F";
const std::string kMagic(resources::ResourcePackageMagic());

class Unpack : public testing::Test {
 protected:
  // Whatever a failed unpack does, this must survive it.
  std::vector<ByteBlock> entries{bytes("previous")};
  std::string message;

  void expectFailure(std::string_view data, const char* utf8Message) {
    entries = {bytes("previous")};
    EXPECT_FALSE(UnpackResourceData(data, entries, message));
    EXPECT_EQ(message, utf8ToAnsi(utf8Message));
    EXPECT_EQ(entries, std::vector<ByteBlock>{bytes("previous")});
  }
};

TEST_F(Unpack, ReturnsEntriesInFileOrder) {
  std::string png("\x89PNG\r\n\x1a\n\0\0data", 14);
  std::string data = handPackage(
      {kMagic, resources::PackageDigest(png + "second" + "third"), png, "second", "third"},
      kSeparator);
  ASSERT_TRUE(UnpackResourceData(data, entries, message));
  EXPECT_EQ(message, utf8ToAnsi("解包成功"));
  EXPECT_EQ(entries, (std::vector<ByteBlock>{bytes(png), bytes("second"), bytes("third")}));
}

TEST_F(Unpack, NoEntriesWithTheDigestOfNothingIsAnEmptyPackage) {
  std::string data = handPackage({kMagic, resources::PackageDigest("")}, kSeparator);
  ASSERT_TRUE(UnpackResourceData(data, entries, message));
  EXPECT_TRUE(entries.empty());
}

TEST_F(Unpack, EmptyOrTinyDataIsMalformed) {
  expectFailure("", "格式不规范");
  expectFailure("short", "格式不规范");
  expectFailure(kSeparator, "格式不规范");
}

TEST_F(Unpack, AWrongMagicIsRefused) {
  std::string otherMagic = std::string("Skin_res") + "\x61\xC9\x34\x05";
  expectFailure(handPackage({otherMagic, resources::PackageDigest("x"), "x"}, kSeparator),
                "校验头部未成功");
  expectFailure(handPackage({"garbage", "more"}, kSeparator), "校验头部未成功");
  expectFailure("random bytes without any structure", "校验头部未成功");
}

TEST_F(Unpack, ADigestOfOtherBytesIsRefused) {
  expectFailure(handPackage({kMagic, resources::PackageDigest("abc"), "abd"}, kSeparator),
                "校验数据失败");
  std::string upper = resources::PackageDigest("abc");
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  expectFailure(handPackage({kMagic, upper, "abc"}, kSeparator), "校验数据失败");
}

TEST_F(Unpack, MagicWithoutADigestPartFails) {
  expectFailure(handPackage({kMagic}, kSeparator), "校验数据失败");
}

TEST_F(Unpack, EveryTruncationFailsAndKeepsTheList) {
  auto package = resources::PackResourceEntries({bytes("one"), bytes("two"), bytes("three")});
  ASSERT_TRUE(package);
  for (size_t length = 0; length < package->size(); ++length) {
    std::vector<ByteBlock> kept{bytes("previous")};
    EXPECT_FALSE(UnpackResourceData(std::string_view(*package).substr(0, length), kept, message))
        << length;
    EXPECT_EQ(kept, std::vector<ByteBlock>{bytes("previous")});
  }
}

TEST_F(Unpack, MissingFileIsMalformed) {
  testsupport::TempDir dir;
  EXPECT_FALSE(resources::UnpackResourcePackage(dir.file("Resu.rdb"), entries, message));
  EXPECT_EQ(message, utf8ToAnsi("格式不规范"));
  EXPECT_EQ(entries.size(), 1u);
}

TEST(PackageDigest, IsLowerCaseHexMd5) {
  EXPECT_EQ(resources::PackageDigest(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(resources::PackageDigest("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(resources::PackageDigest(std::string("\0\xFF", 2)).size(), 32u);
}

TEST(PackResourceEntries, RoundTripsAnyBytes) {
  std::vector<ByteBlock> entries;
  for (int i = 0; i < 40; ++i) {
    ByteBlock entry(static_cast<size_t>(i * 37), 0);
    for (size_t j = 0; j < entry.size(); ++j) entry[j] = static_cast<std::uint8_t>(j * i + j / 3);
    entries.push_back(entry);
  }
  entries.push_back(bytes(""));  // an empty entry keeps its position
  entries.push_back(bytes("last"));
  auto package = resources::PackResourceEntries(entries);
  ASSERT_TRUE(package);
  std::vector<ByteBlock> unpacked;
  std::string message;
  ASSERT_TRUE(UnpackResourceData(*package, unpacked, message));
  EXPECT_EQ(unpacked, entries);
  EXPECT_EQ(resources::PackResourceEntries(entries), package);  // reproducible
}

TEST(PackResourceEntries, FileIsLaidOutAsMagicDigestEntries) {
  auto package = resources::PackResourceEntries({bytes("A"), bytes("BC")});
  ASSERT_TRUE(package);
  std::string separator = package->substr(package->size() - 7);
  EXPECT_EQ(*package, kMagic + separator + resources::PackageDigest("ABC") + separator + "A" +
                          separator + "BC" + separator);
}

TEST(PackResourceEntries, AvoidsSeparatorsThatOccurInTheData) {
  const std::string inside = "\x10insid\x11";
  // Straddles a seam: an entry ending in 0x01 before 0x01 0x01 ... splits one byte early.
  const std::string seam(7, '\x01');
  const std::string good = "\xF0good!\xF1";
  std::vector<ByteBlock> entries{bytes("ends in \x01"), bytes("a" + inside + "b")};
  std::vector<std::string> offered{inside, "short", seam, good};
  std::vector<int> asked;
  auto package = resources::PackResourceEntries(entries, [&](int attempt) {
    asked.push_back(attempt);
    return attempt < static_cast<int>(offered.size()) ? offered[static_cast<size_t>(attempt)] : good;
  });
  ASSERT_TRUE(package);
  EXPECT_EQ(asked, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(package->substr(package->size() - 7), good);
  std::vector<ByteBlock> unpacked;
  std::string message;
  ASSERT_TRUE(UnpackResourceData(*package, unpacked, message));
  EXPECT_EQ(unpacked, entries);

  // When nothing fits, the packer gives up instead of writing a package that splits wrong.
  EXPECT_FALSE(resources::PackResourceEntries(entries, [&](int) { return inside; }));
}

}  // namespace
