// Keys and focus: editing keys for an edit box, Ctrl+Tab, Tab and Shift+Tab order, Space
// and Enter, access keys, the key callbacks, focus on activation and the keyboard's focus
// look.

#include "tests/framework/HostTestSupport.h"

using namespace hosttest;

namespace {

std::vector<std::pair<WPARAM, LPARAM>> chars(const RecordingControl& c) {
  std::vector<std::pair<WPARAM, LPARAM>> out;
  for (const auto& r : c.received) {
    if (r.message == WM_CHAR) out.push_back({r.wParam, r.lParam});
  }
  return out;
}

}  // namespace

TEST_F(HostTest, EditingKeysReachAnEditBoxAsMarkedCharacters) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl edit, button;
  edit.create(w, {10, 40, 80, 20}, ui::kKindEdit);
  button.create(w, {100, 40, 40, 20});
  host.setFocusedControl(1);
  std::vector<std::pair<int, WPARAM>> keys;
  host.onKeyDown([&](HWND, int id, WPARAM key, LPARAM) -> LRESULT { return keys.push_back({id, key}), 0; });
  desk->keyDown(w, VK_CONTROL);
  desk->pressKey(w, 'C');
  desk->keyUp(w, VK_CONTROL);
  desk->pressKey(w, VK_HOME);
  desk->pressKey(w, 'C');  // without Ctrl only the typed character
  desk->pump();
  const auto got = chars(edit);
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0], (std::pair<WPARAM, LPARAM>{0x43, ui::kEditKeyMarker}));
  EXPECT_EQ(std::count(got.begin(), got.end(), std::pair<WPARAM, LPARAM>{VK_HOME, ui::kEditKeyMarker}), 1);
  EXPECT_EQ(std::count_if(got.begin(), got.end(), [](auto p) { return p.second == ui::kEditKeyMarker; }), 2);
  EXPECT_EQ(edit.count(WM_KEYDOWN), 4);
  EXPECT_EQ(keys.front(), (std::pair<int, WPARAM>{edit.id(), VK_CONTROL}));

  // Another kind hears no editing keys.
  host.setFocusedControl(2);
  desk->pressKey(w, VK_DELETE);
  desk->pump();
  EXPECT_TRUE(chars(button).empty());
  closeWindows();
}

TEST_F(HostTest, TabMovesTheFocusToTheNextEligibleControlAndWraps) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl a, label, hidden, locked, caption, b;
  a.create(w, {0, 40, 10, 10});
  label.create(w, {20, 40, 10, 10}, ui::kKindLabel, false);
  hidden.create(w, {40, 40, 10, 10}, 6, true, false);
  locked.flag = 1;
  locked.create(w, {60, 40, 10, 10});
  b.create(w, {80, 40, 10, 10});
  caption.create(w, {150, 0, 28, 19}, ui::kKindCaptionButton);
  desk->pressKey(w, VK_TAB);
  desk->pump();
  EXPECT_EQ(host.focusedControl(), 1);
  desk->pressKey(w, VK_TAB);
  desk->pump();
  EXPECT_EQ(host.focusedControl(), 5);
  EXPECT_EQ(b.paintOccasions().back(), ui::kPaintPlain);
  desk->pressKey(w, VK_TAB);
  desk->pump();
  EXPECT_EQ(host.focusedControl(), 1);  // wrapped past the caption button
  EXPECT_EQ(b.paintOccasions().back(), ui::kPaintFocusLost);
  EXPECT_EQ(GetFocus(), w);
  // Shift+Tab goes backwards over the same stops, wrapping the other way.
  desk->keyDown(w, VK_SHIFT);
  desk->pressKey(w, VK_TAB);
  desk->pump();
  EXPECT_EQ(host.focusedControl(), 5);
  desk->pump();
  desk->keyDown(w, VK_TAB);  // Shift let go before Tab comes up still counts
  desk->keyUp(w, VK_SHIFT);
  desk->keyUp(w, VK_TAB);
  desk->pump();
  EXPECT_EQ(host.focusedControl(), 1);

  // With no eligible control nothing changes.
  HWND bare = makeWindow();
  ExWindow& other = attached(bare);
  RecordingControl only;
  only.create(bare, {0, 40, 10, 10}, ui::kKindLabel, false);
  desk->pressKey(bare, VK_TAB);
  desk->pump();
  EXPECT_EQ(other.focusedControl(), 0);
}

TEST_F(HostTest, SpaceEnterAndAccessKeysClick) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl ok, cancel, bar;
  ok.create(w, {10, 40, 40, 20}, ui::kKindPushButton);
  cancel.create(w, {60, 40, 40, 20}, ui::kKindPushButton);
  bar.create(w, {180, 0, 10, 100}, ui::kKindScrollBar);
  std::vector<int> clicked;
  host.onClick([&](HWND, int id, ControlObject*, int) -> LRESULT { return clicked.push_back(id), 0; });
  ASSERT_EQ(SendMessageA(w, ui::kMsgAccessKey, static_cast<WPARAM>(cancel.id()), 'c'), 1);
  host.setFocusedControl(1);
  desk->pressKey(w, VK_SPACE);
  desk->pressKey(w, VK_RETURN);
  desk->pressKey(w, 'C');  // the access key alone works only on its own focused button
  desk->pump();
  EXPECT_EQ(ok.count(ui::kMsgClick), 2);
  EXPECT_EQ(cancel.count(ui::kMsgClick), 0);
  desk->keyDown(w, VK_MENU);
  desk->pressKey(w, 'C');
  desk->keyUp(w, VK_MENU);
  desk->pump();
  EXPECT_EQ(cancel.count(ui::kMsgClick), 1);
  host.setFocusedControl(2);
  desk->pressKey(w, 'C');
  desk->pump();
  EXPECT_EQ(cancel.count(ui::kMsgClick), 2);
  EXPECT_EQ(clicked, (std::vector<int>{ok.id(), ok.id(), cancel.id(), cancel.id()}));
  // Clicks from keys say so; a pointer's click does not.
  desk->click(w, 20, 50);
  desk->pump();
  std::vector<WPARAM> how;
  for (const Received& r : ok.received) {
    if (r.message == ui::kMsgClick) how.push_back(r.wParam);
  }
  EXPECT_EQ(how, (std::vector<WPARAM>{ui::kClickByKey, ui::kClickByKey, 0}));

  // Ctrl+Tab goes to a focused scroll bar; a hidden focused control is not clicked.
  host.setFocusedControl(3);
  desk->keyDown(w, VK_CONTROL);
  desk->pressKey(w, VK_TAB);
  desk->keyUp(w, VK_CONTROL);
  desk->pump();
  EXPECT_EQ(bar.count(ui::kMsgCtrlTab), 1);
  EXPECT_EQ(host.focusedControl(), 3);  // Ctrl+Tab does not move the focus
  ui::controlRecord(host.windowIndex(), 3)->visible = false;
  desk->pressKey(w, VK_RETURN);
  desk->pump();
  EXPECT_EQ(bar.count(ui::kMsgClick), 0);
  closeWindows();
}

TEST_F(HostTest, ActivationRepaintsTheFocusedControlAndCallsBack) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl c, keeper;
  c.create(w, {10, 40, 40, 20});
  std::vector<char> events;
  host.onFocusGained([&](HWND, int, ControlObject*, int) -> LRESULT { return events.push_back('G'), 0; });
  host.onFocusLost([&](HWND, int, ControlObject*, int) -> LRESULT { return events.push_back('L'), 0; });
  host.setFocusedControl(1);
  desk->activateWindow(w);
  desk->pump();
  desk->deactivateWindow(w);
  desk->pump();
  EXPECT_EQ(c.paintOccasions().back(), ui::kPaintFocusLost);
  desk->activateWindow(w);
  desk->pump();
  EXPECT_EQ(c.paintOccasions().back(), ui::kPaintPlain);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(std::vector<char>(events.end() - 2, events.end()), (std::vector<char>{'L', 'G'}));
  EXPECT_EQ(host.focusedControl(), 1);
  closeWindows();
}

TEST_F(HostTest, ListsAndSlidersLeaveSpaceAndEnterToTheKeyCallbackWhichHearsEveryKey) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl list, slider;
  list.create(w, {10, 40, 80, 80}, ui::kKindList);
  slider.create(w, {100, 40, 80, 12}, ui::kKindSlider);
  std::vector<int> clicked;
  host.onClick([&](HWND, int id, ControlObject*, int) -> LRESULT { return clicked.push_back(id), 0; });
  std::vector<std::pair<int, WPARAM>> heard;
  host.onKeyDown([&](HWND, int id, WPARAM key, LPARAM) -> LRESULT { return heard.push_back({id, key}), 0; });
  ASSERT_TRUE(host.focusControl(list.id()));
  const std::vector<WPARAM> keys{VK_SPACE, VK_RETURN, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END,
                                 VK_PRIOR, VK_NEXT, VK_MEDIA_PLAY_PAUSE, VK_PAUSE, VK_MEDIA_STOP,
                                 VK_MEDIA_NEXT_TRACK, VK_MEDIA_PREV_TRACK, VK_TAB};
  for (WPARAM key : keys) desk->pressKey(w, static_cast<int>(key));
  desk->pump();
  desk->keyDown(w, VK_CONTROL);
  desk->pressKey(w, 'F');
  desk->keyUp(w, VK_CONTROL);
  desk->pump();
  EXPECT_EQ(list.count(ui::kMsgClick), 0);
  EXPECT_EQ(host.focusedControlId(), slider.id());  // the Tab at the end moved on
  desk->pressKey(w, VK_SPACE);
  desk->pressKey(w, VK_RETURN);
  desk->pump();
  EXPECT_EQ(slider.count(ui::kMsgClick), 0);
  EXPECT_TRUE(clicked.empty());

  // The callback and the window's own procedure heard each key with the focused control
  // of the moment: the Tab while the list still had the focus.
  std::vector<std::pair<int, WPARAM>> expected;
  for (WPARAM key : keys) expected.push_back({list.id(), key});
  for (int key : {VK_CONTROL, int('F'), VK_SPACE, VK_RETURN}) expected.push_back({slider.id(), WPARAM(key)});
  EXPECT_EQ(heard, expected);
  EXPECT_EQ(std::count(previousSaw().begin(), previousSaw().end(), WM_KEYDOWN),
            static_cast<long>(expected.size()));
  EXPECT_EQ(list.count(WM_KEYDOWN), static_cast<int>(keys.size()));
  closeWindows();
}

TEST_F(HostTest, FocusFromTheKeyboardShowsItsLookUntilAPressDeactivationOrAnotherControl) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl a, b, label;
  a.create(w, {10, 40, 40, 20});
  b.create(w, {60, 40, 40, 20});
  label.create(w, {110, 40, 40, 20}, ui::kKindLabel, false);
  EXPECT_EQ(host.focusedControlId(), 0);
  EXPECT_FALSE(host.focusControl(label.id()));  // not a Tab stop
  EXPECT_FALSE(host.focusControl(99));
  EXPECT_EQ(host.focusedControl(), 0);

  ASSERT_TRUE(host.focusControl(b.id()));
  EXPECT_EQ(host.focusedControlId(), b.id());
  EXPECT_EQ(b.paintOccasions().back(), ui::kPaintPlain);
  EXPECT_TRUE(host.focusLookShown());
  desk->deactivateWindow(w);
  desk->pump();
  EXPECT_FALSE(host.focusLookShown());
  desk->activateWindow(w);
  desk->pump();
  EXPECT_TRUE(host.focusLookShown());

  // A press on the control keeps the focus but not the look, and tells the control.
  const std::size_t before = b.paintOccasions().size();
  desk->click(w, 70, 50);
  desk->pump();
  EXPECT_EQ(host.focusedControlId(), b.id());
  EXPECT_FALSE(host.focusLookShown());
  ASSERT_GT(b.paintOccasions().size(), before);
  EXPECT_EQ(b.paintOccasions()[before], ui::kPaintPlain);

  // Tab brings it back; a press on another control, or setFocusedControl, does not.
  desk->pressKey(w, VK_TAB);
  desk->pump();
  EXPECT_EQ(host.focusedControlId(), a.id());
  EXPECT_TRUE(host.focusLookShown());
  host.setFocusedControl(2);
  EXPECT_FALSE(host.focusLookShown());
  closeWindows();
}
