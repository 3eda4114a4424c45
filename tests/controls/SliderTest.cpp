// Sliders in a real window host on the headless desktop: which values they take, what
// clicks and drags report, what they draw, and the thumb's hover look.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExSlider.h"

using namespace controltest;
using ui::controls::ExSlider;
using ui::controls::SliderOptions;

namespace {

constexpr platform::gfx::Argb kGreen = 0xFF00FF00;
constexpr platform::gfx::Argb kRed = 0xFFFF0000;

resources::ExImage solid(platform::gfx::Argb colour) {
  const testpictures::Bytes bytes = testpictures::encodeSolid("png", 14, 14, colour);
  resources::ExImage image;
  image.LoadFromBytes(platform::system::ByteBlock(bytes.begin(), bytes.end()));
  return image;
}

int channel(platform::gfx::Argb c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// Bounds (20, 40, 200, 12): the track runs from x 29 for 182 pixels; the middle row is 46.
class Sliders : public HostFixture {
 protected:
  static constexpr int kTrackLeft = 29;
  static constexpr float kTrackWidth = 182;
  static constexpr int kMiddle = 46;

  void SetUp() override {
    HostFixture::SetUp();
    openHost(240, 100, plainOptions());
  }
  int create(ExSlider& s, SliderOptions options = {}) {
    const int id = s.create(hwnd, {20, 40, 200, 12}, std::move(options));
    s.setOnChange([this](int v) { reported.push_back(v); });
    desk->pump();
    return id;
  }
  static int xOf(float percent) { return kTrackLeft + static_cast<int>(std::lround(kTrackWidth * percent / 100)); }

  std::vector<int> reported;
};

TEST_F(Sliders, RefusesValuesOutsideTheRangeAndAnythingNotANumber) {
  ExSlider s;
  ASSERT_NE(create(s), 0);
  EXPECT_EQ(s.value(30), 30.0f);
  EXPECT_EQ(s.secondValue(70), 70.0f);
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {101.0, -1.0, 100.001, std::nan(""), inf, -inf, 1e30, -1e30, 0.0 / 0.0}) {
    EXPECT_EQ(s.value(bad), 30.0f) << bad;
    EXPECT_EQ(s.secondValue(bad), 70.0f) << bad;
  }
  // Within the tolerance, and kept inside 0..100.
  EXPECT_EQ(s.value(100.00000005), 100.0f);
  EXPECT_EQ(s.value(-0.00000005), 0.0f);
  EXPECT_EQ(s.secondValue(100), 100.0f);
  EXPECT_EQ(s.secondValue(0), 0.0f);
  EXPECT_TRUE(reported.empty());  // setting a value is not a change by the user
}

TEST_F(Sliders, CreationClampsItsValuesAndRaisesTheHeight) {
  ExSlider loud, broken, flat;
  SliderOptions options;
  options.value = 250;  // a stored volume beyond the range
  options.secondValue = -3;
  loud.create(hwnd, {10, 10, 100, 12}, options);
  EXPECT_EQ(loud.value(), 100.0f);
  EXPECT_EQ(loud.secondValue(), 0.0f);
  options.value = std::nan("");
  broken.create(hwnd, {10, 30, 100, 12}, options);
  EXPECT_EQ(broken.value(), 0.0f);
  flat.create(hwnd, {10, 60, 100, 7});
  EXPECT_EQ(flat.height(), ExSlider::kMinimumHeight);
}

TEST_F(Sliders, OnlyAChangeRepaints) {
  ExSlider s;
  create(s);
  desk->recordFrames(hwnd, true);
  s.value(40);
  ASSERT_EQ(desk->frames(hwnd).size(), 1u);
  s.value(40);
  s.value(101);
  s.value(std::nan(""));
  EXPECT_EQ(desk->frames(hwnd).size(), 1u);
  s.secondValue(40);
  EXPECT_EQ(desk->frames(hwnd).size(), 2u);
  s.secondValue(40);
  EXPECT_EQ(desk->frames(hwnd).size(), 2u);
  // The push covers the slider only.
  const pw::RECT dirty = desk->frames(hwnd).back().dirty;
  EXPECT_EQ(dirty.left, 20);
  EXPECT_EQ(dirty.top, 40);
  EXPECT_EQ(dirty.right, 220);
  EXPECT_EQ(dirty.bottom, 52);
}

TEST_F(Sliders, ClicksLeftAndRightOfTheTrackGiveTheEnds) {
  ExSlider s;
  create(s);
  desk->click(hwnd, 21, kMiddle);
  desk->pump();
  EXPECT_EQ(s.value(), 0.0f);
  desk->advance(1000);  // apart from the double-click time
  desk->click(hwnd, 218, kMiddle);
  desk->pump();
  EXPECT_EQ(s.value(), 100.0f);
  desk->advance(1000);
  desk->click(hwnd, 120, 41);  // the middle of the track, near the top edge
  desk->pump();
  EXPECT_EQ(s.value(), 50.0f);
  // A click reports even when the value stays.
  desk->advance(1000);
  desk->click(hwnd, 120, kMiddle);
  desk->pump();
  EXPECT_EQ(reported, (std::vector<int>{0, 100, 50, 50}));
}

TEST_F(Sliders, SpaceAndEnterOnTheFocusedSliderLeaveItsValueAlone) {
  ExSlider s;
  create(s);
  desk->click(hwnd, xOf(50), kMiddle);  // takes the focus
  desk->pump();
  ASSERT_TRUE(s.isFocused());
  desk->mouseMove(hwnd, 218, kMiddle);  // the pointer rests on the slider's far end
  desk->pressKey(hwnd, pw::VK_SPACE);
  desk->pressKey(hwnd, pw::VK_RETURN);
  desk->pressKey(hwnd, pw::VK_RIGHT);
  desk->pump();
  EXPECT_EQ(s.value(), 50.0f);
  EXPECT_EQ(reported, (std::vector<int>{50}));
}

TEST_F(Sliders, DraggingReportsEveryNewValueAlsoBeyondTheSlider) {
  ExSlider s;
  create(s);
  const int start = xOf(0);
  desk->mouseDown(hwnd, start, kMiddle);
  desk->pump();
  EXPECT_TRUE(s.hot());
  for (int x : {xOf(25), xOf(25), xOf(50), 235, 2}) {
    desk->mouseMove(hwnd, x, kMiddle + 30);  // well below the slider: the capture holds
    desk->pump();
  }
  EXPECT_EQ(reported, (std::vector<int>{25, 50, 100, 0}));  // the repeated place reports once
  desk->mouseMove(hwnd, xOf(75), kMiddle);
  desk->mouseUp(hwnd, xOf(75), kMiddle);
  desk->pump();
  // The release on the slider is a click too, and reports the place again.
  EXPECT_EQ(reported, (std::vector<int>{25, 50, 100, 0, 75, 75}));
  EXPECT_FLOAT_EQ(s.value(), 75.0f * std::lround(kTrackWidth * 0.75) / (kTrackWidth * 0.75));
  EXPECT_FALSE(window->captureActive());
}

TEST_F(Sliders, ANonInteractiveSliderIgnoresClicksAndDragsButTakesValues) {
  ExSlider s;
  SliderOptions options;
  options.interactive = false;
  options.value = 10;
  create(s, options);
  desk->click(hwnd, 200, kMiddle);
  desk->mouseDown(hwnd, xOf(10), kMiddle);
  desk->mouseMove(hwnd, xOf(80), kMiddle);
  desk->mouseUp(hwnd, xOf(80), kMiddle);
  desk->pump();
  EXPECT_EQ(s.value(), 10.0f);
  EXPECT_FALSE(s.hot());
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(s.value(90), 90.0f);
}

TEST_F(Sliders, DrawsTrackSecondBarGradientBarAndThumbInPlace) {
  ExSlider s;
  SliderOptions options;
  options.trackHeight = 8;
  options.value = 25;
  options.secondValue = 60;
  options.trackColor = 0xFF404040;
  options.trackBorderColor = 0xFF404040;
  options.secondColor = 0xFF808080;
  options.valueColorFrom = 0xFFFF0000;
  options.valueColorTo = 0xFF0000FF;
  options.thumbImage = solid(kGreen);
  options.thumbHotImage = solid(kRed);
  create(s, options);
  // Track rows 42..49; the bars are filled inside its outline.
  EXPECT_EQ(shown(xOf(80), kMiddle), 0xFF404040u);
  EXPECT_EQ(shown(xOf(45), kMiddle + 1), 0xFF808080u);
  // The value bar: red at its start, turning towards blue; lighter at the top (highlight).
  const platform::gfx::Argb low = shown(xOf(2), 48);
  const platform::gfx::Argb high = shown(xOf(2), 43);
  EXPECT_GT(channel(low, 16), 200);
  EXPECT_LT(channel(low, 0), 40);
  EXPECT_GT(channel(high, 8), channel(low, 8) + 15);
  EXPECT_GT(channel(shown(xOf(17), 48), 0), channel(low, 0));
  // The thumb: 12 x 12 (shrunk to the slider's height) centred on 25 %.
  const platform::gfx::RectF thumb = s.thumbRect();
  EXPECT_EQ(thumb.width, 12);
  EXPECT_EQ(thumb.height, 12);
  EXPECT_NEAR(thumb.x + thumb.width / 2, kTrackLeft + kTrackWidth * 0.25f, 1.0f);
  EXPECT_EQ(shown(static_cast<int>(thumb.x) + 1, 41), kGreen);
  EXPECT_EQ(shown(static_cast<int>(thumb.x) + 10, 50), kGreen);
  // Nothing outside the bounds, and the ends of the slider are background.
  EXPECT_EQ(shown(xOf(50), 39), kBackgroundArgb);
  EXPECT_EQ(shown(xOf(50), 52), kBackgroundArgb);
  EXPECT_EQ(shown(22, kMiddle), kBackgroundArgb);
  EXPECT_EQ(shown(217, kMiddle), kBackgroundArgb);
  // Moving the value moves the thumb and leaves no trace of it behind.
  s.value(90);
  const platform::gfx::Argb left = shown(static_cast<int>(thumb.x) + 6, kMiddle);
  EXPECT_GT(channel(left, 16), 150);  // the value bar, now
  EXPECT_LT(channel(left, 8), 100);
  EXPECT_EQ(shown(xOf(90), kMiddle), kGreen);
}

TEST_F(Sliders, BuiltInThumbShowsAndHoverFadesInTheHotOneWithTheHandCursor) {
  ExSlider builtIn;
  builtIn.create(hwnd, {20, 70, 200, 14});
  desk->pump();
  const platform::gfx::RectF b = builtIn.thumbRect();
  EXPECT_EQ(b.width, 14);
  EXPECT_NE(shown(static_cast<int>(b.x + 7), static_cast<int>(b.y + 7)), kBackgroundArgb);

  ExSlider s;
  SliderOptions options;
  options.value = 50;
  options.thumbImage = solid(kGreen);
  options.thumbHotImage = solid(kRed);
  create(s, options);
  const int cx = xOf(50);
  desk->mouseMove(hwnd, cx + 30, kMiddle);  // over the track, not the thumb
  desk->pump();
  EXPECT_FALSE(s.hot());
  EXPECT_EQ(desk->cursor(hwnd), pw::IDC_ARROW);
  desk->mouseMove(hwnd, cx, kMiddle);
  desk->pump();
  EXPECT_TRUE(s.hot());
  EXPECT_EQ(desk->cursor(hwnd), pw::IDC_HAND);
  // Red laid over green at 102/255, then 153, 204, 255; the tick after stops the fade.
  std::vector<int> reds;
  reds.push_back(channel(shown(cx, kMiddle), 16));
  for (int tick = 0; tick < 3; ++tick) {
    desk->advance(80);
    reds.push_back(channel(shown(cx, kMiddle), 16));
  }
  EXPECT_NEAR(reds[0], 102, 3);
  EXPECT_NEAR(reds[1], 153, 3);
  EXPECT_EQ(reds[3], 255);
  EXPECT_EQ(shown(cx, kMiddle), kRed);
  desk->advance(80);
  EXPECT_EQ(s.fade(), 0);
  EXPECT_EQ(shown(cx, kMiddle), kRed);
  // Leaving the slider brings the normal thumb back.
  desk->mouseMove(hwnd, cx, 90);
  desk->pump();
  desk->advance(400);
  EXPECT_FALSE(s.hot());
  EXPECT_EQ(shown(cx, kMiddle), kGreen);
}

TEST_F(Sliders, ATrackTooNarrowForTheThumbStillAnswersSensibly) {
  ExSlider s;
  s.create(hwnd, {100, 10, 10, 12});
  s.setOnChange([this](int v) { reported.push_back(v); });
  desk->click(hwnd, 101, 15);
  desk->pump();
  desk->advance(1000);
  desk->click(hwnd, 108, 15);
  desk->pump();
  EXPECT_EQ(reported, (std::vector<int>{0, 100}));
  s.value(50);
  window->redraw();  // draws without a track, and without crashing
}

}  // namespace
