#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/StringFormat.h"
#include "platform/text/CodePage.h"
#include "ui/framework/Colours.h"
#include "ui/framework/Fonts.h"
#include "ui/framework/Framework.h"
#include "ui/framework/WideText.h"
#include "ui/framework/WindowTable.h"

using namespace ui;

TEST(FrameworkBootstrap, StartFillsTheStateOnce) {
  start();
  FrameworkState& state = framework();
  EXPECT_TRUE(state.started);
  EXPECT_EQ(state.defaultInterval, 80);
  ASSERT_NE(state.defaultFont, nullptr);
  EXPECT_FLOAT_EQ(state.defaultFont->sizePx(), 12);
  EXPECT_EQ(state.defaultFont->style(), 0);
  EXPECT_EQ(state.captionSprite.GetWidth(), 729);
  EXPECT_EQ(state.captionSprite.GetHeight(), 20);
  // Cells are separated by fully transparent columns: 39 px close cells, then 28 px ones.
  for (int gap : {39, 79, 119, 148, 177, 148 + 29 * 20}) {
    for (int y = 0; y < 20; ++y) EXPECT_EQ(state.captionSprite.GetPixel(gap, y) >> 24, 0u) << gap;
  }
  EXPECT_GT(state.captionSprite.GetPixel(60, 0) >> 24, 0u);  // hovered close cell has a backdrop
  const Font* font = state.defaultFont.get();
  start();
  EXPECT_EQ(state.defaultFont.get(), font);
}

TEST(FrameworkBootstrap, DefaultFontFaceRules) {
  const std::string song = songTypefaceName();
  EXPECT_EQ(systemFontFaceFrom(std::nullopt), song);
  EXPECT_EQ(systemFontFaceFrom(std::string("Tahoma")), song);
  const std::string sans = platform::text::utf8ToAnsi(platform::gfx::resolveFamily("sans-serif"));
  EXPECT_EQ(systemFontFaceFrom(sans), sans);
  EXPECT_FALSE(systemFontFace(2).empty());
  // Neither face exists: no default font.
  EXPECT_EQ(chooseDefaultFont({"No Such Face A", "No Such Face B"}), nullptr);
  auto chosen = chooseDefaultFont({"No Such Face A", sans});
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(fontFamilyName(chosen.get()), sans);
}

TEST(FrameworkBootstrap, FontsByNameFallBackToTheDefaultFamily) {
  start();
  auto bold = createFontByName("No Such Face", 14, platform::gfx::kFontStyleBold);
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(bold->family(), framework().defaultFont->family());
  EXPECT_FLOAT_EQ(bold->sizePx(), 14);
  EXPECT_EQ(fontFamilyName(nullptr), "");
}

// A face that is missing, or the default font itself, must still draw Chinese glyphs (a font
// without them draws the same empty box for every character) and Latin ones.
TEST(FrameworkBootstrap, ChineseTextsDrawInAFontWithChineseGlyphs) {
  start();
  auto drawn = [](const platform::gfx::Font* font, std::u16string_view text) {
    platform::gfx::Surface s = platform::gfx::Surface::create(40, 30);
    platform::gfx::Graphics g(s);
    g.drawString(text, font, {2, 2, 36, 26}, platform::gfx::StringFormat::genericTypographic(),
                 0xFF000000);
    std::vector<std::uint32_t> alpha;
    for (int y = 0; y < s.height(); ++y) {
      for (int x = 0; x < s.width(); ++x) alpha.push_back(s.rawPixel(x, y) >> 24);
    }
    return alpha;
  };
  auto missing = createFontByName("No Such Face", 16, platform::gfx::kFontStyleRegular);
  for (const platform::gfx::Font* font : {framework().defaultFont.get(), missing.get()}) {
    ASSERT_NE(font, nullptr);
    const auto song = drawn(font, u"\u6B4C"), tune = drawn(font, u"\u66F2");
    EXPECT_GT(std::count_if(song.begin(), song.end(), [](std::uint32_t a) { return a > 128; }), 10) << font->family();
    EXPECT_NE(song, tune) << font->family();
    const auto latin = drawn(font, u"M");
    EXPECT_GT(std::count_if(latin.begin(), latin.end(), [](std::uint32_t a) { return a > 128; }), 10) << font->family();
  }
}

TEST(FrameworkConversions, ColoursAndWideText) {
  EXPECT_EQ(swapRedBlue(0x44332211u), 0x00112233u);
  EXPECT_EQ(argbFrom(0x00FF8800u, 255), 0xFE0088FFu);
  EXPECT_EQ(argbFrom(0x00FFFFFFu, 190), 0xBEFFFFFFu);
  EXPECT_EQ(argbFrom(0x000000FFu), 0xFEFF0000u);
  EXPECT_TRUE(isDarkColour(0xFF000000u));
  EXPECT_TRUE(isDarkColour(0xFFFF0000u));
  EXPECT_FALSE(isDarkColour(0xFFFFFF00u));
  EXPECT_FALSE(isDarkColour(0x00808080u));
  EXPECT_EQ(withAlpha(0xFE123456u, 30), 0x1E123456u);
  EXPECT_EQ(withAlpha(0x00123456u, 300), 0xFF123456u);
  EXPECT_EQ(withAlpha(0xFF123456u, -5), 0x00123456u);

  const std::string gbk = platform::text::utf8ToAnsi("歌曲 song");
  const std::u16string wide = toWide(gbk);
  EXPECT_EQ(wide, u"歌曲 song");
  EXPECT_EQ(fromWide(wide), gbk);
  EXPECT_EQ(toWide(std::string("ab\0cd", 5)), u"ab");
  EXPECT_EQ(toWide(""), u"");
}

TEST(WindowTableTest, IndicesStayStableWhenAWindowLeaves) {
  WindowTable table;
  auto* first = reinterpret_cast<WindowHandle>(0x10);
  auto* second = reinterpret_cast<WindowHandle>(0x20);
  auto a = std::make_unique<WindowEntry>();
  a->handle = first;
  ASSERT_TRUE(a->composed.recreate(40, 30, 1));
  auto b = std::make_unique<WindowEntry>();
  b->handle = second;
  EXPECT_EQ(table.append(std::move(a)), 1);
  EXPECT_EQ(table.append(std::move(b)), 2);
  EXPECT_EQ(table.at(1)->composed.pixels.width(), 40);
  EXPECT_NE(table.at(1)->composed.graphics, nullptr);
  EXPECT_EQ(table.indexOf(second), 2);
  table.remove(1);
  EXPECT_EQ(table.at(1), nullptr);
  EXPECT_EQ(table.at(2)->handle, second);
  EXPECT_EQ(table.indexOf(first), 0);
  EXPECT_EQ(table.at(0), nullptr);
  EXPECT_EQ(table.at(3), nullptr);
  EXPECT_EQ(table.append(std::make_unique<WindowEntry>()), 3);
}
