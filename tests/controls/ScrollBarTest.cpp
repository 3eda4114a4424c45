// Scroll bars on their own in a window host on the headless desktop: wheel steps and the
// range ends, keys, arrow repeat on the timer, thumb drags, showing only when needed, the
// fade.

#include <gtest/gtest.h>

#include <vector>

#include "tests/controls/ControlTestSupport.h"
#include "ui/controls/ExScrollBar.h"

using namespace controltest;
using ui::controls::ExScrollBar;

namespace {

class ScrollBars : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(200, 260, plainOptions());
  }
  // A vertical bar at (100, 20), 14 x 200: arrows of 14, a 172-pixel track.
  void make(int minimum, int maximum, int page, int pageStep, int lineStep = 1) {
    bar.create(hwnd, {100, 20, 14, 200}, true);
    bar.minimum(minimum);
    bar.maximum(maximum);
    bar.thumbSize(page);
    bar.pageStep(pageStep);
    bar.lineStep(lineStep);
    bar.position(minimum);
    bar.updateRange();
    bar.setOnScroll([this](int p) { heard.push_back(p); });
    window->redraw();
    desk->pump();
  }
  void wheel(int notches) {
    desk->wheel(hwnd, notches, 105, 100);
    desk->pump();
  }
  ExScrollBar bar;
  std::vector<int> heard;
};

TEST_F(ScrollBars, WheelStepsByPageAndStopsExactlyAtTheEnds) {
  make(0, 50, 10, 20);
  wheel(1);  // away from the user at the minimum: nothing moves, nobody hears
  EXPECT_EQ(bar.position(), 0);
  EXPECT_TRUE(heard.empty());
  for (int expected : {20, 40, 50, 50}) {
    wheel(-1);
    EXPECT_EQ(bar.position(), expected);
  }
  EXPECT_EQ(heard, (std::vector<int>{20, 40, 50}));
  for (int expected : {30, 10, 0, 0}) {
    wheel(1);
    EXPECT_EQ(bar.position(), expected);
  }
  // A message carrying three notches moves three pages, still clamped.
  wheel(-3);
  EXPECT_EQ(bar.position(), 50);
}

TEST_F(ScrollBars, KeysScrollTheFocusedBarByLineAndViewWithinTheEnds) {
  make(0, 100, 30, 10, 4);
  ASSERT_TRUE(window->focusControl(bar.id()));
  auto press = [this](int key) {
    desk->pressKey(hwnd, key);
    desk->pump();
    return bar.position();
  };
  EXPECT_EQ(press(pw::VK_UP), 0);
  EXPECT_EQ(press(pw::VK_DOWN), 4);
  EXPECT_EQ(press(pw::VK_RIGHT), 8);
  EXPECT_EQ(press(pw::VK_LEFT), 4);
  EXPECT_EQ(press(pw::VK_NEXT), 30);  // a view of 30 less the line kept in sight
  EXPECT_EQ(press(pw::VK_PRIOR), 4);
  EXPECT_EQ(press(pw::VK_END), 100);
  EXPECT_EQ(press(pw::VK_NEXT), 100);
  EXPECT_EQ(press(pw::VK_HOME), 0);
  EXPECT_EQ(heard, (std::vector<int>{4, 8, 4, 30, 4, 100, 0}));
}

TEST_F(ScrollBars, HeldArrowRepeatsEveryTickUntilReleasedOrLeft) {
  make(0, 100, 10, 20, 3);
  desk->mouseDown(hwnd, 105, 210);  // the lower arrow
  desk->pump();
  EXPECT_EQ(bar.pressedPart(), ExScrollBar::kSecondArrow);
  EXPECT_EQ(bar.position(), 3);
  desk->advance(80);
  EXPECT_EQ(bar.position(), 6);
  desk->advance(160);
  EXPECT_EQ(bar.position(), 12);
  // Off the arrow the repeat pauses; back on it, it goes on.
  desk->mouseMove(hwnd, 105, 100);
  desk->pump();
  desk->advance(160);
  EXPECT_EQ(bar.position(), 12);
  desk->mouseMove(hwnd, 105, 212);
  desk->pump();
  desk->advance(80);
  EXPECT_EQ(bar.position(), 15);
  desk->mouseUp(hwnd, 105, 212);
  desk->pump();
  desk->advance(800);
  EXPECT_EQ(bar.position(), 15);
  // The upper arrow steps back and stops at the minimum.
  desk->mouseDown(hwnd, 105, 25);
  desk->pump();
  desk->advance(80 * 10);
  EXPECT_EQ(bar.position(), 0);
  desk->mouseUp(hwnd, 105, 25);
  desk->pump();
  EXPECT_EQ(heard.back(), 0);
}

TEST_F(ScrollBars, HidingTheBarStopsAHeldArrow) {
  make(0, 100, 10, 20, 1);
  desk->mouseDown(hwnd, 105, 210);
  desk->pump();
  bar.visible(0);
  desk->advance(400);
  bar.visible(1);
  desk->advance(400);
  EXPECT_EQ(bar.position(), 1);
  EXPECT_EQ(bar.pressedPart(), 0);
}

TEST_F(ScrollBars, AHeldArrowStopsWhenTheCaptureIsTakenAway) {
  make(0, 100, 10, 20, 1);
  desk->mouseDown(hwnd, 105, 210);
  desk->pump();
  desk->advance(160);
  ASSERT_EQ(bar.position(), 3);
  desk->deactivateWindow(hwnd);
  desk->pump();
  desk->advance(800);
  EXPECT_EQ(bar.position(), 3);
  EXPECT_EQ(bar.pressedPart(), 0);
  EXPECT_EQ(bar.hoveredPart(), 0);
}

TEST_F(ScrollBars, ThumbDragMapsThePointerAlongTheTrackAndClamps) {
  make(0, 1000, 100, 20);
  const platform::gfx::RectF thumb = bar.partRect(ExScrollBar::kThumb);
  EXPECT_FLOAT_EQ(thumb.height, 30);  // the proportional 15.6 px is raised to the minimum
  EXPECT_FLOAT_EQ(thumb.y, 34);
  desk->mouseDown(hwnd, 105, 40);  // 6 px into the thumb
  desk->pump();
  EXPECT_EQ(bar.pressedPart(), ExScrollBar::kThumb);
  EXPECT_EQ(bar.position(), 0);
  desk->mouseMove(hwnd, 105, 40 + 71);  // half of the 142 px of room
  desk->pump();
  EXPECT_EQ(bar.position(), 500);
  EXPECT_FLOAT_EQ(bar.partRect(ExScrollBar::kThumb).y, 34 + 71);
  desk->mouseMove(hwnd, 105, 255);  // past the end
  desk->pump();
  EXPECT_EQ(bar.position(), 1000);
  desk->mouseMove(hwnd, 105, 2);  // above the start
  desk->pump();
  EXPECT_EQ(bar.position(), 0);
  desk->mouseUp(hwnd, 105, 2);
  desk->pump();
  desk->mouseMove(hwnd, 105, 150);
  desk->pump();
  EXPECT_EQ(bar.position(), 0);  // released: moves no longer drag
  EXPECT_EQ(heard, (std::vector<int>{500, 1000, 0}));
  // A press on the track pages toward the press.
  desk->click(hwnd, 105, 150);
  desk->pump();
  EXPECT_EQ(bar.position(), 20);
}

TEST_F(ScrollBars, ShownOnlyWhileTheRangeNeedsItAndPositionFollowsTheRange) {
  make(0, 0, 100, 20);
  EXPECT_EQ(bar.visible(), 0);
  bar.maximum(300);
  bar.updateRange();
  EXPECT_EQ(bar.visible(), 1);
  bar.position(250);
  bar.maximum(120);
  bar.updateRange();
  EXPECT_EQ(bar.position(), 120);
  EXPECT_EQ(heard, (std::vector<int>{120}));  // the owner learns of the clamp
  bar.updateRange(false);  // the owner is hidden
  EXPECT_EQ(bar.visible(), 0);
  bar.updateRange(true);
  EXPECT_EQ(bar.visible(), 1);
  bar.maximum(-5);  // upside down: pinned to the minimum, hidden
  bar.updateRange();
  EXPECT_EQ(bar.position(), 0);
  EXPECT_EQ(bar.visible(), 0);
}

TEST_F(ScrollBars, HoverFadesInOverTicksOfTheTimerThenStops) {
  make(0, 1000, 100, 20);
  const int x = 107, y = 48;  // inside the thumb
  const auto red = [&] { return (shown(x, y) >> 16) & 0xFF; };
  const unsigned before = red();
  desk->mouseMove(hwnd, x, y);
  desk->pump();
  EXPECT_EQ(bar.hoveredPart(), ExScrollBar::kThumb);
  std::vector<unsigned> levels{red()};
  for (int tick = 0; tick < 4; ++tick) {
    desk->advance(80);
    levels.push_back(red());
  }
  EXPECT_GT(levels.front(), before);
  EXPECT_EQ(levels[4], levels[3]);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_GT(levels[i], levels[i - 1]) << i;
  EXPECT_EQ(bar.fade(), 0);
  const int presents = desk->presentCount(hwnd);
  desk->advance(400);
  EXPECT_EQ(desk->presentCount(hwnd), presents);  // the timer has stopped
}

}  // namespace
