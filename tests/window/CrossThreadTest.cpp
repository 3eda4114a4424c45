// Workers reaching the UI thread: SendMessageA, invokeOnUiThread, PostMessageA.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

std::thread::id procThread;
std::vector<int> order;  // touched only on the UI thread

LRESULT threadProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER && message < WM_USER + 100) {
    procThread = std::this_thread::get_id();
    order.push_back(static_cast<int>(wParam));
    return static_cast<LRESULT>(wParam * 2);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND makeThreadWindow() {
  WNDCLASSEXA wc;
  wc.lpfnWndProc = threadProc;
  wc.lpszClassName = "Threaded";
  RegisterClassExA(&wc);
  return CreateWindowExA(0, "Threaded", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
}

}  // namespace

TEST(CrossThread, SendFromAWorkerRunsOnTheUiThreadAndWaitsForTheAnswer) {
  freshDesktop();
  order.clear();
  HWND w = makeThreadWindow();
  std::atomic<bool> finished{false};
  LRESULT answers[3] = {};
  std::thread worker([&] {
    EXPECT_FALSE(isUiThread());
    for (int i = 0; i < 3; ++i) answers[i] = SendMessageA(w, WM_USER, static_cast<WPARAM>(i + 1), 0);
    int fromInvoke = 0;
    invokeOnUiThread([&] { fromInvoke = static_cast<int>(order.size()); });
    EXPECT_EQ(fromInvoke, 3);  // the sends before it had all run
    PostMessageA(w, WM_USER + 1, 9, 0);
    PostQuitMessage(0);
    finished = true;
  });
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  worker.join();
  EXPECT_TRUE(finished);
  EXPECT_EQ(answers[0], 2);
  EXPECT_EQ(answers[2], 6);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 9}));
  EXPECT_EQ(procThread, std::this_thread::get_id());
}

TEST(CrossThread, PumpServesWaitingWorkersAndPostsFromManyThreadsAllArrive) {
  freshDesktop();
  order.clear();
  HWND w = makeThreadWindow();
  std::atomic<int> done{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) PostMessageA(w, WM_USER + 2, static_cast<WPARAM>(t * 100 + i), 0);
      invokeOnUiThread([] {});
      ++done;
    });
  }
  while (done < 4) processPendingMessages();
  for (std::thread& t : workers) t.join();
  processPendingMessages();
  EXPECT_EQ(order.size(), 100u);
  // Each thread's own posts keep their order.
  for (int t = 0; t < 4; ++t) {
    int last = -1;
    for (int v : order) {
      if (v / 100 == t) {
        EXPECT_GT(v, last);
        last = v;
      }
    }
  }
}

TEST(CrossThread, CallsFromWorkersOnDeadWindowsAnswerZero) {
  freshDesktop();
  HWND w = makeThreadWindow();
  DestroyWindow(w);
  LRESULT answer = -1;
  bool posted = true;
  std::thread worker([&] {
    answer = SendMessageA(w, WM_USER, 5, 0);
    posted = PostMessageA(w, WM_USER, 5, 0);
    PostQuitMessage(0);
  });
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  worker.join();
  EXPECT_EQ(answer, 0);
  EXPECT_FALSE(posted);
}

TEST(CrossThread, WorkersReadTheTestClockWhileTheUiThreadMovesIt) {
  HeadlessBackend& desk = freshDesktop();
  std::atomic<bool> stop{false};
  std::atomic<DWORD> latest{0};
  std::thread worker([&] {
    DWORD last = 0;
    while (!stop) {
      const DWORD now = GetTickCount();
      EXPECT_GE(now, last);  // never goes back
      last = now;
      latest = now;
      Sleep(1);  // real time here: the clock is the UI thread's
    }
  });
  for (int i = 0; i < 50; ++i) {
    desk.advance(10);
    Sleep(10);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  stop = true;
  worker.join();
  EXPECT_EQ(desk.now(), 1000);
  EXPECT_LE(latest.load(), 1000u);
}
