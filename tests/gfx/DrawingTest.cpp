#include <limits>

#include <gtest/gtest.h>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/cairo/CairoHandles.h"

using namespace platform::gfx;

namespace {

int countPixels(const Surface& s, bool (*pred)(Argb)) {
  int n = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) n += pred(s.pixel(x, y)) ? 1 : 0;
  return n;
}

bool opaque(Argb c) { return alphaOf(c) == 255; }

}  // namespace

TEST(GfxFills, RectangleCoversWholePixelsAndSolidColour) {
  Surface s = Surface::create(20, 20);
  Graphics g(s);
  g.fillRectangle(Brush::solid(0xFF102030), RectF{2, 3, 9, 4});
  EXPECT_EQ(countPixels(s, opaque), 36);
  EXPECT_EQ(s.pixel(2, 3), 0xFF102030u);
  EXPECT_EQ(s.pixel(10, 6), 0xFF102030u);
  EXPECT_EQ(s.pixel(11, 6), 0u);
  EXPECT_EQ(s.pixel(10, 7), 0u);
}

TEST(GfxFills, VerticalGradientRunsTopToBottomAndReflectsOutside) {
  Surface s = Surface::create(4, 30);
  Graphics g(s);
  const RectF band{0, 0, 4, 10};
  g.fillRectangle(Brush::linearGradient(band, 0xFF000000, 0xFFFFFFFF, kGradientVertical, kWrapTileFlipXY),
                  RectF{0, 0, 4, 30});
  const int top = redOf(s.pixel(1, 0)), middle = redOf(s.pixel(1, 5)), bottom = redOf(s.pixel(1, 9));
  EXPECT_LT(top, 30);
  EXPECT_GT(bottom, 225);
  EXPECT_LT(top, middle);
  EXPECT_LT(middle, bottom);
  // Reflected below the band: darker again towards y = 20, then lighter.
  EXPECT_GT(redOf(s.pixel(1, 11)), redOf(s.pixel(1, 18)));
  EXPECT_LT(redOf(s.pixel(1, 21)), redOf(s.pixel(1, 28)));
  // Horizontal runs left to right.
  Surface h = Surface::create(10, 2);
  Graphics gh(h);
  gh.fillRectangle(Brush::linearGradient(RectF{0, 0, 10, 2}, 0xFFFF0000, 0xFF0000FF, kGradientHorizontal),
                   RectF{0, 0, 10, 2});
  EXPECT_GT(redOf(h.pixel(0, 0)), blueOf(h.pixel(0, 0)));
  EXPECT_LT(redOf(h.pixel(9, 0)), blueOf(h.pixel(9, 0)));
}

TEST(GfxStrokes, OnePixelLineCoversItsRowAndPolygonFills) {
  Surface s = Surface::create(12, 12);
  Graphics g(s);
  g.drawLine(Pen{0xFF00FF00, 1}, 1, 5, 10, 5);
  EXPECT_EQ(s.pixel(4, 5), 0xFF00FF00u);
  EXPECT_EQ(s.pixel(4, 4), 0u);
  EXPECT_EQ(s.pixel(4, 6), 0u);

  Surface t = Surface::create(12, 12);
  Graphics gt(t);
  const PointF triangle[] = {{0, 0}, {12, 0}, {0, 12}};
  gt.fillPolygon(Brush::solid(0xFFFFFFFF), triangle);
  EXPECT_EQ(t.pixel(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(t.pixel(10, 10), 0u);
}

TEST(GfxClipping, RectanglePathExcludeAndReset) {
  Surface s = Surface::create(10, 10);
  Graphics g(s);
  EXPECT_TRUE(g.setClip(RectF{2, 2, 3, 3}));
  g.clear(0xFFFF0000);
  EXPECT_EQ(countPixels(s, opaque), 9);
  EXPECT_TRUE(g.setClip(RectF{0, 0, 4, 4}, kCombineIntersect));
  g.fillRectangle(Brush::solid(0xFF0000FF), RectF{0, 0, 10, 10});
  EXPECT_EQ(s.pixel(3, 3), 0xFF0000FFu);
  EXPECT_EQ(s.pixel(4, 4), 0xFFFF0000u);
  EXPECT_FALSE(g.setClip(RectF{0, 0, 1, 1}, kCombineUnion));

  g.resetClip();
  Path hole;
  hole.addRectangle(RectF{0, 0, 5, 10});
  EXPECT_TRUE(g.setClip(hole, kCombineExclude));
  g.clear(0xFF00FF00);
  EXPECT_EQ(s.pixel(1, 1), 0u);
  EXPECT_EQ(s.pixel(7, 7), 0xFF00FF00u);
  EXPECT_EQ(s.pixel(3, 3), 0xFF0000FFu);
}

TEST(GfxImages, ConstantAlphaStretchAndSourceRectangle) {
  auto red = Image::createBitmap(4, 4);
  Graphics(*red).clear(0xFFFF0000);
  Surface s = Surface::create(8, 8);
  Graphics g(s);
  g.drawImage(*red, RectF{0, 0, 8, 8}, RectF{0, 0, 4, 4}, 0.5f);
  const Argb c = s.pixel(4, 4);
  EXPECT_NEAR(alphaOf(c), 128, 2);
  EXPECT_EQ(redOf(c), 255);

  // Only the source rectangle is used, and its edge does not bleed when stretched.
  auto halves = Image::createBitmap(2, 1);
  halves->setPixel(0, 0, 0xFF0000FF);
  halves->setPixel(1, 0, 0xFF00FF00);
  Surface t = Surface::create(10, 10);
  Graphics gt(t);
  gt.drawImage(*halves, RectF{0, 0, 10, 10}, RectF{1, 0, 1, 1});
  EXPECT_EQ(t.pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(t.pixel(9, 9), 0xFF00FF00u);
}

TEST(GfxSurfaces, CopyAndBlendBetweenSurfaces) {
  Surface a = Surface::create(6, 6);
  a.clear(0xFF0000FF);
  Surface b = Surface::create(6, 6);
  b.clear(0x00000000);
  b.copyFrom(a, 0, 0, 2, 3, 4, 3);
  EXPECT_EQ(b.pixel(4, 3), 0xFF0000FFu);
  EXPECT_EQ(b.pixel(5, 5), 0xFF0000FFu);
  EXPECT_EQ(b.pixel(3, 3), 0u);

  Surface white = Surface::create(6, 6);
  white.clear(0xFFFFFFFF);
  white.blendFrom(a, RectI{0, 0, 6, 6}, RectI{0, 0, 6, 6}, 51);
  const Argb mixed = white.pixel(2, 2);
  EXPECT_EQ(alphaOf(mixed), 255);
  EXPECT_NEAR(redOf(mixed), 204, 2);
  EXPECT_EQ(blueOf(mixed), 255);
  // Stride and pixel pointer describe the buffer the window host presents.
  EXPECT_GE(a.strideBytes(), 24);
  EXPECT_EQ(a.pixels()[0], 0xFF0000FFu);
}

TEST(GfxPaths, ZeroArcsMakeARectangleAndBoundsFollow) {
  Path p;
  p.addArc(1, 2, 0, 0, 180, 90);
  p.addArc(8, 2, 0, 0, 270, 90);
  p.addArc(8, 6, 0, 0, 0, 90);
  p.addArc(1, 6, 0, 0, 90, 90);
  p.closeFigure();
  const RectF b = p.bounds();
  EXPECT_FLOAT_EQ(b.x, 1);
  EXPECT_FLOAT_EQ(b.y, 2);
  EXPECT_FLOAT_EQ(b.width, 7);
  EXPECT_FLOAT_EQ(b.height, 4);
  Path circle;
  circle.addEllipse(RectF{0, 0, 10, 10});
  EXPECT_NEAR(circle.bounds().width, 10, 0.01);
}

TEST(GfxRobustness, BadNumbersAreIgnoredAndABrokenContextRecovers) {
  Surface s = Surface::create(10, 10);
  Graphics g(s);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  g.fillRectangle(Brush::solid(0xFFFFFFFF), RectF{0, 0, nan, 5});
  g.fillRectangle(Brush::solid(0xFFFFFFFF), RectF{inf, 0, 5, 5});
  g.drawLine(Pen{0xFFFFFFFF, 1}, 0, nan, 5, 5);
  Path broken;
  broken.addArc(0, 0, nan, 4, 0, 90);
  broken.addArc(0, 0, 4, 4, 0, 1e30f);
  g.fillPath(Brush::solid(0xFF00FF00), broken);
  auto img = Image::createBitmap(2, 2);
  g.drawImage(*img, RectF{0, 0, inf, 3}, RectF{0, 0, 2, 2});
  EXPECT_EQ(cairo_status(platform::gfx::cairoContextOf(g)), CAIRO_STATUS_SUCCESS);

  cairo_scale(platform::gfx::cairoContextOf(g), 0, 0);  // puts the context into an error state
  ASSERT_NE(cairo_status(platform::gfx::cairoContextOf(g)), CAIRO_STATUS_SUCCESS);
  g.fillRectangle(Brush::solid(0xFF0000FF), RectF{0, 0, 2, 2});
  EXPECT_EQ(s.pixel(1, 1), 0xFF0000FFu);
}

TEST(GfxRobustness, AContextRecoveredFromAnErrorKeepsItsClip) {
  // One surface shared by neighbours: each paints inside its own clip.
  Surface s = Surface::create(20, 10);
  Graphics g(s);
  Path round;
  round.addEllipse(RectF{10, 0, 10, 10});
  ASSERT_TRUE(g.setClip(RectF{10, 0, 10, 10}));
  ASSERT_TRUE(g.setClip(round, kCombineIntersect));
  // Arguments whose stretch factor overflows a float once broke the context.
  auto img = Image::createBitmap(2, 2);
  g.drawImage(*img, RectF{0, 0, 3e38f, 3e38f}, RectF{0, 0, 1e-30f, 1e-30f});
  cairo_scale(platform::gfx::cairoContextOf(g), 0, 0);  // and whatever else may still break it
  ASSERT_NE(cairo_status(platform::gfx::cairoContextOf(g)), CAIRO_STATUS_SUCCESS);
  g.fillRectangle(Brush::solid(0xFF0000FF), RectF{0, 0, 20, 10});
  EXPECT_EQ(s.pixel(2, 5), 0u);            // the neighbour on the left is untouched
  EXPECT_EQ(s.pixel(10, 0), 0u);           // outside the round part
  EXPECT_EQ(s.pixel(15, 5), 0xFF0000FFu);  // inside both
  g.resetClip();
  g.fillRectangle(Brush::solid(0xFF00FF00), RectF{0, 0, 1, 1});
  EXPECT_EQ(s.pixel(0, 0), 0xFF00FF00u);
}

TEST(GfxRobustness, AnOverflowingStretchIsRefusedBeforeItBreaksTheContext) {
  Surface s = Surface::create(10, 10);
  Graphics g(s);
  ASSERT_TRUE(g.setClip(RectF{0, 0, 5, 5}));
  auto img = Image::createBitmap(2, 2);
  g.drawImage(*img, RectF{0, 0, 3e38f, 3e38f}, RectF{0, 0, 1e-30f, 1e-30f});
  EXPECT_EQ(cairo_status(platform::gfx::cairoContextOf(g)), CAIRO_STATUS_SUCCESS);
}
