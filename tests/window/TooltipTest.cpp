// Tooltips: shown after the initial delay over their rectangle, gone on a press or a pop.

#include <gtest/gtest.h>

#include "platform/gfx/Font.h"
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

TEST(Tooltips, ATipIsDrawnInTheFontItWasGiven) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 100, 100, 300, 200);
  ShowWindow(w, SW_SHOWNORMAL);
  HWND tip = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, TOOLTIPS_CLASSA, "",
                             WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr, nullptr);
  static const std::string text = platform::text::utf8ToAnsi("播放 Play");
  TOOLINFOA info;
  info.hwnd = w;
  info.uId = 1;
  info.rect = {0, 0, 100, 100};
  info.lpszText = text.c_str();
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  auto shownSize = [&](int x) {
    desk.mouseMove(w, x, 10);
    desk.advance(600);
    RECT r{};
    GetWindowRect(tip, &r);
    SendMessageA(tip, TTM_POP, 0, 0);
    desk.mouseMove(w, 200, 150);  // away, so the next move shows it again
    desk.pump();
    return r;
  };

  setTooltipFont(nullptr);
  const RECT plain = shownSize(10);
  const auto big = platform::gfx::Font::create("sans-serif", 30);
  ASSERT_NE(big, nullptr);
  setTooltipFont(big.get());
  const RECT large = shownSize(11);
  // The text inside the 5 x 3 margins grows with the font: 30 px against 12.
  EXPECT_GT(large.height() - 6, (plain.height() - 6) * 2);
  EXPECT_GT(large.width() - 10, (plain.width() - 10) * 2);
  // The text is dark on the pale box, inside the frame.
  int dark = 0;
  for (int y = 3; y < large.height() - 3; ++y) {
    for (int x = 5; x < large.width() - 5; ++x) dark += (desk.pixel(tip, x, y) & 0xFF) < 0x40 ? 1 : 0;
  }
  EXPECT_GT(dark, 30);
  setTooltipFont(nullptr);
  EXPECT_EQ(shownSize(12).height(), plain.height());
  DestroyWindow(tip);
}
