// The framework's window class routines on the in-memory desktop.

#include <gtest/gtest.h>

#include "platform/window/headless/HeadlessBackend.h"
#include "ui/framework/Framework.h"
#include "ui/framework/WindowClass.h"

using namespace platform::window;

namespace {

std::vector<std::int64_t> tickTimes;
HeadlessBackend* desk = nullptr;

LRESULT tickingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == 7) tickTimes.push_back(desk->now());
  return ui::defaultWindowProcedure(hwnd, message, wParam, lParam);
}

}  // namespace

TEST(WindowClass, TheFrameworkClassTakesItsDefaultsAndRegistersOnce) {
  HeadlessBackend::install();
  ASSERT_TRUE(ui::registerWindowClass(ui::defaultWindowProcedure));
  EXPECT_FALSE(ui::registerWindowClass(ui::defaultWindowProcedure, std::string("ex_directui")));
  WNDCLASSEXA info;
  ASSERT_TRUE(GetClassInfoExA("Ex_DirectUI", &info));
  EXPECT_EQ(info.style, CS_DBLCLKS);
  EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_NE(info.hIcon, nullptr);
  EXPECT_EQ(info.lpfnWndProc, &ui::defaultWindowProcedure);

  ASSERT_TRUE(ui::registerWindowClass(ui::defaultWindowProcedure, std::string("Other"), nullptr, 0u,
                                      LoadCursorA(nullptr, IDC_HAND)));
  ASSERT_TRUE(GetClassInfoExA("Other", &info));
  EXPECT_EQ(info.style, 0u);
  EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_HAND));

  // The default procedure does the default things: WM_CLOSE destroys.
  HWND w = CreateWindowExA(0, "Ex_DirectUI", "box", WS_POPUP, 0, 0, 320, 150, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(w));
}

TEST(WindowClass, StartReportsAModernSystemWhateverTheKernelVersion) {
  HeadlessBackend::install();
  ui::start();
  // Major version 5 would pick the host's title path of an old system.
  EXPECT_GT(ui::framework().osMajorVersion, 5);
}

TEST(WindowClass, TimersDefaultToTheFrameworkIntervalAndRoundRegionsKeepTheirGeometry) {
  desk = &HeadlessBackend::install();
  tickTimes.clear();
  ASSERT_TRUE(ui::registerWindowClass(tickingProc, std::string("Ticking")));
  HWND w = CreateWindowExA(0, "Ticking", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr);
  EXPECT_EQ(ui::setTimer(w, 7), 7u);
  desk->advance(79);
  EXPECT_TRUE(tickTimes.empty());
  desk->advance(1);
  EXPECT_EQ(tickTimes, (std::vector<std::int64_t>{ui::kDefaultTimerInterval}));
  ui::setTimer(w, 7, 500);
  desk->advance(499);
  EXPECT_EQ(tickTimes.size(), 1u);
  desk->advance(1);
  EXPECT_EQ(tickTimes.size(), 2u);

  ui::setRoundRegion(w, 300, 200, 0, 4);
  auto region = desk->nativeRegion(w);
  ASSERT_TRUE(region.has_value());
  ASSERT_NE(region->roundRectSource(), nullptr);
  EXPECT_EQ(region->roundRectSource()->rect, (RECT{0, 0, 301, 201}));
  EXPECT_EQ(region->roundRectSource()->ellipseWidth, 4);
  EXPECT_EQ(region->roundRectSource()->ellipseHeight, 4);
  ui::setRoundRegion(w, 300, 200, 5, 14);
  EXPECT_EQ(desk->nativeRegion(w)->roundRectSource()->rect, (RECT{5, 5, 296, 196}));
  ui::setRoundRegion(nullptr, 300, 200, 0, 4);  // no window: nothing happens
}
