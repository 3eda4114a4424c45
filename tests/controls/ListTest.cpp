// Report lists in a window host on the headless desktop: selection, hover and press looks
// read back from the window image, clicks and right presses, the wheel and the scroll
// bars the list makes, two-line cells with pictures, and bad or very large input.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text/CodePage.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/ExList.h"

using namespace controltest;
using ui::controls::ExList;
using ui::controls::ListOptions;
using ui::controls::ListStyle;

namespace {

constexpr platform::gfx::Argb kRed = 0xFFFF0000;
constexpr platform::gfx::Argb kBlue = 0xFF0000FF;
constexpr float kLeft = 10, kTop = 10, kWidth = 200, kHeight = 150;

class Lists : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(300, 300, plainOptions());
  }
  // Opaque hover and select colours, so each look shows plainly.
  void make(int columns = 2, bool visible = true, ListOptions options = {}) {
    options.colours.hover = kRed;
    options.colours.select = kBlue;
    options.visible = visible;
    ASSERT_NE(list.create(hwnd, {kLeft, kTop, kWidth, kHeight}, options), 0);
    for (int c = 0; c < columns; ++c) list.addColumn(0, "", 90);
    list.onClick = [this](int row) { clicks.push_back(row); };
    list.onRightClick = [this](int row) { rightClicks.push_back(row); };
  }
  void fill(int rows) {
    for (int r = 0; r < rows; ++r) list.addRow();
  }
  int rowTop(int row) const { return static_cast<int>(list.rowRect(row).y); }
  int rowMiddle(int row) { return rowTop(row) + list.rowHeight() / 2; }
  void move(int x, int y) {
    desk->mouseMove(hwnd, x, y);
    desk->pump();
  }
  void clickAt(int x, int y, pw::MouseButton button = pw::MouseButton::Left) {
    desk->click(hwnd, x, y, button);
    desk->pump();
  }
  void wheel(int notches) {
    desk->wheel(hwnd, notches, 60, 60);
    desk->pump();
  }
  // Lets a running row fade reach its whole look.
  void settle() {
    desk->advance(400);
    desk->pump();
  }
  // The colour at the top and the bottom of a row, well inside it.
  platform::gfx::Argb topOf(int row) const { return shown(120, rowTop(row) + 1); }
  platform::gfx::Argb bottomOf(int row) { return shown(120, rowTop(row) + list.rowHeight() - 3); }

  ExList list;
  std::vector<int> clicks, rightClicks;
};

int redOf(platform::gfx::Argb c) { return static_cast<int>((c >> 16) & 0xFF); }

TEST_F(Lists, EachRowLookShowsOnTheWindowImage) {
  make();
  fill(3);
  window->redraw();
  EXPECT_EQ(topOf(1), kBackgroundArgb);
  EXPECT_EQ(bottomOf(1), kBackgroundArgb);
  // Hover: the gradient runs from the hover colour down to it at alpha 30. It fades in
  // over the old look a tick at a time, as a button's does.
  move(60, rowMiddle(1));
  EXPECT_EQ(list.hotRow(), 1);
  std::vector<int> tops{redOf(topOf(1))};
  for (int tick = 0; tick < 4; ++tick) {
    desk->advance(80);
    desk->pump();
    tops.push_back(redOf(topOf(1)));
  }
  EXPECT_GT(tops.front(), 0x40);
  EXPECT_LT(tops.front(), 0xA0);
  EXPECT_TRUE(std::is_sorted(tops.begin(), tops.end()));
  EXPECT_LT(tops[2], tops[3]);
  EXPECT_GT(redOf(topOf(1)), 0xE0);
  EXPECT_LT(redOf(bottomOf(1)), 0x60);
  // Pressed: the same gradient upside down; the hover left row 1 at once.
  move(60, rowMiddle(2));
  desk->mouseDown(hwnd, 60, rowMiddle(2));
  desk->pump();
  EXPECT_EQ(list.rowState(2), ExList::kPressed);
  EXPECT_EQ(topOf(1), kBackgroundArgb);
  settle();
  EXPECT_LT(redOf(topOf(2)), 0x60);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "Wine's GDI+ neither smooths nor rounds fills at their edges as Windows does; these checks read edge rows";
  EXPECT_GT(redOf(bottomOf(2)), 0xE0);
  // Released on it: selected, a flat fill.
  desk->mouseUp(hwnd, 60, rowMiddle(2));
  desk->pump();
  EXPECT_EQ(list.selectedRow(), 2);
  EXPECT_NE(topOf(2), kBlue);
  settle();
  EXPECT_EQ(topOf(2), kBlue);
  EXPECT_EQ(bottomOf(2), kBlue);
  // Separator lines under the rows by default, none once the grid flags say so.
  const int lineY = rowTop(1) + list.rowHeight() - 1;
  EXPECT_NE(shown(120, lineY), kBackgroundArgb);
  ListStyle noLines;
  noLines.gridFlags = 0;
  list.setStyle(noLines);
  EXPECT_EQ(shown(120, lineY), kBackgroundArgb);
}

TEST_F(Lists, TheSelectedRowNeverShowsTheHoverLook) {
  make();
  fill(4);
  window->redraw();
  clickAt(60, rowMiddle(2));
  move(60, rowMiddle(1));
  move(60, rowMiddle(2));
  EXPECT_EQ(list.hotRow(), 2);
  EXPECT_EQ(list.rowState(2), ExList::kSelected);
  EXPECT_EQ(bottomOf(2), kBlue);
  EXPECT_EQ(topOf(1), kBackgroundArgb);  // row 1 dropped its hover
  move(60, rowMiddle(3));
  EXPECT_EQ(list.rowState(3), ExList::kHover);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "Wine's GDI+ neither smooths nor rounds fills at their edges as Windows does; these checks read edge rows";
  EXPECT_EQ(topOf(2), kBlue);
  // Leaving the list takes the hover away.
  move(250, 250);
  EXPECT_EQ(list.hotRow(), 0);
  EXPECT_EQ(topOf(3), kBackgroundArgb);
}

TEST_F(Lists, ClicksSelectOneRowAndRightPressesFollowTheirRules) {
  make();
  fill(4);
  window->redraw();
  clickAt(60, rowMiddle(1));
  clickAt(60, rowMiddle(3));
  EXPECT_EQ(list.selectedRow(), 3);
  EXPECT_FALSE(list.rowSelected(1));
  EXPECT_EQ(topOf(1), kBackgroundArgb);
  EXPECT_EQ(clicks, (std::vector<int>{1, 3}));
  // A press that ends on another row selects where it ended, and the pressed row lets go.
  desk->mouseDown(hwnd, 60, rowMiddle(1));
  desk->pump();
  desk->mouseUp(hwnd, 60, rowMiddle(2));
  desk->pump();
  EXPECT_EQ(list.selectedRow(), 2);
  EXPECT_EQ(list.rowState(1), ExList::kNormal);
  EXPECT_EQ(topOf(1), kBackgroundArgb);
  // Right press on an unselected row selects it; on the selected row it only reports.
  clickAt(60, rowMiddle(4), pw::MouseButton::Right);
  EXPECT_EQ(list.selectedRow(), 4);
  desk->advance(1000);  // not a double click
  clickAt(60, rowMiddle(4), pw::MouseButton::Right);
  EXPECT_EQ(list.selectedRow(), 4);
  EXPECT_EQ(rightClicks, (std::vector<int>{4, 4}));
  // Below the last row a click clears the selection.
  clickAt(60, rowMiddle(4) + 3 * list.rowHeight());
  EXPECT_EQ(list.selectedRow(), 0);
  EXPECT_EQ(clicks.back(), 0);
  // clickOnly: the callbacks still run, the selection stays.
  list.selectedRow(2);
  ListStyle clickOnly;
  clickOnly.clickOnly = 1;
  list.setStyle(clickOnly);
  clickAt(60, rowMiddle(3));
  clickAt(60, rowMiddle(1), pw::MouseButton::Right);
  EXPECT_EQ(list.selectedRow(), 2);
  EXPECT_EQ(clicks.back(), 3);
  EXPECT_EQ(rightClicks.back(), 1);
  EXPECT_EQ(topOf(3), kBackgroundArgb);  // no pressed look left behind
}

TEST_F(Lists, APressWhoseCaptureIsTakenAwayLetsGoOfTheRowWithoutAClick) {
  make();
  fill(3);
  window->redraw();
  for (bool hoveredFirst : {false, true}) {
    if (hoveredFirst) move(60, rowMiddle(2));
    desk->mouseDown(hwnd, 60, rowMiddle(2));
    desk->pump();
    ASSERT_EQ(list.rowState(2), ExList::kPressed);
    desk->deactivateWindow(hwnd);
    desk->pump();
    EXPECT_EQ(list.rowState(2), ExList::kNormal) << hoveredFirst;
    EXPECT_EQ(topOf(2), kBackgroundArgb) << hoveredFirst;
    EXPECT_EQ(bottomOf(2), kBackgroundArgb) << hoveredFirst;
    desk->activateWindow(hwnd);
    desk->mouseUp(hwnd, 60, rowMiddle(2));
    desk->pump();
    desk->advance(1000);
  }
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(list.selectedRow(), 0);
}

TEST_F(Lists, NavigationKeysMoveTheSelectionInViewAndSpaceOrEnterClickNothing) {
  make();
  // Away from the edges, where the focus look lies.
  auto middleOf = [this](int row) { return shown(120, rowMiddle(row)); };
  auto press = [this](int key) {
    desk->pressKey(hwnd, key);
    desk->pump();
  };
  ASSERT_TRUE(window->focusControl(list.id()));
  press(pw::VK_DOWN);  // an empty list has nothing to select
  EXPECT_EQ(list.selectedRow(), 0);
  fill(40);
  window->redraw();
  const int inView = list.bottomRow() - list.topRow();
  ASSERT_GT(inView, 3);
  press(pw::VK_DOWN);  // from no selection: the first row in view
  EXPECT_EQ(list.selectedRow(), 1);
  press(pw::VK_UP);
  EXPECT_EQ(list.selectedRow(), 1);
  press(pw::VK_DOWN);
  EXPECT_EQ(list.selectedRow(), 2);
  EXPECT_EQ(middleOf(2), kBlue);
  EXPECT_NE(middleOf(1), kBlue);
  press(pw::VK_NEXT);
  const int paged = list.selectedRow();
  EXPECT_GT(paged, 3);
  EXPECT_LE(paged, list.bottomRow());
  press(pw::VK_END);
  EXPECT_EQ(list.selectedRow(), 40);
  EXPECT_EQ(list.bottomRow(), 40);
  EXPECT_GT(list.scrollTop(), 0);
  EXPECT_EQ(list.verticalBar()->position(), list.scrollTop());
  EXPECT_EQ(middleOf(40), kBlue);
  press(pw::VK_PRIOR);
  EXPECT_EQ(list.selectedRow(), 40 - (paged - 2));
  press(pw::VK_HOME);
  EXPECT_EQ(list.selectedRow(), 1);
  EXPECT_EQ(list.scrollTop(), 0);
  EXPECT_EQ(middleOf(1), kBlue);

  // Space and Enter are the application's: the list neither clicks nor moves, wherever
  // the pointer rests.
  move(60, rowMiddle(3));
  press(pw::VK_SPACE);
  press(pw::VK_RETURN);
  EXPECT_EQ(list.selectedRow(), 1);
  EXPECT_TRUE(clicks.empty());
}

TEST_F(Lists, AddingRowsAndClearingDropTheSelection) {
  make();
  fill(3);
  EXPECT_EQ(list.selectedRow(2), 2);
  EXPECT_EQ(list.addRow(), 4);
  EXPECT_EQ(list.selectedRow(), 0);
  EXPECT_FALSE(list.rowSelected(2));
  list.selectedRow(4);
  list.clear();
  EXPECT_EQ(list.selectedRow(), 0);
  EXPECT_EQ(list.rowCount(), 0);
  EXPECT_EQ(list.topRow(), 0);
  EXPECT_EQ(list.addRow(), 1);
  EXPECT_EQ(list.selectedRow(), 0);
  // Out-of-range selections clear it.
  list.selectedRow(1);
  EXPECT_EQ(list.selectedRow(7), 0);
  list.selectedRow(1);
  EXPECT_EQ(list.selectedRow(-1), 0);
}

TEST_F(Lists, BadRowAndColumnNumbersAreIgnored) {
  make(0);
  EXPECT_EQ(list.addRow(), 0);  // no columns, no rows
  list.addColumn(0, "", 90);
  list.addColumn(0, "", 90);
  fill(2);
  list.cellText(1, 1, "a");
  for (auto [row, column] : std::vector<std::pair<int, int>>{{0, 1}, {-1, 1}, {3, 1}, {1, 0}, {1, -1}, {1, 3}}) {
    EXPECT_EQ(list.cellText(row, column, "x"), "") << row << "," << column;
    EXPECT_EQ(list.cellText(row, column), "") << row << "," << column;
    list.setRowState(row, 3);
  }
  EXPECT_EQ(list.cellText(1, 1), "a");
  EXPECT_EQ(list.selectedRow(), 0);
  // Insert at a position, append beyond the count.
  EXPECT_EQ(list.addRow(1), 1);
  EXPECT_EQ(list.cellText(2, 1), "a");
  EXPECT_EQ(list.addRow(-1), 4);
  EXPECT_EQ(list.addRow(99), 5);
  // A column inserted in front moves the texts right.
  list.addColumn(1, "", 40);
  EXPECT_EQ(list.cellText(2, 2), "a");
  EXPECT_EQ(list.cellText(2, 1), "");
}

TEST_F(Lists, WheelAndArrowsScrollByOneRowAndStopExactlyAtTheEnds) {
  make();
  fill(20);
  window->redraw();
  ASSERT_NE(list.verticalBar(), nullptr);
  const int rh = list.rowHeight();
  const int end = 20 * rh - static_cast<int>(list.bodyRect().height);
  EXPECT_EQ(list.verticalBar()->pageStep(), rh);
  EXPECT_EQ(list.verticalBar()->maximum(), end);
  wheel(-1);
  EXPECT_EQ(list.scrollTop(), rh);
  EXPECT_EQ(list.topRow(), 2);
  EXPECT_EQ(list.rowAt(60, static_cast<int>(kTop) + 1), 2);
  // A click on the bar's lower arrow steps one row on.
  const ui::RectF bar = list.verticalBar()->bounds();
  clickAt(static_cast<int>(bar.x + bar.width / 2), static_cast<int>(bar.bottom() - bar.width / 2));
  EXPECT_EQ(list.scrollTop(), 2 * rh);
  EXPECT_EQ(list.topRow(), 3);
  for (int i = 0; i < 30; ++i) wheel(-1);
  EXPECT_EQ(list.scrollTop(), end);
  EXPECT_EQ(list.bottomRow(), 20);
  EXPECT_EQ(list.rowAt(60, static_cast<int>(kTop + kHeight) - 1), 20);
  for (int i = 0; i < 30; ++i) wheel(1);
  EXPECT_EQ(list.scrollTop(), 0);
  // The hover follows the rows sliding under a pointer that stays put.
  move(60, rowMiddle(2));
  wheel(-1);
  EXPECT_EQ(list.hotRow(), 3);
  EXPECT_EQ(list.rowState(2), ExList::kNormal);
  wheel(1);
  move(250, 250);
  // What shows follows: row 1 selected shows at the top, and after a notch it has moved up.
  list.selectedRow(1);
  EXPECT_EQ(shown(120, static_cast<int>(kTop) + 2), kBlue);
  wheel(-1);
  EXPECT_NE(shown(120, static_cast<int>(kTop) + 2), kBlue);
}

TEST_F(Lists, BarsComeWhenNeededAndFollowTheListsVisibility) {
  make(2, false);
  fill(3);
  EXPECT_EQ(list.verticalBar(), nullptr);
  fill(30);  // hidden list: the bar is made but not shown
  ASSERT_NE(list.verticalBar(), nullptr);
  ui::controls::ExScrollBar& bar = *list.verticalBar();
  EXPECT_EQ(bar.visible(), 0);
  list.visible(1);
  EXPECT_EQ(bar.visible(), 1);
  const platform::gfx::RectF b = bar.bounds();
  EXPECT_EQ((std::vector<float>{b.x, b.y, b.width, b.height}),
            (std::vector<float>{kLeft + kWidth - 15, kTop + 1, 14, kHeight - 2}));
  EXPECT_FLOAT_EQ(list.bodyRect().width, kWidth - 15);
  list.visible(0);
  EXPECT_EQ(bar.visible(), 0);
  list.visible(1);
  list.clear();
  EXPECT_EQ(bar.visible(), 0);
  EXPECT_FLOAT_EQ(list.bodyRect().width, kWidth);
  // Columns wider than the list bring the horizontal bar along the bottom.
  list.addColumn(0, "", 200);
  ASSERT_NE(list.horizontalBar(), nullptr);
  const platform::gfx::RectF h = list.horizontalBar()->bounds();
  EXPECT_EQ((std::vector<float>{h.x, h.y, h.width, h.height}),
            (std::vector<float>{kLeft + 1, kTop + kHeight - 15, kWidth - 2, 14}));
  EXPECT_EQ(list.horizontalBar()->visible(), 1);
  EXPECT_EQ(list.horizontalBar()->maximum(), 380 - static_cast<int>(kWidth));
  // With both bars, each leaves the corner to the other.
  fill(30);
  EXPECT_FLOAT_EQ(list.horizontalBar()->bounds().width, kWidth - 2 - 16);
  EXPECT_FLOAT_EQ(bar.bounds().height, kHeight - 2 - 16);
}

TEST_F(Lists, FillingAShownListRendersOnlyTheRowsInView) {
  make();
  window->redraw();
  const long long before = list.renderedRows();
  for (int r = 1; r <= 1000; ++r) {
    list.addRow();
    list.cellText(r, 1, "title " + std::to_string(r));
    list.cellText(r, 2, "singer");
  }
  const int inView = list.bottomRow() - list.topRow() + 1;
  EXPECT_LE(list.renderedRows() - before, 3 * (inView + 1));
  // Once drawn, a notch renders just the row that scrolled in.
  list.redraw();
  const long long settled = list.renderedRows();
  wheel(-1);
  EXPECT_LE(list.renderedRows() - settled, 2);
  EXPECT_EQ(list.cellText(1000, 1), "title 1000");
}

TEST_F(Lists, TwoLineCellsAndRowPicturesAreDrawn) {
  ListOptions options;
  options.colours.rowBack = 0xFFFFFFFF;
  options.colours.text = 0xFF000000;
  make(1, true, options);
  ui::ExImageList pictures;
  pictures.create(16, 16);
  const auto png = testpictures::encodeSolid("png", 16, 16, kRed);
  pictures.addFromMemory(platform::system::ByteBlock(png.begin(), png.end()));
  ListStyle style;
  style.imageList = pictures.handle();
  style.gridFlags = 0;
  list.setStyle(style);
  list.rowHeight(40);
  EXPECT_EQ(list.addRow(std::nullopt, 1), 1);
  list.cellText(1, 1, platform::text::utf8ToAnsi("周杰伦 Title\r\nSinger 歌手"));
  window->redraw();
  EXPECT_EQ(shown(static_cast<int>(kLeft) + 10, static_cast<int>(kTop) + 20), kRed);
  // Ink in the upper and in the lower half of the text area: two lines, not one.
  auto ink = [&](int y0, int y1) {
    int dark = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = static_cast<int>(kLeft) + 24; x < static_cast<int>(kLeft) + 90; ++x) {
        if (redOf(shown(x, y)) < 0x80) ++dark;
      }
    }
    return dark;
  };
  EXPECT_GT(ink(static_cast<int>(kTop) + 2, static_cast<int>(kTop) + 20), 20);
  EXPECT_GT(ink(static_cast<int>(kTop) + 20, static_cast<int>(kTop) + 38), 20);
  // Row 2 (no picture) stays blank where row 1 has its picture.
  list.addRow();
  EXPECT_EQ(shown(static_cast<int>(kLeft) + 10, static_cast<int>(kTop) + 60), 0xFFFFFFFFu);
}

TEST_F(Lists, HugeTextsAndRowCountsStayQuickAndWhole) {
  make();
  window->redraw();
  std::string big(64 * 1024, 'x');
  big[1023] = '\xD6';  // a double-byte character across the drawing cut
  big[1024] = '\xDC';
  list.addRow();
  EXPECT_EQ(list.cellText(1, 1, big), big);
  EXPECT_EQ(list.cellText(1, 1), big);
  for (int r = 0; r < 100000; ++r) list.addRow();
  EXPECT_EQ(list.rowCount(), 100001);
  ui::controls::ExScrollBar* bar = list.verticalBar();
  ASSERT_NE(bar, nullptr);
  // Drag the thumb to the end of the track.
  const platform::gfx::RectF thumb = bar->partRect(ui::controls::ExScrollBar::kThumb);
  const int x = static_cast<int>(thumb.x + thumb.width / 2);
  desk->mouseDown(hwnd, x, static_cast<int>(thumb.y + 2));
  desk->pump();
  move(x, 295);
  desk->mouseUp(hwnd, x, 295);
  desk->pump();
  EXPECT_EQ(bar->position(), bar->maximum());
  EXPECT_EQ(list.scrollTop(), bar->maximum());
  EXPECT_EQ(list.bottomRow(), 100001);
  EXPECT_EQ(list.rowAt(60, static_cast<int>(kTop + kHeight) - 1), 100001);
  list.cellText(100001, 2, big);
  clickAt(60, static_cast<int>(kTop + kHeight) - 2);
  EXPECT_EQ(list.selectedRow(), 100001);
}

}  // namespace
