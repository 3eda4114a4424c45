#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/Framework.h"
#include "tests/support/TestPictures.h"

using namespace ui;
namespace gfx = platform::gfx;

namespace {

int opaqueCount(const gfx::Surface& s) {
  int n = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) n += (s.pixel(x, y) >> 24) == 0xFE || (s.pixel(x, y) >> 24) == 0xFF;
  return n;
}

// Left-most column and top-most row holding pixels of a colour.
std::pair<int, int> firstOf(const gfx::Surface& s, bool (*pred)(gfx::Argb)) {
  int left = 1 << 20, top = 1 << 20;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (pred(s.pixel(x, y))) left = std::min(left, x), top = std::min(top, y);
  return {left, top};
}

bool isRed(gfx::Argb c) { return gfx::alphaOf(c) > 100 && gfx::redOf(c) > 150 && gfx::greenOf(c) < 80; }
bool isBlack(gfx::Argb c) { return gfx::alphaOf(c) > 100 && gfx::redOf(c) < 80; }

}  // namespace

TEST(FrameworkPrimitives, FillRectLeavesOffTheLastRowAndColumn) {
  gfx::Surface s = gfx::Surface::create(20, 20);
  Graphics g(s);
  fillRect(g, makeRect(0, 0, 10, 10), argbFrom(0x000000FF, 255));
  EXPECT_EQ(opaqueCount(s), 81);
  EXPECT_EQ(s.pixel(8, 8), 0xFEFF0000u);
  EXPECT_EQ(s.pixel(9, 0), 0u);
}

TEST(FrameworkPrimitives, RoundedPathsAndRoundRects) {
  const gfx::RectF square = roundedPath(makeRect(2, 3, 10, 8), 0).bounds();
  EXPECT_FLOAT_EQ(square.x, 2);
  EXPECT_FLOAT_EQ(square.y, 3);
  EXPECT_FLOAT_EQ(square.right(), 11);
  EXPECT_FLOAT_EQ(square.bottom(), 10);
  const gfx::RectF clip = roundedClipPath(makeRect(2, 3, 10, 8), 4).bounds();
  EXPECT_NEAR(clip.right(), 12, 0.01);
  EXPECT_NEAR(clip.bottom(), 11, 0.01);

  gfx::Surface s = gfx::Surface::create(30, 30);
  Graphics g(s);
  drawRoundRect(g, makeRect(0, 0, 30, 30), 12, 0xFFFF0000u, 0xFF000000u);
  EXPECT_TRUE(isRed(s.pixel(15, 15)));
  EXPECT_EQ(s.pixel(0, 0) >> 24, 0u);      // the corner is cut away
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the border is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_TRUE(isBlack(s.pixel(15, 0)));    // border on the top edge
  EXPECT_TRUE(isBlack(s.pixel(0, 15)));

  // Clipping a picture to the rounded outline keeps its edges and cuts its corners.
  gfx::Surface t = gfx::Surface::create(30, 30);
  Graphics gt(t);
  setClipPath(gt, roundedClipPath(makeRect(0, 0, 30, 30), 12));
  gt.clear(0xFF00FF00);
  resetClip(gt);
  EXPECT_EQ(t.pixel(0, 0) >> 24, 0u);
  EXPECT_EQ(t.pixel(29, 15), 0xFF00FF00u);
  EXPECT_EQ(t.pixel(15, 29), 0xFF00FF00u);
}

TEST(FrameworkPrimitives, GradientLinesAndHitTests) {
  gfx::Surface s = gfx::Surface::create(4, 20);
  Graphics g(s);
  fillGradientRect(g, makeRect(0, 0, 4, 20), 0xFFFF0000u, 0xFF0000FFu);
  EXPECT_GT(gfx::redOf(s.pixel(0, 0)), 230);
  EXPECT_GT(gfx::blueOf(s.pixel(0, 19)), 230);
  drawLine(g, 0xFF00FF00u, 0, 10, 3, 10);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_EQ(s.pixel(2, 10), 0xFF00FF00u);

  const gfx::RectF r = makeRect(10, 10, 5, 5);
  EXPECT_TRUE(pointInRect(r, 10, 10));
  EXPECT_TRUE(pointInRect(r, 14.99f, 14.99f));
  EXPECT_FALSE(pointInRect(r, 15, 12));
  EXPECT_FALSE(pointInRect(r, 9.99f, 12));

  using gfx::RectI;
  auto same = [](RectI a, RectI b) { return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height; };
  EXPECT_TRUE(same(intersect({0, 0, 10, 10}, {5, -5, 10, 10}), {5, 0, 5, 5}));
  EXPECT_TRUE(same(intersect({0, 0, 10, 10}, {2, 2, 3, 3}), {2, 2, 3, 3}));
  EXPECT_TRUE(same(intersect({0, 0, 10, 10}, {10, 0, 5, 5}), {}));  // edges touch, no pixel shared
  EXPECT_TRUE(same(intersect({0, 0, 10, 10}, {3, 3, -4, 5}), {}));
}

TEST(FrameworkPrimitives, NineGridCornersKeepTheirSize) {
  // 30 x 30 picture: red 10-px frame around a blue centre.
  auto picture = gfx::Image::createBitmap(30, 30);
  {
    Graphics p(*picture);
    p.clear(0xFFFF0000);
    p.fillRectangle(gfx::Brush::solid(0xFF0000FF), gfx::RectF{10, 10, 10, 10});
  }
  gfx::Surface s = gfx::Surface::create(100, 60);
  Graphics g(s);
  g.setInterpolation(gfx::kInterpolationNearestNeighbor);
  drawNineGrid(g, *picture, makeRect(0, 0, 100, 60), NineGridMargins{10, 10, 10, 10});
  EXPECT_TRUE(isRed(s.pixel(9, 9)));
  EXPECT_TRUE(isRed(s.pixel(90, 50)));
  EXPECT_EQ(s.pixel(10, 10), 0xFF0000FFu);
  EXPECT_EQ(s.pixel(89, 49), 0xFF0000FFu);
  EXPECT_EQ(s.pixel(50, 30), 0xFF0000FFu);
  EXPECT_TRUE(isRed(s.pixel(50, 5)));
  EXPECT_TRUE(isRed(s.pixel(95, 30)));
  const NineGridMargins big = nineGridMarginsFor(300, 80);
  EXPECT_FLOAT_EQ(big.left, 100);
  EXPECT_FLOAT_EQ(big.top, 40);
}

TEST(FrameworkTextEffects, ShadowSitsOnePixelRightAndBelow) {
  start();
  const gfx::Font* font = framework().defaultFont.get();
  ASSERT_NE(font, nullptr);
  const std::string text = platform::text::utf8ToAnsi("Hi 歌");
  gfx::Surface plain = gfx::Surface::create(80, 30);
  Graphics gp(plain);
  drawText(gp, text, font, makeRect(5, 5, 70, 20), 0xFFFF0000u);
  gfx::Surface shadowed = gfx::Surface::create(80, 30);
  Graphics gs(shadowed);
  drawText(gs, text, font, makeRect(5, 5, 70, 20), 0xFFFF0000u, 0, kEffectShadow, 0xFF000000);
  const auto red = firstOf(plain, isRed);
  const auto shadow = firstOf(shadowed, isBlack);
  ASSERT_LT(red.first, 80);
  EXPECT_EQ(shadow.first, red.first + 1);
  EXPECT_EQ(shadow.second, red.second + 1);
  EXPECT_EQ(firstOf(shadowed, isRed), red);

  gfx::Surface raised = gfx::Surface::create(80, 30);
  Graphics gr(raised);
  drawText(gr, text, font, makeRect(5, 5, 70, 20), 0xFFFF0000u, 0, kEffectRaised, 0xFF000000);
  EXPECT_EQ(firstOf(raised, isBlack).first, red.first - 1);
}

TEST(FrameworkTextEffects, GlowSpreadsAroundTheTextAndDefaultColoursFollowTheText) {
  start();
  const gfx::Font* font = framework().defaultFont.get();
  gfx::Surface s = gfx::Surface::create(80, 30);
  Graphics g(s);
  drawText(g, "Glow", font, makeRect(10, 5, 60, 20), 0xFF000000u, 3, kEffectGlow, 0xFFFFFFFF);
  // Halo pixels: white-ish and translucent, beyond where black ink sits.
  int halo = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) {
      const gfx::Argb c = s.pixel(x, y);
      if (gfx::alphaOf(c) > 0 && gfx::redOf(c) > 200) ++halo;
    }
  EXPECT_GT(halo, 20);
  EXPECT_EQ(defaultEffectColour(0xFF000000u), 0x5AFFFFFFu);
  EXPECT_EQ(defaultEffectColour(0xFFFFFFFFu), 0x46000000u);

  const gfx::StringFormat centred = textFormatFor(4, 4096);
  EXPECT_EQ(centred.alignment, gfx::kAlignCenter);
  EXPECT_EQ(centred.lineAlignment, gfx::kAlignCenter);
  EXPECT_EQ(textFormatFor(2, 0).lineAlignment, gfx::kAlignNear);
  EXPECT_EQ(textFormatFor(2, 0).alignment, gfx::kAlignFar);
}

TEST(FrameworkTextMeasure, WithAndWithoutGraphicsAgree) {
  start();
  const gfx::Font* font = framework().defaultFont.get();
  gfx::Surface s = gfx::Surface::create(10, 10);
  Graphics g(s);
  const std::string text = platform::text::utf8ToAnsi("请输入歌曲/歌手名");
  const gfx::RectF a = measureText(&g, text, font, makeRect(0, 0, 400, 40));
  const gfx::RectF b = measureText(nullptr, text, font, makeRect(0, 0, 400, 40));
  EXPECT_FLOAT_EQ(a.width, b.width);
  EXPECT_GT(a.width, 9 * 11);
  EXPECT_EQ(measureText(&g, text, nullptr, makeRect(0, 0, 400, 40)).width, 0);
}
