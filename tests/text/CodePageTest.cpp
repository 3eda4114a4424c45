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

// Where the two systems' tables for code page 936 differ: Windows gives these codes a
// private-use character (the user-defined areas and some unassigned codes), the Linux table
// refuses them (U+FFFD, then the trail byte read on its own). Every other code is the same character on both
// and converts back to itself. Lead byte, first and last trail byte; 0x7F is never a trail.
struct CodeRun {
  int lead0, lead1, trail0, trail1;
};
constexpr CodeRun kPrivateUseCodes[] = {
    {0xAA, 0xAF, 0xA1, 0xFE}, {0xF8, 0xFE, 0xA1, 0xFE}, {0xA1, 0xA7, 0x40, 0xA0},
    {0xA2, 0xA2, 0xAB, 0xB0}, {0xA2, 0xA2, 0xE3, 0xE4}, {0xA2, 0xA2, 0xEF, 0xF0}, {0xA2, 0xA2, 0xFD, 0xFE},
    {0xA4, 0xA4, 0xF4, 0xFE}, {0xA5, 0xA5, 0xF7, 0xFE}, {0xA6, 0xA6, 0xB9, 0xC0}, {0xA6, 0xA6, 0xD9, 0xDF},
    {0xA6, 0xA6, 0xEC, 0xED}, {0xA6, 0xA6, 0xF3, 0xF3}, {0xA6, 0xA6, 0xF6, 0xFE}, {0xA7, 0xA7, 0xC2, 0xD0},
    {0xA7, 0xA7, 0xF2, 0xFE}, {0xA8, 0xA8, 0x96, 0xA0}, {0xA8, 0xA8, 0xBC, 0xBC}, {0xA8, 0xA8, 0xBF, 0xBF},
    {0xA8, 0xA8, 0xC1, 0xC4}, {0xA8, 0xA8, 0xEA, 0xFE}, {0xA9, 0xA9, 0x58, 0x58}, {0xA9, 0xA9, 0x5B, 0x5B},
    {0xA9, 0xA9, 0x5D, 0x5F}, {0xA9, 0xA9, 0x89, 0x95}, {0xA9, 0xA9, 0x97, 0xA3}, {0xA9, 0xA9, 0xF0, 0xFE},
    {0xD7, 0xD7, 0xFA, 0xFE}, {0xFE, 0xFE, 0x50, 0xA0}};

bool isPrivateUseCode(int lead, int trail) {
  for (const CodeRun& run : kPrivateUseCodes)
    if (lead >= run.lead0 && lead <= run.lead1 && trail >= run.trail0 && trail <= run.trail1) return true;
  return false;
}

TEST(CodePage, BothSystemsTablesAgreeOutsideThePrivateUseCodes) {
  int same = 0, privateUse = 0, refused = 0, other = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string wide = ansiToWide(code);
      const bool listed = isPrivateUseCode(lead, trail);
      if (listed && wide.size() == 1 && wide[0] >= 0xE000 && wide[0] <= 0xF8FF) {
        ++privateUse;
      } else if (listed && wide.size() == 2 && wide[0] == u'\uFFFD') {
        ++refused;
      } else if (!listed && wide.size() == 1 && wide[0] != 0xFFFD && wideToAnsi(wide) == code) {
        ++same;
      } else {
        ++other;
      }
    }
  }
  EXPECT_EQ(same, 21791);
  EXPECT_EQ(privateUse + refused, 2149);
  EXPECT_TRUE(privateUse == 0 || refused == 0) << "one table or the other, never a mix";
  EXPECT_EQ(other, 0);
}

}  // namespace
