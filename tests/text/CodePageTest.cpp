#include "platform/text/CodePage.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::text;

const std::string kGeQu = "\xB8\xE8\xC7\xFA";  // 歌曲 in GBK

TEST(CodePage, GbkAndUtf8RoundTrip) {
  EXPECT_EQ(ansiToUtf8(kGeQu), "歌曲");
  EXPECT_EQ(utf8ToAnsi("歌曲"), kGeQu);
  EXPECT_EQ(ansiToWide(kGeQu + "x"), u"歌曲x");
  EXPECT_EQ(wideToAnsi(u"歌曲x"), kGeQu + "x");
  EXPECT_EQ(utf8ToWide("a\xF0\x9F\x8E\xB5"), u"a\U0001F3B5");
  EXPECT_EQ(wideToUtf8(u"a\U0001F3B5"), "a\xF0\x9F\x8E\xB5");
  EXPECT_EQ(ansiToUtf8(""), "");
}

TEST(CodePage, BrokenInputBecomesReplacementCharacters) {
  EXPECT_EQ(ansiToWide("ab\xB8"), u"ab\uFFFD");          // lone trailing lead byte
  EXPECT_EQ(ansiToWide("\xB8" "\x01z"), u"\uFFFD\x01z");   // lead byte with a bad trail
  EXPECT_EQ(utf8ToWide("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(wideToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
  // GBK cannot hold this; the default character stands in.
  EXPECT_EQ(wideToAnsi(u"a\U0001F3B5b"), "a?b");
}

TEST(CodePage, MultiByteToWideCharFollowsTheSizeProtocol) {
  const char* text = "\xB8\xE8" "a";
  EXPECT_EQ(MultiByteToWideChar(kCodePageAnsi, 0, text, -1, nullptr, 0), 3);  // with the zero
  EXPECT_EQ(MultiByteToWideChar(kCodePageAnsi, 0, text, 3, nullptr, 0), 2);
  char16_t out[3] = {1, 1, 1};
  EXPECT_EQ(MultiByteToWideChar(kCodePageAnsi, 0, text, -1, out, 3), 3);
  EXPECT_EQ(std::u16string(out, 3), std::u16string(u"歌a\0", 3));
  EXPECT_EQ(MultiByteToWideChar(kCodePageAnsi, 0, text, -1, out, 2), 0);  // too small
  EXPECT_EQ(MultiByteToWideChar(kCodePageAnsi, 0, text, 0, out, 3), 0);
  EXPECT_EQ(MultiByteToWideChar(1234, 0, text, -1, out, 3), 0);           // unknown code page
}

TEST(CodePage, WideCharToMultiByteFollowsTheSizeProtocol) {
  const char16_t* text = u"歌a";
  EXPECT_EQ(WideCharToMultiByte(kCodePageUtf8, 0, text, -1, nullptr, 0, nullptr, nullptr), 5);
  EXPECT_EQ(WideCharToMultiByte(kCodePageAnsi, 0, text, 2, nullptr, 0, nullptr, nullptr), 3);
  char out[8] = {};
  EXPECT_EQ(WideCharToMultiByte(kCodePageAnsi, 0, text, -1, out, 8, nullptr, nullptr), 4);
  EXPECT_EQ(std::string(out, 4), std::string("\xB8\xE8" "a\0", 4));
  EXPECT_EQ(WideCharToMultiByte(kCodePageAnsi, 0, text, -1, out, 3, nullptr, nullptr), 0);

  bool usedDefault = false;
  const char16_t note[] = u"\U0001F3B5";
  EXPECT_EQ(WideCharToMultiByte(kCodePageAnsi, 0, note, 2, out, 8, "#", &usedDefault), 1);
  EXPECT_EQ(out[0], '#');
  EXPECT_TRUE(usedDefault);
}

TEST(CodePage, LeadBytes) {
  EXPECT_FALSE(isAnsiLeadByte('a'));
  EXPECT_FALSE(isAnsiLeadByte(0x80));
  EXPECT_TRUE(isAnsiLeadByte(0xB8));
  EXPECT_FALSE(isAnsiLeadByte(0xFF));
}

}  // namespace
