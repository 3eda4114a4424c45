// Labels in a real window host on the headless desktop: backgrounds (swatches, gradients,
// transparent ends, none), borders, text and glow read back from the shown pixels, the
// setters' repaints, bad texts, and that a label leaves the mouse to its window.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExLabel.h"

using namespace controltest;
using ui::controls::ExLabel;
using ui::controls::LabelOptions;
using platform::gfx::Argb;
using platform::gfx::RectF;

namespace {

constexpr Argb kRed = 0xFFFF0000;
constexpr Argb kBlue = 0xFF0000FF;
constexpr Argb kWhite = 0xFFFFFFFF - 0x01000000;  // opaque white is stored as alpha 254

int channel(Argb c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

bool near(Argb a, Argb b, int tolerance = 3) {
  for (int shift : {0, 8, 16, 24}) {
    if (std::abs(channel(a, shift) - channel(b, shift)) > tolerance) return false;
  }
  return true;
}

class Labels : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(240, 160, plainOptions());
  }

  // Pixels of the area that differ from the window background.
  int ink(RectF area) const {
    int count = 0;
    for (int y = static_cast<int>(area.y); y < static_cast<int>(area.bottom()); ++y) {
      for (int x = static_cast<int>(area.x); x < static_cast<int>(area.right()); ++x) {
        if (!near(shown(x, y), kBackgroundArgb, 8)) ++count;
      }
    }
    return count;
  }

  // The lowest row with ink in the area, -1 when none.
  int lowestInkRow(RectF area) const {
    for (int y = static_cast<int>(area.bottom()) - 1; y >= static_cast<int>(area.y); --y) {
      if (ink(RectF{area.x, static_cast<float>(y), area.width, 1}) > 0) return y;
    }
    return -1;
  }

  static LabelOptions swatch(Argb colour) {
    LabelOptions o;
    o.fillMode = 1;
    o.fillFrom = colour;
    o.fillTo = colour;
    return o;
  }
};

TEST_F(Labels, SwatchFillsExactlyItsBoundsAndNoFillShowsTheWindowBehind) {
  ExLabel label;
  ASSERT_NE(label.create(hwnd, "", {20, 20, 40, 30}, swatch(kRed)), 0);
  EXPECT_EQ(shown(20, 20), kRed);
  EXPECT_EQ(shown(59, 49), kRed);
  EXPECT_EQ(shown(40, 35), kRed);
  EXPECT_EQ(shown(19, 20), kBackgroundArgb);
  EXPECT_EQ(shown(60, 49), kBackgroundArgb);
  EXPECT_EQ(shown(40, 50), kBackgroundArgb);

  label.fillFrom(kBlue);
  label.fillTo(kBlue);
  EXPECT_EQ(shown(40, 35), kBlue);

  EXPECT_EQ(label.fillMode(-1), -1);
  EXPECT_EQ(shown(20, 20), kBackgroundArgb);
  EXPECT_EQ(shown(40, 35), kBackgroundArgb);
  EXPECT_EQ(ink({20, 20, 40, 30}), 0);
}

TEST_F(Labels, GradientRunsInItsDirectionAndATransparentEndLetsTheWindowThrough) {
  LabelOptions o;
  o.fillMode = 1;  // top to bottom
  o.fillFrom = kRed;
  o.fillTo = kBlue;
  ExLabel vertical;
  vertical.create(hwnd, "", {10, 10, 20, 100}, o);
  EXPECT_TRUE(near(shown(20, 10), kRed, 8));
  EXPECT_TRUE(near(shown(20, 109), kBlue, 8));
  EXPECT_TRUE(near(shown(10, 60), shown(29, 60), 1));  // constant along a row

  o.fillMode = 0;  // left to right
  o.fillFrom = ui::controls::kTransparentFill;
  ExLabel horizontal;
  horizontal.create(hwnd, "", {50, 10, 100, 20}, o);
  EXPECT_TRUE(near(shown(50, 20), kBackgroundArgb, 8));
  EXPECT_TRUE(near(shown(149, 20), kBlue, 8));

  // A mode that names no direction fills nothing.
  o.fillMode = 9;
  ExLabel odd;
  odd.create(hwnd, "", {160, 10, 20, 20}, o);
  EXPECT_EQ(ink({160, 10, 20, 20}), 0);
}

TEST_F(Labels, BorderShowsAroundAnOpaqueFill) {
  LabelOptions o = swatch(kRed);
  o.borderColour = kWhite;
  ExLabel label;
  label.create(hwnd, "", {20, 20, 40, 30}, o);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the border is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_TRUE(near(shown(20, 20), kWhite));
  EXPECT_TRUE(near(shown(59, 49), kWhite));
  EXPECT_TRUE(near(shown(40, 20), kWhite));
  EXPECT_EQ(shown(40, 35), kRed);
  EXPECT_EQ(shown(21, 21), kRed);
}

TEST_F(Labels, TextStaysInsideTheInsetAndLineBreaksMakeASecondLine) {
  LabelOptions o;
  o.alignment = 0;  // top left
  o.textColour = 0xFFFFFFFF;
  ExLabel one, two;
  one.create(hwnd, "Hello", {10, 10, 100, 60}, o);
  two.create(hwnd, "Hello\r\nworld", {120, 10, 100, 60}, o);
  EXPECT_GT(ink({12, 12, 96, 56}), 20);
  // Two pixels of margin on every side stay clear.
  EXPECT_EQ(ink({10, 10, 100, 2}), 0);
  EXPECT_EQ(ink({10, 10, 2, 60}), 0);
  const int oneBottom = lowestInkRow({10, 10, 100, 60});
  const int twoBottom = lowestInkRow({120, 10, 100, 60});
  ASSERT_GT(oneBottom, 0);
  EXPECT_GT(twoBottom, oneBottom + 8);

  // Centred text (code 4) lies around the middle.
  LabelOptions centred;
  centred.alignment = 4;
  centred.textColour = 0xFFFFFFFF;
  ExLabel middle;
  middle.create(hwnd, "iii", {10, 80, 200, 60}, centred);
  EXPECT_EQ(ink({10, 80, 80, 60}), 0);
  EXPECT_EQ(ink({130, 80, 80, 60}), 0);
  EXPECT_GT(ink({90, 80, 40, 60}), 0);
}

TEST_F(Labels, GlowAddsAHaloAroundTheText) {
  LabelOptions o;
  o.textColour = 0xFF000000;
  ExLabel plain, glowing;
  plain.create(hwnd, "Glow", {10, 10, 100, 40}, o);
  o.glow = true;
  glowing.create(hwnd, "Glow", {120, 10, 100, 40}, o);
  const int plainInk = ink({10, 10, 100, 40});
  const int glowInk = ink({120, 10, 100, 40});
  EXPECT_GT(plainInk, 10);
  EXPECT_GT(glowInk, plainInk + 20);
  // The halo of black text is light.
  bool lighter = false;
  for (int y = 10; y < 50 && !lighter; ++y) {
    for (int x = 120; x < 220 && !lighter; ++x) {
      if (channel(shown(x, y), 16) > channel(kBackgroundArgb, 16) + 20) lighter = true;
    }
  }
  EXPECT_TRUE(lighter);
  // Turned off, it goes with the next paint.
  EXPECT_EQ(glowing.glow(0), 0);
  glowing.redraw();
  EXPECT_EQ(ink({120, 10, 100, 40}), plainInk);
}

TEST_F(Labels, SettersRepaintAndAnOwnFontIsUsed) {
  LabelOptions o;
  o.alignment = 0;
  o.textColour = 0xFFFFFFFF;
  ExLabel label;
  label.create(hwnd, "", {10, 10, 200, 60}, o);
  EXPECT_EQ(ink({10, 10, 200, 60}), 0);
  EXPECT_EQ(label.text(std::string("Words")), "Words");
  const int white = ink({10, 10, 200, 60});
  EXPECT_GT(white, 10);
  label.setTextColour(kRed);
  bool red = false;
  for (int y = 10; y < 70 && !red; ++y) {
    for (int x = 10; x < 210 && !red; ++x) red = near(shown(x, y), kRed, 40);
  }
  EXPECT_TRUE(red);

  LabelOptions big = o;
  big.fontSize = 28.0f;
  ExLabel large;
  large.create(hwnd, "Words", {10, 80, 200, 60}, big);
  ASSERT_NE(large.font(), nullptr);
  EXPECT_NE(large.font(), label.font());
  EXPECT_GT(lowestInkRow({10, 80, 200, 60}) - 80, lowestInkRow({10, 10, 200, 60}) - 10 + 8);
}

TEST_F(Labels, EmptyHugeAndCutTextsDrawWithoutFault) {
  LabelOptions o;
  o.textColour = 0xFFFFFFFF;
  ExLabel empty, huge, cut, wrapped;
  empty.create(hwnd, "", {10, 10, 60, 30}, o);
  std::string many;
  for (int i = 0; i < 10000; ++i) many.push_back(i % 7 == 6 ? ' ' : static_cast<char>('a' + i % 26));
  huge.create(hwnd, many, {80, 10, 60, 30}, o);
  LabelOptions wrapping = o;
  wrapping.formatFlags = 0;
  wrapped.create(hwnd, many, {10, 60, 60, 30}, wrapping);
  // "你好" in GBK with the second character cut after its lead byte.
  cut.create(hwnd, "\xC4\xE3\xBA", {150, 10, 60, 30}, o);
  window->redraw();
  EXPECT_EQ(ink({10, 10, 60, 30}), 0);
  EXPECT_GT(ink({80, 10, 60, 30}), 50);
  EXPECT_EQ(ink({80, 41, 60, 10}), 0);  // clipped to its bounds
  EXPECT_GT(ink({150, 10, 60, 30}), 0);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "Wine's GDI+ draws nothing of a 10 000-character text wrapped into a small box";
  EXPECT_GT(ink({10, 60, 60, 30}), 50);
  EXPECT_EQ(ink({10, 91, 60, 10}), 0);
  EXPECT_EQ(huge.text().size(), 10000u);
}

TEST_F(Labels, APressOnALabelIsAPressOnTheWindow) {
  ExLabel label;
  label.create(hwnd, "Drag me", {20, 20, 100, 30}, swatch(kRed));
  desk->mouseDown(hwnd, 40, 30);
  desk->pump();
  EXPECT_EQ(window->pressedControl(), 0);
  EXPECT_EQ(window->focusedControl(), 0);
  EXPECT_TRUE(desk->moveDragActive(hwnd));
  desk->mouseUp(hwnd, 40, 30);
  desk->pump();
}

}  // namespace
