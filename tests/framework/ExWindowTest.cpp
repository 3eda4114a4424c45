// The window host's life cycle and its window procedure: attach and its defaults, the
// table entry, the hook and the fall-through, the framework messages, sizes and detach.

#include "tests/framework/HostTestSupport.h"
#include "tests/support/TestPictures.h"

using namespace hosttest;

namespace {

platform::system::ByteBlock solidPng(int w, int h, std::uint32_t argb) {
  const auto bytes = testpictures::encodeSolid("png", w, h, argb);
  return platform::system::ByteBlock(bytes.begin(), bytes.end());
}

}  // namespace

TEST_F(HostTest, AttachFillsTheEntryAndTakesOverTheProcedure) {
  HWND w = makeWindow(200, 150, WS_POPUP | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
  ExWindow host;
  ui::AttachOptions options;
  options.windowAlpha = 200;
  ASSERT_TRUE(host.attach(w, solidPng(20, 20, 0xFF112233u), options));
  EXPECT_FALSE(host.attach(w, {}));
  ExWindow other;
  EXPECT_FALSE(other.attach(w, {}));
  EXPECT_FALSE(other.attach(nullptr, {}));

  EXPECT_EQ(ExWindow::fromHandle(w), &host);
  EXPECT_EQ(GetPropA(w, "addr_wnd"), reinterpret_cast<std::intptr_t>(&host));
  EXPECT_NE(GetWindowProc(w), &previousProcedure);
  // Default caption set: icon, title, close, plus maximise and minimise from the style.
  EXPECT_EQ(host.captionButtonSet(), 1 | 2 | 4 | 8 | 16);
  const long style = GetWindowLongA(w, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_THICKFRAME);
  // Colour from the picture's pixel at 85 %, as a colour reference.
  EXPECT_EQ(host.backgroundColour(), 0x00332211u);
  ASSERT_NE(host.composedSurface(), nullptr);
  EXPECT_EQ(host.backgroundSurface()->width(), 200);
  // The composed image is the window's size and grows with it; a smaller window keeps it.
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(host.composedSurface()->width(), client.width());
  EXPECT_EQ(host.composedSurface()->height(), client.height());
  SetWindowPos(w, nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(w, &client);
  EXPECT_GE(host.composedSurface()->width(), client.width());
  EXPECT_GE(host.composedSurface()->height(), client.height());
  EXPECT_LE(host.composedSurface()->width(), std::max(GetSystemMetrics(SM_CXMAXTRACK), client.width()));
  const int grownWidth = host.composedSurface()->width();
  SetWindowPos(w, nullptr, 0, 0, 150, 100, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(host.composedSurface()->width(), grownWidth);
  const ui::WindowEntry* entry = ui::framework().windows.at(host.windowIndex());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->windowAlpha, 200);
  EXPECT_EQ(entry->windowRect.x, 100);
  EXPECT_NE(host.tooltipWindow(), nullptr);

  // Detach on WM_DESTROY: the previous procedure still hears it, nothing is left.
  const int index = host.windowIndex();
  RecordingControl control;
  ASSERT_GT(control.create(w, {10, 40, 20, 20}), 0);
  DestroyWindow(w);
  EXPECT_EQ(ui::framework().windows.at(index), nullptr);
  EXPECT_FALSE(host.attached());
  EXPECT_EQ(control.count(WM_DESTROY), 1);
  EXPECT_NE(std::find(previousSaw().begin(), previousSaw().end(), WM_DESTROY), previousSaw().end());
  EXPECT_EQ(ui::sendToControl(index, 1, w, WM_USER, 0, 0, true), 0);
}

TEST_F(HostTest, FixedSizeRemovesTheThickFrameAndAnEmptySetAddsNothing) {
  HWND w = makeWindow(200, 150, WS_POPUP | WS_THICKFRAME);
  ui::AttachOptions o = noCaption();
  o.fixedSize = 1;
  ExWindow& host = attached(w, o);
  EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(host.captionButtonSet(), 0);
}

TEST_F(HostTest, EmptyOrUndecodablePictureGivesTheColourBackground) {
  for (const auto& bytes : {platform::system::ByteBlock{}, platform::system::ByteBlock{'n', 'o', 't', 0, 1}}) {
    HWND w = makeWindow(60, 50);
    ExWindow host;
    ui::AttachOptions o = noCaption();
    ASSERT_TRUE(host.attach(w, bytes, o));
    EXPECT_EQ(host.backgroundImage().GetHandle(), nullptr);
    EXPECT_EQ(desk->pixel(w, 30, 25), 0xFF102030u);
    DestroyWindow(w);
  }
  // Without a picture and without a colour the background is black.
  HWND w = makeWindow(60, 50);
  ui::AttachOptions o;
  o.captionButtonSet = 0;
  ExWindow& host = attached(w, o);
  EXPECT_EQ(host.backgroundColour(), 0u);
  EXPECT_EQ(desk->pixel(w, 30, 25), 0xFF000000u);
}

TEST_F(HostTest, HookSeesMessagesFirstAndMinusOneGoesOn) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  std::vector<UINT> hooked;
  host.setMessageHook([&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
    hooked.push_back(m);
    if (m == WM_USER + 1) return 42;
    return -1;
  });
  int resizedTo = 0;
  host.onResized([&](HWND, int width, int) { resizedTo = width; });
  previousSaw().clear();
  EXPECT_EQ(SendMessageA(w, WM_SIZE, 0, makeLParam(120, 90)), 0);
  EXPECT_EQ(resizedTo, 120);
  EXPECT_EQ(std::count(hooked.begin(), hooked.end(), WM_SIZE), 1);
  EXPECT_EQ(std::count(previousSaw().begin(), previousSaw().end(), WM_SIZE), 0);
  EXPECT_EQ(SendMessageA(w, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(std::count(previousSaw().begin(), previousSaw().end(), WM_USER + 1), 0);
  SendMessageA(w, WM_USER + 2, 0, 0);
  EXPECT_EQ(std::count(previousSaw().begin(), previousSaw().end(), WM_USER + 2), 1);
  closeWindows();
}

TEST_F(HostTest, FrameworkMessagesAnswerColourPictureAndAccessKeys) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  EXPECT_EQ(SendMessageA(w, ui::kMsgBackgroundColour, 0, 0), 0x00302010);
  EXPECT_EQ(SendMessageA(w, ui::kMsgBackgroundImage, 0, 0), 0);  // no picture
  host.redraw(solidPng(8, 8, 0xFF00FF00u));
  EXPECT_EQ(SendMessageA(w, ui::kMsgBackgroundImage, 0, 0), reinterpret_cast<LRESULT>(&host.backgroundImage()));
  RecordingControl button;
  const int id = button.create(w, {10, 40, 30, 20}, ui::kKindPushButton);
  EXPECT_EQ(SendMessageA(w, ui::kMsgAccessKey, static_cast<WPARAM>(id), 'o'), 1);
  EXPECT_EQ(SendMessageA(w, ui::kMsgAccessKey, 99, 'p'), 0);  // no such control

  // A window that is not a framework window answers 0.
  HWND plain = makeWindow();
  EXPECT_EQ(SendMessageA(plain, ui::kMsgBackgroundColour, 0, 0), 0);
}

TEST_F(HostTest, MinimumSizeFollowsTheCaptionButtons) {
  HWND w = makeWindow();
  ui::AttachOptions o = noCaption();
  o.captionButtonSet = 6;
  ExWindow& host = attached(w, o);
  MINMAXINFO info;
  SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 79);
  EXPECT_EQ(info.ptMinTrackSize.y, 40);
  host.setCaptionButtons(4 | 8 | 16);
  SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 135);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(info.ptMaxSize.x, work.right - work.left);
  EXPECT_EQ(info.ptMaxSize.y, work.bottom - work.top - 1);
  EXPECT_EQ(info.ptMaxPosition.x, work.left);
}

TEST_F(HostTest, AWindowShownAsItsStateChangesIsPlacedBelowTheScreensRightCorner) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  int hooked = 0;
  host.setMessageHook([&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
    hooked += m == ui::kWmWindowPosChanging;
    return -1;
  });
  previousSaw().clear();
  const UINT moving = ui::kSwpStateChanged | SWP_SHOWWINDOW;
  ui::WindowPosChange change{w, nullptr, 40, 50, 200, 150, moving};
  EXPECT_EQ(SendMessageA(w, ui::kWmWindowPosChanging, 0, reinterpret_cast<LPARAM>(&change)), 0);
  EXPECT_EQ(change.x, GetSystemMetrics(SM_CXSCREEN) - 200);
  EXPECT_EQ(change.y, GetSystemMetrics(SM_CYSCREEN));
  // Any flag missing, or a change that keeps the size, leaves the place alone.
  for (UINT flags : {UINT{SWP_SHOWWINDOW}, ui::kSwpStateChanged, moving | SWP_NOSIZE}) {
    ui::WindowPosChange other{w, nullptr, 40, 50, 200, 150, flags};
    SendMessageA(w, ui::kWmWindowPosChanging, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(other.x, 40) << flags;
    EXPECT_EQ(other.y, 50) << flags;
  }
  EXPECT_EQ(hooked, 4);
  EXPECT_EQ(std::count(previousSaw().begin(), previousSaw().end(), ui::kWmWindowPosChanging), 0);
  closeWindows();
}

TEST_F(HostTest, DestroyedWhileAFadeInIsPendingLeavesNothingBehind) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl control;
  control.create(w, {10, 40, 20, 20});
  host.redraw(std::nullopt, std::nullopt, true);
  desk->advance(80);
  EXPECT_TRUE(host.composing());
  DestroyWindow(w);
  EXPECT_FALSE(host.composing());
  desk->advance(1000);  // no tick may reach the gone host
  EXPECT_FALSE(host.attached());
}
