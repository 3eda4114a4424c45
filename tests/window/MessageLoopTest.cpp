// The queue, the loop, timers on the test clock, WM_PAINT and quitting.

#include <gtest/gtest.h>

#include "tests/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

std::vector<std::pair<std::int64_t, UINT_PTR>> ticks;
HeadlessBackend* desk = nullptr;

LRESULT timerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    ticks.emplace_back(desk->now(), wParam);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A modal loop like the message box's: runs until its window is gone.
int innerResult = 0;
LRESULT outerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 5) {
    HWND box = makeWindow("Rec", 0, 0, 50, 50, hwnd);
    desk->at(100, [box] { PostMessageA(box, WM_CLOSE, 0, 0); });
    MSG msg;
    int loops = 0;
    while (IsWindow(box) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      ++loops;
    }
    innerResult = loops;
    PostQuitMessage(0);
    return 1;
  }
  return recordingProc(hwnd, message, wParam, lParam);
}

}  // namespace

TEST(MessageLoop, PostedMessagesArriveInOrderAndQuitEndsTheLoop) {
  desk = &freshDesktop();
  HWND w = makeWindow();
  PostMessageA(w, WM_USER + 1, 1, 0);
  PostMessageA(w, WM_USER + 2, 2, 0);
  PostQuitMessage(3);
  PostMessageA(w, WM_USER + 3, 3, 0);  // still comes before the quit
  seen().clear();
  MSG msg;
  int result;
  while ((result = GetMessageA(&msg, nullptr, 0, 0)) > 0) DispatchMessageA(&msg);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(messagesOf(w, {WM_USER + 1, WM_USER + 2, WM_USER + 3}),
            (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
}

TEST(MessageLoop, PendingPumpLeavesQuitForTheLoopAndDropsMessagesOfDeadWindows) {
  desk = &freshDesktop();
  HWND a = makeWindow();
  HWND b = makeWindow();
  PostMessageA(a, WM_USER, 0, 0);
  PostMessageA(b, WM_USER, 0, 0);
  PostQuitMessage(0);
  DestroyWindow(b);
  seen().clear();
  processPendingMessages();
  EXPECT_EQ(messagesOf(a, {WM_USER}).size(), 1u);
  EXPECT_TRUE(messagesOf(b, {WM_USER}).empty());
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
}

TEST(MessageLoop, TimersFireOnTheTestClockRestartAndStop) {
  desk = &freshDesktop();
  ticks.clear();
  WNDCLASSEXA wc;
  wc.lpfnWndProc = timerProc;
  wc.lpszClassName = "Timed";
  RegisterClassExA(&wc);
  HWND w = CreateWindowExA(0, "Timed", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  EXPECT_EQ(SetTimer(w, 7, 80), 7u);
  EXPECT_EQ(SetTimer(w, 9, 150), 9u);
  desk->advance(79);
  EXPECT_TRUE(ticks.empty());
  desk->advance(250);  // clock 329
  EXPECT_EQ(ticks, (std::vector<std::pair<std::int64_t, UINT_PTR>>{
                       {80, 7}, {150, 9}, {160, 7}, {240, 7}, {300, 9}, {320, 7}}));
  ticks.clear();
  SetTimer(w, 7, 100);  // setting again restarts it from now
  KillTimer(w, 9);
  desk->advance(100);
  EXPECT_EQ(ticks, (std::vector<std::pair<std::int64_t, UINT_PTR>>{{429, 7}}));
  ticks.clear();
  DestroyWindow(w);
  desk->advance(1000);
  EXPECT_TRUE(ticks.empty());
  EXPECT_EQ(SetTimer(w, 1, 80), 0u);
}

TEST(MessageLoop, ABlockingLoopWithNothingToDoMovesTheClockToTheNextTimer) {
  desk = &freshDesktop();
  ticks.clear();
  WNDCLASSEXA wc;
  wc.lpfnWndProc = timerProc;
  wc.lpszClassName = "Timed";
  RegisterClassExA(&wc);
  HWND w = CreateWindowExA(0, "Timed", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  SetTimer(w, 1, 50);
  desk->at(500, [] {});
  MSG msg;
  ASSERT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_EQ(desk->now(), 50);
}

TEST(MessageLoop, PaintComesWhenTheQueueIsEmptyAndOnlyOnce) {
  desk = &freshDesktop();
  HWND w = makeWindow();
  ShowWindow(w, SW_SHOWNORMAL);  // a shown window that is not layered gets painted
  PostMessageA(w, WM_USER, 0, 0);
  seen().clear();
  desk->pump();
  EXPECT_EQ(messagesOf(w, {WM_USER, WM_PAINT}), (std::vector<UINT>{WM_USER, WM_PAINT}));
  seen().clear();
  RECT part{10, 10, 20, 20};
  InvalidateRect(w, &part, false);
  InvalidateRect(w, nullptr, false);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(w, &update));
  EXPECT_EQ(update, (RECT{0, 0, 300, 200}));
  desk->pump();
  desk->pump();
  EXPECT_EQ(messagesOf(w, {WM_PAINT}).size(), 1u);
  EXPECT_FALSE(GetUpdateRect(w, &update));
}

TEST(MessageLoop, LoopsNestForModalBoxes) {
  desk = &freshDesktop();
  innerResult = 0;
  WNDCLASSEXA wc;
  wc.lpfnWndProc = outerProc;
  wc.lpszClassName = "Outer";
  RegisterClassExA(&wc);
  HWND outer = CreateWindowExA(0, "Outer", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  PostMessageA(outer, WM_USER + 5, 0, 0);
  PostMessageA(outer, WM_USER + 6, 0, 0);
  seen().clear();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  EXPECT_GT(innerResult, 0);
  EXPECT_EQ(desk->now(), 100);  // the inner loop waited for the scheduled close
  // The message posted behind the modal one was handled inside the inner loop.
  EXPECT_EQ(messagesOf(outer, {WM_USER + 6}).size(), 1u);
}
