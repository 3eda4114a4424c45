// A string laid out once must measure and draw exactly as the one-off calls do.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/PreparedText.h"

using namespace platform::gfx;

TEST(GfxPreparedText, MeasuresAndDrawsLikeTheOneOffCalls) {
  auto font = Font::create("sans-serif", 12);
  ASSERT_NE(font, nullptr);
  StringFormat format = StringFormat::genericTypographic();
  format.flags = kFlagNoWrap | kFlagMeasureTrailingSpaces | kFlagNoClip;
  const std::u16string text = u"Tunora \u5468\u6770\u4F26 abc  ";

  Surface a = Surface::create(200, 40), b = Surface::create(200, 40);
  Graphics ga(a), gb(b);
  const PreparedText prepared(ga, text, font.get(), RectF{}, format);
  ASSERT_TRUE(prepared.valid());
  const RectF whole = ga.measureString(text, font.get(), RectF{}, format);
  EXPECT_FLOAT_EQ(prepared.bounds().width, whole.width);
  EXPECT_FLOAT_EQ(prepared.bounds().height, whole.height);
  const std::pair<int, int> ranges[] = {{0, 1}, {7, 1}, {9, 2}, {static_cast<int>(text.size()) - 1, 1}};
  const auto oneOff = ga.measureCharacterRanges(text, font.get(), RectF{}, format, ranges);
  for (std::size_t i = 0; i < std::size(ranges); ++i) {
    const RectF r = prepared.rangeBounds(ranges[i].first, ranges[i].second);
    EXPECT_FLOAT_EQ(r.x, oneOff[i].x) << i;
    EXPECT_FLOAT_EQ(r.width, oneOff[i].width) << i;
    EXPECT_GT(r.width, 0) << i;  // trailing spaces are laid out too
  }

  // Drawn moved by (13, 9): the same pixels as drawing at that place, also under a clip.
  ga.setClip(RectF{20, 0, 90, 40});
  gb.setClip(RectF{20, 0, 90, 40});
  prepared.draw(ga, 13, 9, 0xFF000000);
  gb.drawString(text, font.get(), RectF{13, 9, whole.width, whole.height}, format, 0xFF000000);
  int inked = 0, differing = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) ++differing;
      if (alphaOf(a.pixel(x, y)) != 0) ++inked;
      if (x < 20 || x >= 110) {
        EXPECT_EQ(alphaOf(a.pixel(x, y)), 0u) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inked, 50);
  EXPECT_EQ(differing, 0);

  // Nothing to lay out with: empty answers, no drawing.
  const PreparedText none(ga, text, nullptr, RectF{}, format);
  EXPECT_FALSE(none.valid());
  EXPECT_EQ(none.rangeBounds(0, 1).width, 0);
  none.draw(ga, 0, 0, 0xFF000000);
}
