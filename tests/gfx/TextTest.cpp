#include <gtest/gtest.h>

#include <pango/pangocairo.h>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/cairo/CairoHandles.h"

using namespace platform::gfx;

namespace {

struct InkBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};

InkBox inkOf(const Surface& s) {
  InkBox box;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (alphaOf(s.pixel(x, y)) > 40) {
        box.left = std::min(box.left, x), box.right = std::max(box.right, x);
        box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
      }
  return box;
}

std::string cjkFamily() { return resolveFamily("sans-serif:lang=zh-cn"); }

}  // namespace

TEST(GfxFonts, FamiliesSizesAndStableHeight) {
  EXPECT_EQ(Font::create("No Such Family Anywhere", 12), nullptr);
  EXPECT_EQ(Font::create("sans-serif", 0), nullptr);
  auto font = Font::create("sans-serif", 12, kFontStyleBold | kFontStyleUnderline);
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(font->underline());
  const float h = font->height();
  EXPECT_GT(h, 12.0f);
  EXPECT_LT(h, 20.0f);
  EXPECT_FLOAT_EQ(font->height(), h);
  EXPECT_FLOAT_EQ(Font::create("sans-serif", 12)->height(), h);
  EXPECT_GT(Font::create("sans-serif", 24)->height(), h * 1.7f);
  EXPECT_FALSE(resolveFamily("sans-serif").empty());
  EXPECT_TRUE(Font::familyExists(resolveFamily("sans-serif")));
}

TEST(GfxText, ChineseUsesARealFontWithoutMissingGlyphs) {
  auto font = Font::create("sans-serif", 14);
  ASSERT_NE(font, nullptr);
  Surface s = Surface::create(200, 40);
  Graphics g(s);
  const std::u16string text = u"请输入歌曲/歌手名";
  PangoLayout* layout = pango_cairo_create_layout(platform::gfx::cairoContextOf(g));
  const std::string utf8 = "请输入歌曲/歌手名";
  pango_layout_set_font_description(layout, platform::gfx::pangoDescriptionOf(*font));
  pango_layout_set_text(layout, utf8.c_str(), -1);
  EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0) << "family " << cjkFamily();
  g_object_unref(layout);

  g.drawString(text, font.get(), RectF{0, 0, 200, 40}, StringFormat::genericTypographic(), 0xFF000000);
  const InkBox ink = inkOf(s);
  ASSERT_FALSE(ink.empty());
  const RectF box = g.measureString(text, font.get(), RectF{0, 0, 200, 40}, StringFormat::genericTypographic());
  EXPECT_GT(box.width, 14 * 8);
  EXPECT_LE(ink.right, box.right() + 1);
  EXPECT_GE(ink.right, box.right() - 4);
}

TEST(GfxText, MeasuredWidthIsWhereDrawnTextEnds) {
  auto font = Font::create("sans-serif", 12);
  for (const std::u16string& text : {std::u16string(u"Hello, Tunora"), std::u16string(u"Mixed 中文 text")}) {
    Surface s = Surface::create(300, 30);
    Graphics g(s);
    const RectF layout{10, 5, 280, 20};
    const RectF box = g.measureString(text, font.get(), layout, StringFormat::genericTypographic());
    g.drawString(text, font.get(), layout, StringFormat::genericTypographic(), 0xFF000000);
    const InkBox ink = inkOf(s);
    ASSERT_FALSE(ink.empty());
    EXPECT_NEAR(box.x, 10, 0.01);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.left, 12);
    EXPECT_NEAR(ink.right + 1, box.right(), 2.5);
  }
}

TEST(GfxText, DefaultFormatPadsAndTrailingSpacesNeedTheirFlag) {
  auto font = Font::create("sans-serif", 12);
  const RectF layout{0, 0, 0, 0};
  const float plain = Graphics::measureDetached(u"abc", font.get(), layout, StringFormat::genericTypographic()).width;
  const float padded = Graphics::measureDetached(u"abc", font.get(), layout, StringFormat()).width;
  EXPECT_NEAR(padded - plain, 4.0f, 0.01f);
  EXPECT_FLOAT_EQ(Graphics::measureDetached(u"abc   ", font.get(), layout, StringFormat::genericTypographic()).width,
                  plain);
  StringFormat trailing = StringFormat::genericTypographic();
  trailing.flags |= kFlagMeasureTrailingSpaces;
  EXPECT_GT(Graphics::measureDetached(u"abc   ", font.get(), layout, trailing).width, plain + 6);
  EXPECT_EQ(Graphics::measureDetached(u"", font.get(), layout, trailing).width, 0);
  EXPECT_EQ(Graphics::measureDetached(u"abc", nullptr, layout, trailing).width, 0);
}

TEST(GfxText, AlignmentWrappingAndHotkeyPrefix) {
  auto font = Font::create("sans-serif", 12);
  StringFormat centred = StringFormat::genericTypographic();
  centred.alignment = kAlignCenter;
  centred.lineAlignment = kAlignCenter;
  const RectF layout{0, 0, 200, 100};
  const RectF box = Graphics::measureDetached(u"centre", font.get(), layout, centred);
  EXPECT_NEAR(box.x + box.width / 2, 100, 0.6);
  EXPECT_NEAR(box.y + box.height / 2, 50, 0.6);
  StringFormat far = StringFormat::genericTypographic();
  far.alignment = kAlignFar;
  EXPECT_NEAR(Graphics::measureDetached(u"right", font.get(), layout, far).right(), 200, 0.6);

  const std::u16string longText = u"one two three four five six seven eight nine ten";
  StringFormat wrapping = StringFormat::genericTypographic();
  const RectF narrow{0, 0, 60, 200};
  const float oneLine = font->height();
  EXPECT_GT(Graphics::measureDetached(longText, font.get(), narrow, wrapping).height, oneLine * 3);
  wrapping.flags |= kFlagNoWrap;
  EXPECT_FLOAT_EQ(Graphics::measureDetached(longText, font.get(), narrow, wrapping).height, oneLine);

  StringFormat hotkey = StringFormat::genericTypographic();
  hotkey.hotkeyPrefix = kHotkeyHide;
  const float withoutAmp = Graphics::measureDetached(u"Open", font.get(), RectF{}, hotkey).width;
  EXPECT_FLOAT_EQ(Graphics::measureDetached(u"&Open", font.get(), RectF{}, hotkey).width, withoutAmp);
  hotkey.hotkeyPrefix = kHotkeyNone;
  EXPECT_GT(Graphics::measureDetached(u"&Open", font.get(), RectF{}, hotkey).width, withoutAmp);
}

TEST(GfxText, CharacterRangesGrowAlongTheStringAndEndWithIt) {
  auto font = Font::create("sans-serif", 12);
  StringFormat format = StringFormat::genericTypographic();
  format.flags = kFlagNoWrap | kFlagMeasureTrailingSpaces;
  Surface s = Surface::create(10, 10);
  Graphics g(s);
  const std::u16string text = u"ab 中文 cd\U0001F600";
  const RectF layout{5, 0, 1000, 30};
  std::vector<std::pair<int, int>> ranges;
  for (int i = 1; i <= static_cast<int>(text.size()); ++i) ranges.emplace_back(0, i);
  const auto bounds = g.measureCharacterRanges(text, font.get(), layout, format, ranges);
  ASSERT_EQ(bounds.size(), ranges.size());
  for (std::size_t i = 1; i < bounds.size(); ++i) {
    EXPECT_GE(bounds[i].right(), bounds[i - 1].right()) << i;
    EXPECT_FLOAT_EQ(bounds[i].x, 5);
  }
  const RectF whole = g.measureString(text, font.get(), layout, format);
  EXPECT_NEAR(bounds.back().right(), whole.right(), 0.01);
  const std::pair<int, int> single[] = {{3, 1}, {99, 1}, {0, 0}};
  const auto one = g.measureCharacterRanges(text, font.get(), layout, format, single);
  EXPECT_GT(one[0].width, 6);
  EXPECT_EQ(one[1].width, 0);
  EXPECT_EQ(one[2].width, 0);
}
