// The control list and the pointer: registration, hit tests, sending, reordering, timers,
// capture and clicks, hover, focus from presses, window drags and bad input.

#include "tests/framework/HostTestSupport.h"

using namespace hosttest;

namespace {

struct Event {
  int controlId;
  int kind;
};

}  // namespace

TEST_F(HostTest, IdsAreTheSmallestFreeAndRecordsAreFound) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  auto one = std::make_unique<RecordingControl>();
  auto two = std::make_unique<RecordingControl>();
  RecordingControl three;
  EXPECT_EQ(one->create(w, {0, 0, 10, 10}), 1);
  EXPECT_EQ(two->create(w, {0, 0, 10, 10}), 2);
  EXPECT_EQ(three.create(w, {0, 0, 10, 10}), 3);
  EXPECT_EQ(two->create(w, {0, 0, 10, 10}), 0);  // keeps its first id
  EXPECT_EQ(two->id(), 2);
  two.reset();  // ids 1 and 3 stay taken
  RecordingControl next;
  EXPECT_EQ(next.create(w, {0, 0, 10, 10}), 2);
  EXPECT_EQ(ui::controlIndexOf(host.windowIndex(), 2), 4);
  EXPECT_EQ(ui::controlIndexOf(host.windowIndex(), 9), 0);
  EXPECT_EQ(ui::windowIndexOf(w), host.windowIndex());
  EXPECT_EQ(ui::windowIndexOf(nullptr), 0);
  RecordingControl stray;
  EXPECT_EQ(stray.create(makeWindow(), {0, 0, 5, 5}), 0);  // not an attached window

  // Invalid indexes answer 0 and do nothing.
  EXPECT_FALSE(ui::isValid(0, 1, true));
  EXPECT_FALSE(ui::isValid(host.windowIndex(), 0, true));
  EXPECT_FALSE(ui::isValid(host.windowIndex(), 5, true));
  EXPECT_TRUE(ui::isValid(host.windowIndex(), 4, true));
  EXPECT_EQ(ui::controlRecord(host.windowIndex() + 7, 1), nullptr);
  EXPECT_EQ(ui::sendToControl(host.windowIndex(), 99, w, WM_USER, 0, 0, true), 0);
  EXPECT_EQ(ui::reorderControl(host.windowIndex(), 0, 1), 0);
}

TEST_F(HostTest, HitTestFindsTheTopmostVisibleControl) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  const int wi = host.windowIndex();
  RecordingControl below, above, hidden;
  below.create(w, {10, 10, 50, 50});
  above.create(w, {30, 30, 50, 50});
  hidden.create(w, {0, 0, 200, 150}, 6, true, false);
  int id = -1;
  EXPECT_EQ(ui::hitTest(wi, makeLParam(40, 40), &id), 2);
  EXPECT_EQ(id, above.id());
  EXPECT_EQ(ui::hitTest(wi, makeLParam(15, 15), &id), 1);
  EXPECT_EQ(ui::hitTest(wi, makeLParam(59, 20)), 1);
  EXPECT_EQ(ui::hitTest(wi, makeLParam(60, 20)), 0);  // right edge is outside
  EXPECT_EQ(ui::hitTest(wi, makeLParam(-30000, 32000), &id), 0);
  EXPECT_EQ(id, 0);
  EXPECT_EQ(ui::hitTest(wi + 5, makeLParam(40, 40)), 0);

  // The pointer reaches only the upper one.
  desk->click(w, 40, 40);
  desk->pump();
  EXPECT_EQ(above.count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(below.count(WM_LBUTTONDOWN), 0);
  EXPECT_EQ(hidden.count(WM_LBUTTONDOWN), 0);
}

TEST_F(HostTest, SendingSkipsHiddenAndDisabledUnlessForcedThenTellsSubscribers) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  const int wi = host.windowIndex();
  RecordingControl c;
  c.answer = 7;
  c.create(w, {0, 0, 10, 10});
  std::vector<LPARAM> heard;
  c.subscribe(WM_USER, [&](int windowIndex, int controlIndex, WPARAM, LPARAM lParam) {
    EXPECT_EQ(windowIndex, wi);
    EXPECT_EQ(controlIndex, 1);
    heard.push_back(lParam);
  });
  EXPECT_EQ(ui::sendToControl(wi, 1, w, WM_USER, 0, 1), 7);
  EXPECT_EQ(ui::sendToControl(wi, 1, w, WM_USER + 1, 0, 2), 7);
  ui::controlRecord(wi, 1)->enabled = false;
  EXPECT_EQ(ui::sendToControl(wi, 1, w, WM_USER, 0, 3), 0);
  ui::controlRecord(wi, 1)->enabled = true;
  ui::controlRecord(wi, 1)->visible = false;
  EXPECT_EQ(ui::sendToControl(wi, 1, w, WM_USER, 0, 4), 0);
  EXPECT_EQ(ui::sendToControl(wi, 1, w, WM_USER, 0, 5, true), 7);
  EXPECT_EQ(heard, (std::vector<LPARAM>{1, 5}));
}

TEST_F(HostTest, ReorderMovesRecordsAndTheInteractionFollows) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  const int wi = host.windowIndex();
  RecordingControl a, b, caption, c;
  a.create(w, {0, 0, 10, 10});
  b.create(w, {20, 0, 10, 10});
  caption.create(w, {150, 0, 28, 19}, ui::kKindCaptionButton);
  c.create(w, {40, 0, 10, 10});
  host.setFocusedControl(2);
  EXPECT_EQ(ui::reorderControl(wi, 2, 1), 1);  // b to the front
  EXPECT_EQ(host.focusedControl(), 1);
  EXPECT_EQ(ui::controlIndexOf(wi, a.id()), 2);
  EXPECT_EQ(ui::reorderControl(wi, 4, 2), 3);  // c ahead of the caption button
  EXPECT_EQ(ui::controlIndexOf(wi, caption.id()), 4);
  EXPECT_EQ(b.id(), 2);  // ids never change
}

TEST_F(HostTest, ClickNeedsPressAndReleaseOnTheSameControl) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl left, right;
  left.create(w, {10, 40, 40, 40});
  right.create(w, {100, 40, 40, 40});
  std::vector<Event> clicks, downs, ups;
  host.onClick([&](HWND h, int id, ControlObject* object, int kind) -> LRESULT {
    EXPECT_EQ(h, w);
    EXPECT_EQ(object, &left);
    clicks.push_back({id, kind});
    return 0;
  });
  host.onLeftDown([&](HWND, int id, ControlObject*, int kind) -> LRESULT { return downs.push_back({id, kind}), 0; });
  host.onLeftUp([&](HWND, int id, ControlObject*, int kind) -> LRESULT { return ups.push_back({id, kind}), 0; });

  desk->mouseDown(w, 20, 50);
  desk->pump();
  EXPECT_TRUE(host.captureActive());
  EXPECT_EQ(host.pressedControl(), 1);
  EXPECT_EQ(GetCapture(), w);
  // While captured, the pressed control gets the moves, even over another control.
  desk->mouseMove(w, 110, 50);
  desk->pump();
  EXPECT_EQ(left.count(WM_MOUSEMOVE), 1);
  EXPECT_EQ(right.count(WM_MOUSEMOVE), 0);
  desk->mouseUp(w, 110, 50);
  desk->pump();
  EXPECT_EQ(left.count(ui::kMsgClick), 0);
  EXPECT_TRUE(clicks.empty());
  EXPECT_FALSE(host.captureActive());
  EXPECT_EQ(GetCapture(), nullptr);

  desk->advance(1000);  // not a double click
  desk->click(w, 20, 50);
  desk->pump();
  EXPECT_EQ(left.count(ui::kMsgClick), 1);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].controlId, left.id());
  EXPECT_EQ(clicks[0].kind, 6);
  EXPECT_EQ(downs.size(), 2u);
  EXPECT_EQ(ups.size(), 2u);
  EXPECT_EQ(host.focusedControl(), 1);
  closeWindows();
}

TEST_F(HostTest, HoverAndFocusChangesRepaintAndCallBack) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl a, b;
  a.create(w, {10, 40, 40, 40});
  b.create(w, {100, 40, 40, 40});
  std::vector<std::pair<char, int>> events;
  auto note = [&](char what) {
    return [&, what](HWND, int id, ControlObject*, int) -> LRESULT { return events.push_back({what, id}), 0; };
  };
  host.onEnter(note('E'));
  host.onLeave(note('L'));
  host.onFocusGained(note('G'));
  host.onFocusLost(note('F'));
  desk->mouseMove(w, 20, 50);
  desk->mouseMove(w, 110, 50);
  desk->click(w, 110, 50);
  desk->click(w, 20, 50);
  desk->pump();
  EXPECT_EQ(events, (std::vector<std::pair<char, int>>{{'E', 1}, {'L', 1}, {'E', 2}, {'G', 2}, {'L', 2}, {'F', 2}, {'G', 1}}));
  EXPECT_EQ(host.hoveredControl(), 1);
  const auto occasions = b.paintOccasions();
  EXPECT_NE(std::find(occasions.begin(), occasions.end(), ui::kPaintPointerLeft), occasions.end());
  EXPECT_NE(std::find(occasions.begin(), occasions.end(), ui::kPaintFocusLost), occasions.end());
  // Leaving the window ends the hover.
  desk->pointerLeave(w);
  desk->pump();
  EXPECT_EQ(host.hoveredControl(), 0);
  EXPECT_EQ(events.back(), (std::pair<char, int>{'L', 1}));
  closeWindows();
}

TEST_F(HostTest, PressOnEmptyAreaDragsUnlessLockedAndDropsTheFocus) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl label, button;
  label.create(w, {10, 40, 40, 40}, ui::kKindLabel, false);
  button.create(w, {100, 40, 40, 40});
  desk->click(w, 110, 50);
  desk->pump();
  EXPECT_EQ(host.focusedControl(), 2);
  desk->mouseDown(w, 20, 50);  // a control that takes no presses counts as empty area
  desk->pump();
  EXPECT_TRUE(desk->moveDragActive(w));
  EXPECT_EQ(host.focusedControl(), 0);
  EXPECT_EQ(label.count(WM_LBUTTONDOWN), 1);
  desk->mouseUp(w, 20, 50);
  desk->pump();

  host.dragLocked(1);
  desk->mouseDown(w, 80, 100);
  desk->pump();
  EXPECT_FALSE(desk->moveDragActive(w));
}

TEST_F(HostTest, AControlHiddenWhileItHoldsCaptureOrHoverIsDropped) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl c;
  c.create(w, {10, 40, 40, 40});
  int clicks = 0;
  host.onClick([&](HWND, int, ControlObject*, int) -> LRESULT { return ++clicks, 0; });
  desk->mouseDown(w, 20, 50);
  desk->pump();
  ui::controlRecord(host.windowIndex(), 1)->visible = false;
  desk->mouseMove(w, 21, 50);
  desk->mouseUp(w, 21, 50);
  desk->pump();
  EXPECT_FALSE(host.captureActive());
  EXPECT_EQ(host.hoveredControl(), 0);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(c.count(WM_LBUTTONUP), 0);

  // A control destroyed while it holds the capture is never called again.
  auto gone = std::make_unique<RecordingControl>();
  gone->create(w, {100, 40, 40, 40});
  desk->mouseDown(w, 110, 50);
  desk->pump();
  EXPECT_TRUE(host.captureActive());
  gone.reset();
  EXPECT_FALSE(host.captureActive());
  desk->mouseUp(w, 110, 50);
  desk->pump();
  closeWindows();
}

TEST_F(HostTest, ACaptureTakenAwayEndsThePressWithoutAClick) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl c;
  c.create(w, {10, 40, 40, 40});
  int clicks = 0;
  host.onClick([&](HWND, int, ControlObject*, int) -> LRESULT { return ++clicks, 0; });
  auto endOfPress = [&]() {
    std::vector<UINT> after;
    bool pressed = false;
    for (const Received& r : c.received) {
      if (r.message == WM_LBUTTONDOWN) {
        pressed = true;
        after.clear();
      } else if (pressed && (r.message == WM_LBUTTONUP || r.message == ui::kMsgClick ||
                             (r.message == WM_PAINT && r.lParam == ui::kPaintPointerLeft))) {
        after.push_back(r.message);
      }
    }
    return after;
  };

  // Another window takes the pointer.
  HWND other = makeWindow(50, 50);
  desk->mouseMove(w, 20, 50);
  desk->mouseDown(w, 22, 51);
  desk->pump();
  ASSERT_TRUE(host.captureActive());
  SetCapture(other);
  EXPECT_FALSE(host.captureActive());
  EXPECT_EQ(host.pressedControl(), 0);
  EXPECT_EQ(host.hoveredControl(), 0);
  EXPECT_EQ(endOfPress(), (std::vector<UINT>{WM_LBUTTONUP, WM_PAINT}));
  const auto release = std::find_if(c.received.rbegin(), c.received.rend(),
                                    [](const Received& r) { return r.message == WM_LBUTTONUP; });
  EXPECT_EQ(release->lParam, makeLParam(22, 51));  // where the pointer was last seen
  ReleaseCapture();
  desk->mouseUp(w, 22, 51);
  desk->pump();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(c.count(ui::kMsgClick), 0);

  // The window is deactivated during a press.
  desk->advance(1000);
  desk->mouseDown(w, 20, 50);
  desk->pump();
  ASSERT_TRUE(host.captureActive());
  desk->deactivateWindow(w);
  desk->pump();
  EXPECT_FALSE(host.captureActive());
  EXPECT_EQ(endOfPress(), (std::vector<UINT>{WM_LBUTTONUP, WM_PAINT}));

  // The host's own release at the end of a press is not a loss: one release, one click.
  desk->advance(1000);
  desk->activateWindow(w);
  desk->click(w, 20, 50);
  desk->pump();
  EXPECT_EQ(endOfPress(), (std::vector<UINT>{WM_LBUTTONUP, ui::kMsgClick}));
  EXPECT_EQ(clicks, 1);
  closeWindows();
}

TEST_F(HostTest, ControlTimersReachOnlyValidVisibleControls) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  const int wi = host.windowIndex();
  RecordingControl c;
  c.create(w, {10, 40, 40, 40});
  ASSERT_TRUE(ui::setControlTimer(wi, 1, 50));
  desk->advance(50);
  ASSERT_EQ(c.count(WM_TIMER), 1);
  EXPECT_EQ(c.received.back().wParam, static_cast<WPARAM>((1 << 16) | wi));
  ui::killControlTimer(wi, 1);
  // Invalid halves: another window's index, a control index past the list, index 0.
  for (UINT_PTR id : {static_cast<UINT_PTR>((1 << 16) | (wi + 3)), static_cast<UINT_PTR>((9 << 16) | wi),
                      static_cast<UINT_PTR>(wi)}) {
    SendMessageA(w, WM_TIMER, id, 0);
  }
  EXPECT_EQ(c.count(WM_TIMER), 1);
  EXPECT_FALSE(ui::setControlTimer(wi, 2));
  EXPECT_FALSE(ui::setControlTimer(0, 1));
  ui::controlRecord(wi, 1)->visible = false;
  SendMessageA(w, WM_TIMER, (1 << 16) | wi, 0);
  EXPECT_EQ(c.count(WM_TIMER), 1);
}

TEST_F(HostTest, CursorOfTheControlUnderThePointer) {
  HWND w = makeWindow();
  ui::AttachOptions o = noCaption();
  o.fixedSize = 1;
  attached(w, o);
  RecordingControl edit;
  edit.cursor = IDC_IBEAM;
  edit.create(w, {10, 40, 40, 40}, ui::kKindEdit);
  desk->mouseMove(w, 20, 50);
  desk->pump();
  EXPECT_EQ(desk->cursor(w), IDC_IBEAM);
}
