// Drawing and measuring as both drawing back ends must agree on it. Colours are checked
// away from shape edges, where smoothing may differ; pixel-exact checks live in the other
// gfx suites, which run where cairo draws.

#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/PreparedText.h"

using namespace platform::gfx;

namespace {

bool near(Argb a, Argb b, int tolerance = 3) {
  for (int shift : {0, 8, 16, 24}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

// Widths of "typographic" text in WenQuanYi Micro Hei at 16 px, measured where Pango lays
// text out; the other system must land within one unit of each.
struct Measured {
  const char16_t* text;
  float width;
};
constexpr Measured kWidths[] = {
    {u"Play", 29}, {u"Search songs", 91}, {u"歌曲搜索 你好", 100}, {u"03:45 / 12:07", 94},
};

}  // namespace

TEST(GfxBothSystems, FillsGradientsAndClipsLandInPlace) {
  Surface s = Surface::create(60, 40);
  Graphics g(s);
  g.clear(0xFFFFFFFF);
  g.fillRectangle(Brush::solid(0xFF2060A0), RectF{5, 5, 20, 10});
  EXPECT_TRUE(near(s.pixel(15, 10), 0xFF2060A0));
  EXPECT_TRUE(near(s.pixel(30, 10), 0xFFFFFFFF));
  g.fillRectangle(Brush::linearGradient(RectF{0, 20, 60, 10}, 0xFF000000, 0xFFFF0000, kGradientHorizontal),
                  RectF{0, 20, 60, 10});
  EXPECT_LT(redOf(s.pixel(5, 25)), redOf(s.pixel(30, 25)));
  EXPECT_LT(redOf(s.pixel(30, 25)), redOf(s.pixel(55, 25)));
  // A clamped gradient keeps its end colours beyond its rectangle (GDI+'s line brushes
  // cannot clamp by themselves).
  g.fillRectangle(Brush::linearGradient(RectF{20, 0, 20, 4}, 0xFF0000FF, 0xFFFF0000, kGradientHorizontal, kWrapClamp),
                  RectF{0, 0, 60, 4});
  EXPECT_TRUE(near(s.pixel(5, 2), 0xFF0000FF));
  EXPECT_TRUE(near(s.pixel(55, 2), 0xFFFF0000));
  EXPECT_GT(redOf(s.pixel(35, 2)), redOf(s.pixel(25, 2)) + 100);
  ASSERT_TRUE(g.setClip(RectF{40, 0, 20, 15}));
  g.fillEllipse(Brush::solid(0xFF00C000), RectF{30, 0, 30, 15});
  EXPECT_TRUE(near(s.pixel(50, 7), 0xFF00C000));
  EXPECT_TRUE(near(s.pixel(35, 7), 0xFFFFFFFF));  // inside the ellipse, outside the clip
  g.resetClip();
  // Clamped gradients (slider bars, list rows) fill too, though GDI+'s line brush cannot clamp.
  g.fillRectangle(Brush::linearGradient(RectF{0, 30, 60, 4}, 0xFF0000C0, 0xFF0000C0, kGradientHorizontal, kWrapClamp),
                  RectF{0, 30, 60, 4});
  EXPECT_TRUE(near(s.pixel(45, 32), 0xFF0000C0));
  g.drawLine(Pen{0xFF000000, 3}, 0, 36, 59, 36);
  EXPECT_TRUE(near(s.pixel(30, 36), 0xFF000000));
}

TEST(GfxBothSystems, ScaledSurfacesDrawInUnitsAndImagesBlendWithConstantAlpha) {
  Surface s = Surface::createScaled(20, 10, 2);
  ASSERT_EQ(s.width(), 40);
  Graphics g(s);
  g.fillRectangle(Brush::solid(0xFFFF0000), RectF{10, 0, 10, 10});
  EXPECT_TRUE(near(s.pixel(30, 10), 0xFFFF0000));
  EXPECT_EQ(s.pixel(10, 10), 0u);

  auto image = Image::createBitmap(4, 4);
  ASSERT_NE(image, nullptr);
  Graphics onImage(*image);
  onImage.clear(0xFF0000FF);
  Surface target = Surface::create(20, 20);
  Graphics t(target);
  t.clear(0xFFFFFFFF);
  t.drawImage(*image, RectF{0, 0, 20, 20}, RectF{0, 0, 4, 4}, 0.5f);
  EXPECT_TRUE(near(target.pixel(10, 10), 0xFF8080FF, 4));
}

TEST(GfxBothSystems, TextMeasuresAsOnTheOtherSystemAndDrawsInsideItsBounds) {
  auto font = Font::create("WenQuanYi Micro Hei", 16);
  ASSERT_NE(font, nullptr) << "the tests need WenQuanYi Micro Hei installed";
  const StringFormat& typographic = StringFormat::genericTypographic();
  for (std::size_t i = 0; i < std::size(kWidths); ++i) {
    const RectF r = Graphics::measureDetached(kWidths[i].text, font.get(), RectF{}, typographic);
    EXPECT_NEAR(r.width, kWidths[i].width, 1.0) << "string " << i;
  }
  Surface s = Surface::create(200, 40);
  Graphics g(s);
  g.clear(0xFFFFFFFF);
  const RectF box{10, 10, 180, 20};
  PreparedText text(g, u"Search songs", font.get(), box, typographic);
  ASSERT_TRUE(text.valid());
  const RectF b = text.bounds();
  const RectF second = text.rangeBounds(7, 5);  // "songs"
  EXPECT_GT(second.x, b.x + b.width / 2);
  EXPECT_LE(second.x + second.width, b.x + b.width + 1);
  text.draw(g, 0, 0, 0xFF000000);
  int inked = 0, outside = 0;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (redOf(s.pixel(x, y)) > 128) continue;
      const bool in = x >= b.x - 1 && x <= b.x + b.width + 1 && y >= b.y - 1 && y <= b.y + b.height + 1;
      (in ? inked : outside)++;
    }
  }
  EXPECT_GT(inked, 50);
  EXPECT_EQ(outside, 0);
}

// The default font's last resort: where the system lacks its generic sans family, a face
// with both scripts stands in. A missing glyph would draw the same box for both letters.
TEST(GfxBothSystems, TheGenericSansFamilyDrawsLatinAndChineseGlyphs) {
  auto font = Font::create("sans-serif", 16);
  ASSERT_NE(font, nullptr);
  auto drawn = [&font](const char16_t* text) {
    Surface s = Surface::create(40, 40);
    {
      Graphics g(s);
      g.clear(0xFFFFFFFF);
      g.drawString(text, font.get(), RectF{2, 2, 36, 36}, StringFormat{}, 0xFF000000);
    }
    std::vector<Argb> pixels(s.pixels(), s.pixels() + 40 * 40);
    return pixels;
  };
  const std::vector<Argb> blank(40 * 40, 0xFFFFFFFF);
  for (auto [a, b] : {std::pair{u"A", u"B"}, std::pair{u"中", u"文"}}) {
    const auto first = drawn(a);
    EXPECT_NE(first, blank);
    EXPECT_NE(first, drawn(b));
  }
}
