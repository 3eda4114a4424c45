// Input translation: mouse messages and coordinates, double clicks, capture, disabled
// windows, keys and GBK characters, focus and activation, leaving, moving and cursors.

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "tests/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

std::vector<Seen> only(HWND hwnd, std::initializer_list<UINT> messages) {
  std::vector<Seen> out;
  for (const Seen& s : seen()) {
    if (s.hwnd == hwnd && std::find(messages.begin(), messages.end(), s.message) != messages.end()) {
      out.push_back(s);
    }
  }
  return out;
}

const std::initializer_list<UINT> kMouse = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                            WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE};

LRESULT handProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE && loWordSigned(lParam) > 50) SetCursor(LoadCursorA(nullptr, IDC_HAND));
  return recordingProc(hwnd, message, wParam, lParam);
}

// Moves on every press and maximises on a double click, as a skinned caption does.
LRESULT captionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    if (message == WM_LBUTTONDBLCLK) PostMessageA(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
  }
  return recordingProc(hwnd, message, wParam, lParam);
}

}  // namespace

TEST(Input, AMaximiseThatComesDuringACaptionDragWaitsForItsEnd) {
  HeadlessBackend& desk = freshDesktop();
  WNDCLASSEXA wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = captionProc;
  wc.lpszClassName = "Caption";
  RegisterClassExA(&wc);
  HWND w = CreateWindowExA(0, "Caption", "", WS_POPUP | WS_MAXIMIZEBOX, 100, 100, 200, 100, nullptr, nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  desk.click(w, 50, 10);
  desk.mouseDown(w, 50, 10);
  desk.pump();
  EXPECT_TRUE(desk.moveDragActive(w));
  EXPECT_FALSE(IsZoomed(w));  // not while the button is still down
  desk.mouseUp(w, 50, 10);
  desk.pump();
  EXPECT_TRUE(IsZoomed(w));
  desk.advance(1000);
  desk.doubleClick(w, 50, 10);
  desk.pump();
  EXPECT_FALSE(IsZoomed(w));
}

TEST(Input, MouseMessagesCarryClientCoordinatesAndButtonState) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow();
  ShowWindow(w, SW_SHOWNORMAL);
  seen().clear();
  desk.mouseMove(w, 12, 34);
  desk.mouseDown(w, 12, 34, MouseButton::Right);
  desk.mouseUp(w, 12, 34, MouseButton::Right);
  desk.wheel(w, -2, 5, 6);
  desk.pump();
  auto m = only(w, {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL});
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(m[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(loWordSigned(m[0].lParam), 12);
  EXPECT_EQ(hiWordSigned(m[0].lParam), 34);
  EXPECT_EQ(m[1].wParam & MK_RBUTTON, MK_RBUTTON);
  EXPECT_EQ(m[2].wParam & MK_RBUTTON, 0u);
  EXPECT_EQ(static_cast<std::int16_t>(hiWord(m[3].wParam)), -240);
  EXPECT_EQ(loWordSigned(m[3].lParam), 105);  // wheel positions are on the screen
  EXPECT_EQ(hiWordSigned(m[3].lParam), 56);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{105, 56}));
}

TEST(Input, DoubleClicksOnlyForClassesThatAskAndOnlyCloseInTimeAndPlace) {
  HeadlessBackend& desk = freshDesktop();
  HWND dbl = makeWindow("Rec");
  HWND plain = makeWindow("RecNoDbl", 500, 50);
  seen().clear();
  desk.doubleClick(dbl, 10, 10);
  desk.click(dbl, 10, 10);  // a third press starts over
  desk.pump();
  EXPECT_EQ(messagesOf(dbl, kMouse),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                               WM_LBUTTONDOWN, WM_LBUTTONUP}));
  seen().clear();
  desk.doubleClick(plain, 10, 10);
  desk.pump();
  EXPECT_EQ(messagesOf(plain, kMouse),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));

  seen().clear();
  desk.advance(1000);
  desk.click(dbl, 10, 10);
  desk.click(dbl, 16, 10);  // too far
  desk.pump();
  desk.advance(600);        // too late
  desk.click(dbl, 16, 10);
  desk.pump();
  EXPECT_TRUE(only(dbl, {WM_LBUTTONDBLCLK}).empty());
  // Within two pixels and the double-click time it counts.
  desk.advance(1000);
  desk.click(dbl, 10, 10);
  desk.advance(499);
  desk.click(dbl, 12, 8);
  desk.pump();
  EXPECT_EQ(only(dbl, {WM_LBUTTONDBLCLK}).size(), 1u);
}

TEST(Input, CaptureRoutesThePointerAndHoldsBackTheLeave) {
  HeadlessBackend& desk = freshDesktop();
  HWND a = makeWindow("Rec", 100, 100, 200, 200);
  HWND b = makeWindow("Rec", 400, 100, 200, 200);
  ShowWindow(a, SW_SHOWNORMAL);
  ShowWindow(b, SW_SHOWNORMAL);
  desk.mouseMove(a, 10, 10);
  desk.pump();
  TRACKMOUSEEVENT tme{TME_LEAVE, a};
  ASSERT_TRUE(TrackMouseEvent(&tme));
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(GetCapture(), a);
  EXPECT_TRUE(desk.grabbed(a));
  seen().clear();
  desk.pointerLeave(a);
  desk.mouseMove(b, 5, 5);  // over b, but a holds the capture
  desk.pump();
  auto moves = only(a, {WM_MOUSEMOVE, WM_MOUSELEAVE});
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(loWordSigned(moves[0].lParam), 305);
  EXPECT_EQ(hiWordSigned(moves[0].lParam), 5);
  EXPECT_TRUE(only(b, {WM_MOUSEMOVE}).empty());

  seen().clear();
  ReleaseCapture();
  desk.pump();
  EXPECT_EQ(messagesOf(a, {WM_CAPTURECHANGED, WM_MOUSELEAVE}),
            (std::vector<UINT>{WM_CAPTURECHANGED, WM_MOUSELEAVE}));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(desk.grabbed(a));

  // Losing the activation ends a capture, so the pointer is never held for good.
  desk.activateWindow(a);
  desk.pump();
  SetCapture(a);
  desk.activateWindow(b);
  desk.pump();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(desk.grabbed(a));

  // Asking while the pointer is already elsewhere answers at once; the leave comes once.
  seen().clear();
  ASSERT_TRUE(TrackMouseEvent(&tme));
  desk.pointerLeave(a);
  desk.pump();
  EXPECT_EQ(messagesOf(a, {WM_MOUSELEAVE}).size(), 1u);
}

TEST(Input, DisabledWindowsGetNoInputAndCannotBeClosedByTheUser) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow();
  ShowWindow(w, SW_SHOWNORMAL);
  EXPECT_FALSE(EnableWindow(w, false));
  EXPECT_FALSE(IsWindowEnabled(w));
  seen().clear();
  desk.click(w, 5, 5);
  desk.pressKey(w, 'A');
  desk.commitText(w, "x");
  desk.requestClose(w);
  desk.pump();
  EXPECT_TRUE(messagesOf(w, {WM_LBUTTONDOWN, WM_KEYDOWN, WM_CHAR, WM_CLOSE}).empty());
  EXPECT_TRUE(IsWindow(w));
  EXPECT_TRUE(EnableWindow(w, true));
  desk.requestClose(w);
  desk.pump();
  EXPECT_FALSE(IsWindow(w));  // the default procedure destroys it
}

TEST(Input, KeysBecomeKeyMessagesAndTextBecomesGbkBytes) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow();
  ShowWindow(w, SW_SHOWNORMAL);
  seen().clear();
  desk.typeKeys(w, "a");
  desk.pressKey(w, VK_RETURN);
  desk.pressKey(w, VK_BACK);
  desk.commitText(w, "周杰");
  desk.pump();
  std::vector<int> chars;
  for (const Seen& s : only(w, {WM_CHAR})) chars.push_back(static_cast<int>(s.wParam));
  const std::string gbk = platform::text::utf8ToAnsi("周杰");
  ASSERT_EQ(gbk.size(), 4u);
  std::vector<int> expected{'a', 13, 8};
  for (unsigned char c : gbk) expected.push_back(c);
  EXPECT_EQ(chars, expected);
  EXPECT_EQ(messagesOf(w, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
            (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN, WM_CHAR, WM_KEYUP,
                               WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_CHAR, WM_CHAR, WM_CHAR, WM_CHAR}));
  auto downs = only(w, {WM_KEYDOWN, WM_KEYUP});
  EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(downs[1].lParam & (LPARAM{1} << 31), LPARAM{1} << 31);  // key-up transition bit
}

TEST(Input, KeyStateFollowsTheMessagesAsTheyAreHandled) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow();
  ShowWindow(w, SW_SHOWNORMAL);
  desk.keyDown(w, VK_CONTROL);
  desk.keyDown(w, 'C');
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);  // not handled yet
  desk.pump();
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  EXPECT_LT(GetKeyState('C'), 0);
  desk.keyUp(w, 'C');
  desk.keyUp(w, VK_CONTROL);
  desk.keyDown(w, VK_MENU);
  desk.pressKey(w, VK_F1);
  seen().clear();
  desk.pump();
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
  EXPECT_EQ(messagesOf(w, {WM_SYSKEYDOWN, WM_KEYDOWN}), (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
  desk.keyUp(w, VK_MENU);
  desk.keyDown(w, VK_SHIFT);
  desk.click(w, 1, 1);
  desk.pump();
  auto down = only(w, {WM_LBUTTONDOWN});
  ASSERT_FALSE(down.empty());
  EXPECT_EQ(down.back().wParam & MK_SHIFT, MK_SHIFT);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
}

TEST(Input, CtrlLettersMakeControlCharacters) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow();
  ShowWindow(w, SW_SHOWNORMAL);
  desk.keyDown(w, VK_CONTROL);
  desk.pressKey(w, 'V');
  desk.keyUp(w, VK_CONTROL);
  seen().clear();
  desk.pump();
  auto chars = only(w, {WM_CHAR});
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].wParam, 22u);
}

TEST(Input, ActivationAndFocusMoveBetweenWindowsInOrder) {
  HeadlessBackend& desk = freshDesktop();
  HWND a = makeWindow();
  HWND b = makeWindow();
  seen().clear();
  ShowWindow(a, SW_SHOWNORMAL);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  EXPECT_EQ(messagesOf(a, {WM_ACTIVATE, WM_SETFOCUS}), (std::vector<UINT>{WM_ACTIVATE, WM_SETFOCUS}));
  ShowWindow(b, SW_SHOWNA);
  EXPECT_EQ(GetActiveWindow(), a);
  seen().clear();
  desk.activateWindow(b);
  desk.pump();
  EXPECT_EQ(GetActiveWindow(), b);
  std::vector<std::pair<HWND, UINT>> order;
  for (const Seen& s : seen()) {
    if (s.message == WM_ACTIVATE || s.message == WM_SETFOCUS || s.message == WM_KILLFOCUS) {
      order.emplace_back(s.hwnd, s.message);
    }
  }
  EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{
                       {a, WM_ACTIVATE}, {b, WM_ACTIVATE}, {a, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
  // Keys go to the focused window whatever window the desktop reported them on.
  seen().clear();
  desk.pressKey(a, 'K');
  desk.pump();
  EXPECT_EQ(messagesOf(b, {WM_KEYDOWN}).size(), 1u);
  EXPECT_EQ(SetFocus(a), b);
  EXPECT_EQ(GetActiveWindow(), a);
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST(Input, CaptionPressMovesTheWindowOnlyWhileTheButtonIsDown) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 100, 100, 200, 200);
  ShowWindow(w, SW_SHOWNORMAL);
  // Not pressed: no move may start, or the window would follow the pointer.
  SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  EXPECT_FALSE(desk.moveDragActive(w));

  desk.mouseDown(w, 20, 20);
  desk.pump();
  seen().clear();
  SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  EXPECT_TRUE(desk.moveDragActive(w));
  desk.mouseMove(w, 70, 50);
  desk.mouseUp(w, 70, 50);
  desk.pump();
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{150, 130, 350, 330}));
  EXPECT_EQ(messagesOf(w, {WM_ENTERSIZEMOVE, WM_MOVE, WM_EXITSIZEMOVE, WM_LBUTTONUP}),
            (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_MOVE, WM_EXITSIZEMOVE}));
  // The release went to the window manager, yet the button counts as up again.
  seen().clear();
  desk.mouseMove(w, 10, 10);
  desk.pump();
  ASSERT_EQ(only(w, {WM_MOUSEMOVE}).size(), 1u);
  EXPECT_EQ(only(w, {WM_MOUSEMOVE})[0].wParam & MK_LBUTTON, 0u);
  EXPECT_GE(GetKeyState(VK_LBUTTON), 0);

  // An edge drag resizes.
  desk.mouseDown(w, 199, 199);
  desk.pump();
  SendMessageA(w, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, 0);
  EXPECT_EQ(desk.resizeDragEdge(w), WMSZ_BOTTOMRIGHT);
  desk.mouseMove(w, 229, 209);
  desk.mouseUp(w, 229, 209);
  desk.pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{150, 130, 380, 340}));
}

TEST(Input, TheClassCursorComesBackUnlessTheProcedureSetsAnother) {
  HeadlessBackend& desk = freshDesktop();
  WNDCLASSEXA wc;
  wc.lpfnWndProc = handProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "Hand";
  RegisterClassExA(&wc);
  HWND w = CreateWindowExA(0, "Hand", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  desk.mouseMove(w, 60, 10);
  desk.pump();
  EXPECT_EQ(desk.cursor(w), IDC_HAND);
  desk.mouseMove(w, 10, 10);
  desk.pump();
  EXPECT_EQ(desk.cursor(w), IDC_ARROW);
  EXPECT_EQ(LoadCursorA(nullptr, 12345), nullptr);
}

TEST(Input, SystemMenuPostsTheChosenCommand) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = CreateWindowExA(0, "Rec", "", WS_POPUP | WS_MAXIMIZEBOX, 0, 0, 100, 100, nullptr, nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  desk.answerMenu(static_cast<UINT>(SC_MAXIMIZE));
  seen().clear();
  EXPECT_TRUE(TrackPopupMenu(GetSystemMenu(w, false), 0, 30, 40, 0, w, nullptr));
  desk.pump();
  ASSERT_EQ(desk.menus().size(), 1u);
  EXPECT_EQ(desk.menus()[0].at, (POINT{30, 40}));
  auto commands = only(w, {WM_COMMAND});
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, SC_MAXIMIZE);
  // Restore is not offered for a normal window.
  desk.answerMenu(static_cast<UINT>(SC_RESTORE));
  EXPECT_FALSE(TrackPopupMenu(GetSystemMenu(w, false), 0, 0, 0, 0, w, nullptr));
}
