#include "net/QueryEncoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace {

using net::EncodeQueryText;

TEST(EncodeQueryText, MatchesTheServiceExamples) {
  EXPECT_EQ(EncodeQueryText("a b"), "a b");
  EXPECT_EQ(EncodeQueryText("A+B"), "A%2BB");
  EXPECT_EQ(EncodeQueryText("50%"), "50%25");
  EXPECT_EQ(EncodeQueryText("AC/DC"), "AC%2FDC");
  EXPECT_EQ(EncodeQueryText("\xB8\xE8\xC7\xFA"), "%E6%AD%8C%E6%9B%B2");  // 歌曲
  EXPECT_EQ(EncodeQueryText("\xB8\xE8\xC7\xFA a"), "%E6%AD%8C%E6%9B%B2 a");
  EXPECT_EQ(EncodeQueryText("x-y_z.mp3"), "x%2Dy%5Fz%2Emp3");
  EXPECT_EQ(EncodeQueryText(""), "");
}

TEST(EncodeQueryText, EncodesExactlyTheSpecialSet) {
  // The 32 punctuation marks, CR, LF and TAB, as byte values.
  const std::set<int> special = {0x60, 0x7E, 0x21, 0x40, 0x23, 0x24, 0x25, 0x5E, 0x26,
                                 0x2A, 0x28, 0x29, 0x2D, 0x5F, 0x3D, 0x2B, 0x5B, 0x7B,
                                 0x5D, 0x7D, 0x3B, 0x3A, 0x27, 0x5C, 0x7C, 0x2C, 0x3C,
                                 0x2E, 0x3E, 0x2F, 0x3F, 0x22, 0x0D, 0x0A, 0x09};
  ASSERT_EQ(special.size(), 35u);
  for (int c = 1; c < 0x80; ++c) {
    std::string one(1, static_cast<char>(c));
    char expected[4];
    std::snprintf(expected, sizeof expected, "%%%02X", c);
    EXPECT_EQ(EncodeQueryText(one), special.count(c) ? std::string(expected) : one) << "byte " << c;
  }
}

TEST(EncodeQueryText, LettersAndDigitsKeepTheirCase) {
  EXPECT_EQ(EncodeQueryText("AbCxYz019"), "AbCxYz019");
}

TEST(EncodeQueryText, ALoneTrailingLeadByteIsConvertedOnItsOwn) {
  // Half a character becomes the replacement character, never a read past the end.
  EXPECT_EQ(EncodeQueryText("ab\xB8"), "ab%EF%BF%BD");
  EXPECT_EQ(EncodeQueryText(std::string("\xB8\0z", 3)), "%EF%BF%BD");
}

TEST(EncodeQueryText, StopsAtTheTerminator) {
  EXPECT_EQ(EncodeQueryText(std::string("ab\0cd", 5)), "ab");
}

TEST(AnsiConversions, CarryOneTerminator) {
  net::ByteBlock utf16 = net::AnsiToUtf16("\xB8\xE8" "a");
  EXPECT_EQ(utf16, (net::ByteBlock{0x4C, 0x6B, 'a', 0, 0, 0}));  // U+6B4C 'a' U+0000
  EXPECT_EQ(net::AnsiToUtf16(""), (net::ByteBlock{0, 0}));

  net::ByteBlock utf8 = net::AnsiToUtf8("\xC7\xFA!");
  EXPECT_EQ(utf8, (net::ByteBlock{0xE6, 0x9B, 0xB2, '!', 0}));
  EXPECT_EQ(net::AnsiToUtf8(""), (net::ByteBlock{0}));
}

}  // namespace
