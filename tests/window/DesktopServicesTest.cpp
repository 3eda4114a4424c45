// Screen metrics, clipboard, file dialogs, beeps and windows of other processes.

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "platform/window/Caret.h"
#include "platform/window/DesktopServices.h"
#include "tests/window/WindowTestSupport.h"

using namespace windowtest;

TEST(DesktopServices, MetricsWorkAreaAndBeeps) {
  HeadlessBackend& desk = freshDesktop();
  desk.setScreen({1024, 768}, {0, 24, 1024, 768});
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_GE(GetSystemMetrics(SM_CXMAXTRACK), 1024);
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 24, 1024, 768}));
  EXPECT_FALSE(SystemParametersInfoA(0x1234, 0, &work, 0));
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  MessageBeep(MB_ICONQUESTION);
  EXPECT_EQ(desk.beeps(), (std::vector<UINT>{MB_ICONQUESTION}));
}

TEST(DesktopServices, ClipboardTextTravelsAsUtf8AndComesBackAsGbk) {
  HeadlessBackend& desk = freshDesktop();
  const std::string gbk = platform::text::utf8ToAnsi("歌曲abc");
  ASSERT_TRUE(setClipboardText(gbk));
  EXPECT_EQ(desk.clipboardUtf8(), "歌曲abc");
  desk.setClipboardUtf8("歌手");
  EXPECT_EQ(clipboardText(), platform::text::utf8ToAnsi("歌手"));
}

TEST(DesktopServices, FileFiltersAreSplitIntoNamesAndPatterns) {
  auto filters = parseFileFilter("所有支持的图片文件|*.jpg;*.bmp;*.gif;*.png|所有文件|*.*");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].nameUtf8, "所有支持的图片文件");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.jpg", "*.bmp", "*.gif", "*.png"}));
  EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(parseFileFilter("").empty());
  EXPECT_TRUE(parseFileFilter("|||").empty());
  auto odd = parseFileFilter("Images|*.png;;|Empty| ; |Dangling");
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0].patterns, (std::vector<std::string>{"*.png"}));
}

TEST(DesktopServices, OpenFileDialogAnswersOrCancels) {
  HeadlessBackend& desk = freshDesktop();
  HWND owner = makeWindow();
  const std::string title = platform::text::utf8ToAnsi("更改外观");
  const std::string filter = platform::text::utf8ToAnsi("图片|*.png|所有文件|*.*");
  desk.answerFileDialog("/tmp/picture.png");
  EXPECT_EQ(openFileDialog(owner, title, filter), std::optional<std::string>("/tmp/picture.png"));
  EXPECT_EQ(openFileDialog(owner, title, filter), std::nullopt);
  ASSERT_EQ(desk.fileDialogs().size(), 2u);
  EXPECT_EQ(desk.fileDialogs()[0].titleUtf8, "更改外观");
  EXPECT_EQ(desk.fileDialogs()[0].filters.size(), 2u);
  EXPECT_EQ(desk.fileDialogs()[0].owner, owner);
}

TEST(DesktopServices, AWindowOfAnotherProcessIsFoundByTitleAndShown) {
  HeadlessBackend& desk = freshDesktop();
  const std::uint64_t id = desk.addForeignWindow("Tunora音乐，聆听世界");
  const std::string title = platform::text::utf8ToAnsi("Tunora音乐，聆听世界");
  EXPECT_EQ(FindWindowA("Rec", title.c_str()), nullptr);  // a class narrows to our own
  HWND found = FindWindowA(nullptr, title.c_str());
  ASSERT_NE(found, nullptr);
  EXPECT_TRUE(IsWindow(found));
  EXPECT_EQ(FindWindowA(nullptr, title.c_str()), found);
  ShowWindow(found, SW_SHOWNORMAL);
  EXPECT_EQ(desk.foreignShows(id), (std::vector<NativeShow>{NativeShow::Normal}));
  EXPECT_EQ(SendMessageA(found, WM_CLOSE, 0, 0), 0);  // nothing crosses processes
  // Only finding, showing and its title work on it; everything else refuses the handle.
  EXPECT_EQ(GetWindowTextA(found), title);
  EXPECT_TRUE(IsWindowVisible(found));
  EXPECT_FALSE(SetWindowTextA(found, "x"));
  EXPECT_FALSE(MoveWindow(found, 0, 0, 10, 10, true));
  EXPECT_FALSE(SetPropA(found, "p", 1));
  EXPECT_EQ(SetTimer(found, 1, 100), 0u);
  EXPECT_FALSE(SetWindowRgn(found, CreateRoundRectRgn(0, 0, 5, 5, 2, 2), true));
  const std::uint32_t pixel = 0xFFFFFFFFu;
  EXPECT_FALSE(UpdateLayeredWindow(found, nullptr, nullptr, {&pixel, 1, 1, 4}, {0, 0}));
  EXPECT_FALSE(InvalidateRect(found, nullptr, false));
  EXPECT_EQ(SetFocus(found), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SetCapture(found), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetSystemMenu(found, false), nullptr);
  EXPECT_FALSE(PostMessageA(found, WM_USER, 0, 0));
  // Destroying it only forgets the handle; the other process's window stays.
  EXPECT_TRUE(DestroyWindow(found));
  EXPECT_FALSE(IsWindow(found));
  found = FindWindowA(nullptr, title.c_str());
  EXPECT_TRUE(IsWindow(found));
  desk.closeForeignWindow(id);
  EXPECT_FALSE(IsWindow(found));
  EXPECT_EQ(FindWindowA(nullptr, title.c_str()), nullptr);
}

TEST(DesktopServices, TheCaretTellsTheInputMethodWhereTextGoes) {
  HeadlessBackend& desk = freshDesktop();
  HWND first = makeWindow();
  HWND second = makeWindow("Rec", 450, 50);
  POINT at{};
  EXPECT_FALSE(SetCaretPos(3, 4));  // no caret yet
  EXPECT_FALSE(GetCaretPos(&at));

  ASSERT_TRUE(CreateCaret(first, 1, 16));
  EXPECT_FALSE(desk.inputCursor(first).has_value());  // placed only once moved
  ASSERT_TRUE(SetCaretPos(40, 12));
  EXPECT_EQ(desk.inputCursor(first), (RECT{40, 12, 41, 28}));
  ASSERT_TRUE(GetCaretPos(&at));
  EXPECT_EQ(at, (POINT{40, 12}));

  // One caret per thread: taking it to another window clears the first one's place.
  ASSERT_TRUE(CreateCaret(second, 2, 10));
  EXPECT_FALSE(desk.inputCursor(first).has_value());
  ASSERT_TRUE(SetCaretPos(5, 6));
  EXPECT_EQ(desk.inputCursor(second), (RECT{5, 6, 7, 16}));
  EXPECT_EQ(GetCaretOwner(), second);

  ASSERT_TRUE(DestroyCaret());
  EXPECT_FALSE(desk.inputCursor(second).has_value());
  EXPECT_FALSE(DestroyCaret());
  EXPECT_EQ(GetCaretOwner(), nullptr);

  // A caret whose window is gone does nothing.
  ASSERT_TRUE(CreateCaret(first, 1, 16));
  DestroyWindow(first);
  EXPECT_FALSE(SetCaretPos(1, 1));
  EXPECT_EQ(GetCaretOwner(), nullptr);
  EXPECT_FALSE(CreateCaret(first, 1, 16));
}
