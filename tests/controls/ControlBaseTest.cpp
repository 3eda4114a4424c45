// The control base inside a real window host on the headless desktop: identity,
// visibility, the redraw gate, moving, stacking, the paint clip and the tooltip.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "platform/window/DesktopServices.h"
#include "tests/controls/ControlTestSupport.h"
#include "ui/framework/ControlList.h"

using namespace controltest;

namespace {

constexpr platform::gfx::Argb kRed = 0xFFD02020;
constexpr platform::gfx::Argb kBlue = 0xFF2040D0;
constexpr platform::gfx::Argb kGreen = 0xFF20B040;

class ControlBase : public HostFixture {};

LPARAM at(int x, int y) { return static_cast<LPARAM>((y << 16) | (x & 0xFFFF)); }

TEST_F(ControlBase, CreatingTwiceKeepsTheFirstIdAndIdsFillGaps) {
  openHost(200, 150, plainOptions());
  FlatControl a(kRed), b(kBlue), c(kGreen);
  EXPECT_EQ(a.create(hwnd, {10, 10, 20, 20}), 1);
  EXPECT_EQ(a.create(hwnd, {60, 60, 20, 20}), 1);
  EXPECT_EQ(ui::controlList(a.windowIndex())->size(), 1u);
  EXPECT_FLOAT_EQ(a.bounds().x, 10);  // the second create changed nothing
  EXPECT_EQ(b.create(hwnd, {40, 10, 20, 20}), 2);
  {
    FlatControl gone(kGreen);
    EXPECT_EQ(gone.create(hwnd, {70, 10, 20, 20}), 3);
  }
  EXPECT_EQ(c.create(hwnd, {70, 10, 20, 20}), 3);
  EXPECT_TRUE(a.exists());
  EXPECT_EQ(a.windowIndex(), window->windowIndex());
}

TEST_F(ControlBase, AControlNeverCreatedAnswersZeroAndDoesNothing) {
  openHost(200, 150, plainOptions());
  FlatControl never(kRed);
  EXPECT_FALSE(never.exists());
  EXPECT_EQ(never.left(30), 0);
  EXPECT_EQ(never.width(), 0);
  EXPECT_EQ(never.visible(1), 0);
  EXPECT_EQ(never.enabled(1), 0);
  EXPECT_EQ(never.locked(1), 0);
  EXPECT_EQ(never.cursor(), 0);
  EXPECT_FALSE(never.isFocused());
  EXPECT_TRUE(never.bounds().empty());
  EXPECT_TRUE(never.invalidate());
  never.redraw();
  never.move(1, 2, 3, 4);
  never.reorder(1);
  never.tip(std::string("tip"), true);
  EXPECT_EQ(never.paints, 0);
  EXPECT_TRUE(ui::controlList(window->windowIndex())->empty());
}

TEST_F(ControlBase, HidingShowsWhatLiesBelowAndShowingPaintsAgain) {
  openHost(200, 150, plainOptions());
  FlatControl below(kRed), above(kBlue);
  below.create(hwnd, {20, 20, 60, 60});
  above.create(hwnd, {50, 50, 60, 60});
  window->redraw();
  EXPECT_EQ(shown(60, 60), kBlue);
  EXPECT_EQ(above.visible(0), 0);
  EXPECT_EQ(above.notes.back(), ui::kMsgHidden);  // heard although already hidden
  EXPECT_EQ(shown(60, 60), kRed);                   // the control below
  EXPECT_EQ(shown(100, 100), kBackgroundArgb);      // and the background
  // A hidden control is not hit: the press goes through to the window.
  desk->click(hwnd, 100, 100);
  desk->pump();
  EXPECT_EQ(std::count(above.notes.begin(), above.notes.end(), pw::WM_LBUTTONDOWN), 0);

  const int paintsBefore = above.paints;
  EXPECT_EQ(above.visible(1), 1);
  EXPECT_EQ(above.notes.back(), ui::kMsgShown);
  EXPECT_GT(above.paints, paintsBefore);
  EXPECT_EQ(shown(60, 60), kBlue);
  EXPECT_EQ(shown(100, 100), kBlue);
}

TEST_F(ControlBase, RedrawIsIgnoredWhileSuspendedAndResumingDoesNotPaint) {
  openHost(200, 150, plainOptions());
  FlatControl c(kRed);
  c.create(hwnd, {20, 20, 40, 40});
  window->redraw();
  EXPECT_EQ(c.redrawFlag(), 1);
  const int paints = c.paints;
  const int presents = desk->presentCount(hwnd);
  c.suspendRedraw();
  c.setColour(kBlue);
  c.redraw();
  EXPECT_EQ(c.paints, paints);
  EXPECT_EQ(desk->presentCount(hwnd), presents);
  EXPECT_EQ(shown(30, 30), kRed);
  c.resumeRedraw();
  EXPECT_EQ(c.paints, paints);
  EXPECT_EQ(shown(30, 30), kRed);
  c.redraw();
  EXPECT_EQ(c.paints, paints + 1);
  EXPECT_EQ(shown(30, 30), kBlue);
  // invalidate repaints whatever the flag says.
  c.redrawFlag(0);
  c.setColour(kGreen);
  c.invalidate();
  EXPECT_EQ(shown(30, 30), kGreen);
}

TEST_F(ControlBase, MovingRepaintsTheOldAndTheNewArea) {
  openHost(200, 150, plainOptions());
  FlatControl c(kRed);
  c.create(hwnd, {20, 20, 30, 30});
  window->redraw();
  EXPECT_EQ(c.left(100), 100);
  EXPECT_EQ(shown(25, 25), kBackgroundArgb);
  EXPECT_EQ(shown(105, 25), kRed);
  EXPECT_EQ(c.width(10), 10);
  EXPECT_EQ(shown(115, 25), kBackgroundArgb);
  EXPECT_EQ(c.top(60), 60);
  EXPECT_EQ(c.height(5), 5);
  const platform::gfx::RectF b = c.bounds();
  EXPECT_EQ((std::array<float, 4>{b.x, b.y, b.width, b.height}), (std::array<float, 4>{100, 60, 10, 5}));
  // The host's record follows, so hit tests find it where it is now.
  EXPECT_EQ(ui::hitTest(c.windowIndex(), at(105, 62)), c.controlIndex());
  EXPECT_EQ(shown(105, 62), kRed);
  // Far off the window and back: nothing breaks, and it shows again.
  c.move(1e12f, -1e12f, 1e12f, std::nullopt);
  EXPECT_EQ(shown(105, 62), kBackgroundArgb);
  c.move(100, 60, 10, std::nullopt);
  EXPECT_EQ(shown(105, 62), kRed);
  // Without repaint only the numbers change.
  c.move(10, 10, std::nullopt, std::nullopt, false);
  EXPECT_EQ(shown(105, 62), kRed);
  EXPECT_EQ(shown(12, 12), kBackgroundArgb);
}

TEST_F(ControlBase, PaintingStaysInsideTheControlAndStackingFollowsTheList) {
  openHost(200, 150, plainOptions());
  FlatControl first(kRed, true), second(kBlue), third(kGreen, true);
  first.create(hwnd, {20, 20, 40, 40});
  second.create(hwnd, {50, 20, 40, 40});
  third.create(hwnd, {120, 20, 20, 20});
  window->redraw();
  EXPECT_EQ(shown(10, 30), kBackgroundArgb);  // first's spill stays off the background
  EXPECT_EQ(shown(55, 30), kBlue);            // and off the control above it
  EXPECT_EQ(shown(100, 30), kBackgroundArgb);
  EXPECT_EQ(shown(115, 30), kBackgroundArgb);  // third's spill
  // A repaint of the lower control alone must not cover the upper one.
  first.setColour(kGreen);
  first.redraw();
  EXPECT_EQ(shown(30, 30), kGreen);
  EXPECT_EQ(shown(55, 30), kBlue);
  // Mode 1 puts the upper control beneath all others.
  second.reorder(1);
  EXPECT_EQ(second.controlIndex(), 1);
  EXPECT_EQ(second.id(), 2);
  EXPECT_EQ(shown(55, 30), kGreen);
  EXPECT_EQ(shown(75, 30), kBlue);
}

TEST_F(ControlBase, LockedControlsIgnoreTheMouseAndStateFlagsReachTheRecord) {
  openHost(200, 150, plainOptions());
  FlatControl c(kRed);
  c.create(hwnd, {20, 20, 40, 40});
  EXPECT_EQ(c.locked(1), 1);
  EXPECT_EQ(c.stateFlag(), 1);
  desk->mouseMove(hwnd, 30, 30);
  desk->click(hwnd, 30, 30);
  desk->pump();
  EXPECT_TRUE(c.notes.empty());
  c.locked(0);
  desk->advance(1000);  // not a double click
  desk->click(hwnd, 31, 31);
  desk->pump();
  EXPECT_NE(std::count(c.notes.begin(), c.notes.end(), pw::WM_LBUTTONDOWN), 0);
  EXPECT_EQ(c.notes.back(), ui::kMsgClick);
  EXPECT_TRUE(c.isFocused());

  EXPECT_EQ(c.enabled(0), 0);
  EXPECT_FALSE(ui::controlRecord(c.windowIndex(), c.controlIndex())->enabled);
  c.notes.clear();
  desk->click(hwnd, 30, 30);
  desk->pump();
  EXPECT_TRUE(c.notes.empty());
  EXPECT_EQ(c.cursor(pw::IDC_HAND), pw::IDC_HAND);
  EXPECT_EQ(c.cursorId(), pw::IDC_HAND);
  EXPECT_EQ(c.tag(std::string("x")), "x");
}

TEST_F(ControlBase, EventsReachTheirHandlers) {
  openHost(200, 150, plainOptions());
  FlatControl c(kRed);
  c.create(hwnd, {20, 20, 40, 40});
  auto count = [&](UINT m) { return std::count(c.notes.begin(), c.notes.end(), m); };
  desk->click(hwnd, 30, 30);  // takes the focus
  desk->pump();
  ASSERT_TRUE(c.isFocused());
  desk->pressKey(hwnd, 'Q');
  desk->pump();
  EXPECT_EQ(count(pw::WM_KEYDOWN), 1);
  EXPECT_EQ(c.lastKey, static_cast<WPARAM>('Q'));
  desk->typeKeys(hwnd, "z");
  desk->pump();
  EXPECT_EQ(c.lastChar, static_cast<WPARAM>('z'));
  desk->wheel(hwnd, -1, 30, 30);
  desk->pump();
  EXPECT_EQ(c.lastWheel, -120);
  desk->advance(1000);
  desk->doubleClick(hwnd, 30, 30);
  desk->pump();
  EXPECT_EQ(count(pw::WM_LBUTTONDBLCLK), 1);
  desk->click(hwnd, 30, 30, pw::MouseButton::Right);
  desk->pump();
  EXPECT_EQ(count(pw::WM_RBUTTONDOWN), 1);
  EXPECT_EQ(count(pw::WM_RBUTTONUP), 1);
}

TEST_F(ControlBase, TooltipsShowTheirTextAndAnEmptiedTipShowsNothing) {
  openHost(200, 150, plainOptions());
  FlatControl c(kRed);
  c.create(hwnd, {20, 20, 40, 40});
  HWND tips = window->tooltipWindow();
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(c.tip(std::string("first tip"), true), "first tip");
  EXPECT_TRUE(desk->topmost(tips));
  desk->mouseMove(hwnd, 30, 30);
  desk->pump();
  desk->advance(600);
  EXPECT_TRUE(pw::IsWindowVisible(tips));
  EXPECT_EQ(pw::GetWindowTextA(tips), "first tip");
  c.tip(std::string("second"), true);  // a shown tip goes first
  EXPECT_FALSE(pw::IsWindowVisible(tips));
  desk->mouseMove(hwnd, 150, 120);
  desk->pump();
  // The tip follows a move.
  c.move(100, 80, std::nullopt, std::nullopt);
  desk->mouseMove(hwnd, 110, 90);
  desk->pump();
  desk->advance(600);
  EXPECT_TRUE(pw::IsWindowVisible(tips));
  EXPECT_EQ(pw::GetWindowTextA(tips), "second");
  desk->mouseMove(hwnd, 190, 140);
  desk->pump();
  c.tip(std::string(""), true);
  desk->mouseMove(hwnd, 111, 91);
  desk->pump();
  desk->advance(600);
  EXPECT_FALSE(pw::IsWindowVisible(tips));
  // Nor does the tip of a control that is gone.
  {
    FlatControl gone(kBlue);
    gone.create(hwnd, {20, 20, 30, 30});
    gone.tip(std::string("gone"), true);
  }
  desk->mouseMove(hwnd, 25, 25);
  desk->pump();
  desk->advance(600);
  EXPECT_FALSE(pw::IsWindowVisible(tips));
}

}  // namespace
