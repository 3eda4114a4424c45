// Tooltips: shown after the initial delay over their rectangle, gone on a press or a pop.

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "platform/window/Tooltips.h"
#include "tests/window/WindowTestSupport.h"

using namespace windowtest;

TEST(Tooltips, ATipShowsAfterTheDelayBelowThePointerAndGoesOnAPress) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 100, 100, 300, 200);
  ShowWindow(w, SW_SHOWNORMAL);
  HWND tip = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, TOOLTIPS_CLASSA, "",
                             WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr, nullptr);
  ASSERT_NE(tip, nullptr);
  static const std::string text = platform::text::utf8ToAnsi("播放/暂停");
  TOOLINFOA info;
  info.uFlags = TTF_SUBCLASS;
  info.hwnd = w;
  info.uId = 3;
  info.rect = {10, 10, 60, 40};
  info.lpszText = text.c_str();
  EXPECT_EQ(SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)), 1);
  SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 1024);

  desk.mouseMove(w, 5, 5);  // outside the tool
  desk.advance(1000);
  EXPECT_FALSE(IsWindowVisible(tip));
  desk.mouseMove(w, 20, 20);
  desk.advance(499);
  EXPECT_FALSE(IsWindowVisible(tip));
  desk.advance(1);
  ASSERT_TRUE(IsWindowVisible(tip));
  EXPECT_EQ(GetWindowTextA(tip), text);
  EXPECT_EQ(GetActiveWindow(), w);  // a tip never takes the activation
  RECT r;
  GetWindowRect(tip, &r);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 140);
  EXPECT_GT(r.width(), 20);
  // The box is drawn: a grey frame around a pale inside with dark text somewhere.
  EXPECT_EQ(desk.pixel(tip, 0, 0), 0xFF767676u);
  EXPECT_EQ(desk.pixel(tip, 2, 2), 0xFFFFFFE1u);

  desk.click(w, 20, 20);
  desk.pump();
  EXPECT_FALSE(IsWindowVisible(tip));

  // Moving within the same tool after a press does not bring it back; another tool does.
  static const std::string other = "volume";
  info.uId = 4;
  info.rect = {100, 10, 150, 40};
  info.lpszText = other.c_str();
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  desk.mouseMove(w, 25, 25);
  desk.advance(600);
  EXPECT_FALSE(IsWindowVisible(tip));
  desk.mouseMove(w, 120, 20);
  desk.advance(600);
  ASSERT_TRUE(IsWindowVisible(tip));
  EXPECT_EQ(GetWindowTextA(tip), other);

  static const std::string changed = "volume 50";
  info.lpszText = changed.c_str();
  SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(GetWindowTextA(tip), changed);
  SendMessageA(tip, TTM_POP, 0, 0);
  EXPECT_FALSE(IsWindowVisible(tip));
  DestroyWindow(tip);
  desk.mouseMove(w, 20, 20);  // the tools died with it
  desk.advance(600);
}
