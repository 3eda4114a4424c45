// Windows, classes, properties, procedures, placement and regions on the headless desktop.

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "platform/window/Icons.h"
#include "platform/window/WindowSystem.h"
#include "tests/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

LRESULT refuseCreate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return -1;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

WNDPROC chainedPrevious = nullptr;
LRESULT chainingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 1) return 1000 + CallWindowProcA(chainedPrevious, hwnd, message, wParam, lParam);
  return CallWindowProcA(chainedPrevious, hwnd, message, wParam, lParam);
}

LRESULT answer7(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 1) return 7;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The creation structure lives only while WM_CREATE runs, so its parameter is read there.
void* createParamSeen = nullptr;
LRESULT createParamProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) createParamSeen = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
  return recordingProc(hwnd, message, wParam, lParam);
}

MINMAXINFO limits;
LRESULT limitingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = limits.ptMinTrackSize;
    info->ptMaxSize = limits.ptMaxSize;
    info->ptMaxPosition = limits.ptMaxPosition;
    return 0;
  }
  return recordingProc(hwnd, message, wParam, lParam);
}

}  // namespace

TEST(WindowLifecycle, CreationSendsItsMessagesAndDestroyInvalidatesTheHandleForGood) {
  freshDesktop();
  WNDCLASSEXA wc;
  wc.lpfnWndProc = createParamProc;
  wc.lpszClassName = "WithParam";
  RegisterClassExA(&wc);
  int param = 42;
  createParamSeen = nullptr;
  HWND w = CreateWindowExA(WS_EX_LAYERED, "withparam", "title", WS_POPUP | WS_SYSMENU, 10, 20, 300,
                           200, nullptr, &param);
  ASSERT_NE(w, nullptr);  // class names ignore case
  EXPECT_EQ(messagesOf(w, {WM_NCCREATE, WM_CREATE, WM_GETMINMAXINFO, WM_SIZE, WM_MOVE}),
            (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_GETMINMAXINFO, WM_SIZE, WM_MOVE}));
  EXPECT_EQ(createParamSeen, &param);
  RECT r;
  ASSERT_TRUE(GetWindowRect(w, &r));
  EXPECT_EQ(r, (RECT{10, 20, 310, 220}));
  ASSERT_TRUE(GetClientRect(w, &r));
  EXPECT_EQ(r, (RECT{0, 0, 300, 200}));
  EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE), static_cast<long>(WS_EX_LAYERED));
  EXPECT_FALSE(IsWindowVisible(w));

  ASSERT_TRUE(DestroyWindow(w));
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(messagesOf(w, {WM_DESTROY, WM_NCDESTROY}), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  HWND next = makeWindow();
  EXPECT_NE(next, w);  // handles are never reused
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0));
  EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 0);
}

TEST(WindowLifecycle, ClassesAndFailedCreation) {
  freshDesktop();
  WNDCLASSEXA wc;
  wc.lpfnWndProc = recordingProc;
  wc.lpszClassName = "REC";
  EXPECT_EQ(RegisterClassExA(&wc), 0u);  // already there
  EXPECT_EQ(CreateWindowExA(0, "Missing", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr), nullptr);
  wc.lpfnWndProc = refuseCreate;
  wc.lpszClassName = "Refuses";
  ASSERT_NE(RegisterClassExA(&wc), 0u);
  EXPECT_EQ(CreateWindowExA(0, "Refuses", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr), nullptr);
  WNDCLASSEXA info;
  ASSERT_TRUE(GetClassInfoExA("rec", &info));
  EXPECT_EQ(info.style, CS_DBLCLKS);
  EXPECT_EQ(info.lpfnWndProc, &recordingProc);
}

TEST(WindowLifecycle, PropertiesTitlesAndProcedureChaining) {
  freshDesktop();
  HWND w = makeWindow();
  int object = 0;
  EXPECT_TRUE(SetPropA(w, "addr_wnd", reinterpret_cast<std::intptr_t>(&object)));
  EXPECT_TRUE(SetPropA(w, "msg_wnd", 0x30));
  EXPECT_EQ(GetPropA(w, "addr_wnd"), reinterpret_cast<std::intptr_t>(&object));
  EXPECT_EQ(RemovePropA(w, "msg_wnd"), 0x30);
  EXPECT_EQ(GetPropA(w, "msg_wnd"), 0);
  EXPECT_EQ(GetPropA(w, "missing"), 0);

  static const std::string title = platform::text::utf8ToAnsi("Tunora音乐，聆听世界");
  seen().clear();
  ASSERT_TRUE(SetWindowTextA(w, title.c_str()));
  EXPECT_EQ(messagesOf(w, {WM_SETTEXT}), (std::vector<UINT>{WM_SETTEXT}));
  EXPECT_EQ(GetWindowTextA(w), title);
  EXPECT_EQ(FindWindowA(nullptr, title.c_str()), w);

  WNDPROC old = SetWindowProc(w, answer7);
  EXPECT_EQ(old, &recordingProc);
  chainedPrevious = SetWindowProc(w, chainingProc);
  EXPECT_EQ(chainedPrevious, &answer7);
  EXPECT_EQ(SendMessageA(w, WM_USER + 1, 0, 0), 1007);
  EXPECT_EQ(SetWindowProc(w, nullptr), nullptr);
  EXPECT_EQ(GetWindowProc(w), &chainingProc);
}

TEST(WindowLifecycle, OwnedWindowsDieWithTheirOwner) {
  freshDesktop();
  HWND owner = makeWindow();
  HWND box = makeWindow("Rec", 0, 0, 100, 100, owner);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetOwner(box), owner);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(CreateWindowExA(0, "Rec", "", WS_POPUP, 0, 0, 10, 10, owner, nullptr), nullptr);
}

TEST(WindowLifecycle, MaximiseTakesTheMinMaxAnswerAndRestoreGoesBack) {
  HeadlessBackend& desk = freshDesktop();
  desk.setScreen({1280, 800}, {0, 0, 1280, 770});
  limits.ptMinTrackSize = {135, 40};
  limits.ptMaxSize = {1280, 769};
  limits.ptMaxPosition = {0, 0};
  WNDCLASSEXA wc;
  wc.lpfnWndProc = limitingProc;
  wc.lpszClassName = "Limited";
  RegisterClassExA(&wc);
  HWND w = CreateWindowExA(0, "Limited", "", WS_POPUP | WS_MAXIMIZEBOX | WS_THICKFRAME, 50, 50, 296,
                           657, nullptr, nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  EXPECT_EQ(desk.minimumSize(w), (SIZE{135, 40}));
  seen().clear();
  ShowWindow(w, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(w));
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{0, 0, 1280, 769}));
  ASSERT_FALSE(seen().empty());
  bool sawMaxSize = false;
  for (const Seen& s : seen()) {
    if (s.message == WM_SIZE && s.wParam == SIZE_MAXIMIZED) {
      sawMaxSize = true;
      EXPECT_EQ(loWord(s.lParam), 1280u);
      EXPECT_EQ(hiWord(s.lParam), 769u);
    }
  }
  EXPECT_TRUE(sawMaxSize);
  SendMessageA(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(w));
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{50, 50, 346, 707}));
  SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(w));
  ShowWindow(w, SW_SHOWNORMAL);
  EXPECT_FALSE(IsIconic(w));

  // The user cannot shrink it below the minimum.
  desk.userResize(w, 20, 10);
  desk.pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r.width(), 135);
  EXPECT_EQ(r.height(), 40);
}

TEST(WindowLifecycle, RegionsAlphaIconsAndTopmostReachTheDesktop) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow();
  Region round = CreateRoundRectRgn(0, 0, 301, 201, 4, 4);
  ASSERT_NE(round.roundRectSource(), nullptr);
  EXPECT_EQ(round.roundRectSource()->rect, (RECT{0, 0, 301, 201}));
  EXPECT_EQ(round.bounds(), (RECT{0, 0, 301, 201}));
  EXPECT_FALSE(round.contains(0, 0));  // the corner is cut
  EXPECT_TRUE(round.contains(2, 0));
  EXPECT_TRUE(round.contains(150, 100));
  EXPECT_FALSE(round.contains(300, 200));
  EXPECT_FALSE(round.contains(301, 100));
  ASSERT_TRUE(SetWindowRgn(w, round, true));
  ASSERT_TRUE(desk.nativeRegion(w).has_value());
  EXPECT_EQ(desk.nativeRegion(w)->rectangles(), round.rectangles());
  SetWindowRgn(w, std::nullopt, false);
  EXPECT_FALSE(desk.nativeRegion(w).has_value());

  EXPECT_TRUE(SetLayeredWindowAttributes(w, 0, 170, LWA_ALPHA));
  EXPECT_EQ(desk.opacity(w), std::optional<BYTE>(170));

  std::uint32_t px[4] = {0xFF112233u, 0xFF112233u, 0xFF112233u, 0xFF112233u};
  HICON icon = CreateIconFromPixels({px, 2, 2, 8});
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon)), 0);
  EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(icon));
  EXPECT_TRUE(desk.hasIcon(w));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_EQ(iconPixels(icon).pixels, nullptr);

  SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(desk.topmost(w));
  EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(WindowLifecycle, RoundRegionsWithOddArgumentsStaySane) {
  EXPECT_TRUE(Region::roundRect(10, 10, 10, 50, 4, 4).empty());
  Region swapped = Region::roundRect(100, 80, 0, 0, 0, 0);
  EXPECT_EQ(swapped.bounds(), (RECT{0, 0, 100, 80}));
  EXPECT_EQ(swapped.rectangles().size(), 1u);
  Region huge = Region::roundRect(0, 0, 20, 10, 1000, 1000);  // ellipse limited to the box
  EXPECT_TRUE(huge.contains(10, 5));
  EXPECT_FALSE(huge.contains(0, 0));
  Region vast = Region::roundRect(0, 0, 2000000000, 2000000000, 8, 8);
  EXPECT_EQ(vast.bounds(), (RECT{0, 0, 32767, 32767}));
  EXPECT_LT(vast.rectangles().size(), 16u);  // the straight part is one rectangle
}

TEST(WindowLifecycle, PresentedPixelsCanBeReadBack) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 0, 0, 4, 3);
  std::vector<std::uint32_t> surface(10 * 10, 0x80402010u);
  surface[1 * 10 + 2] = 0xFFFFFFFFu;
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, {surface.data(), 10, 10, 40}, {1, 1}));
  EXPECT_EQ(desk.pixel(w, 0, 0), 0x80402010u);
  EXPECT_EQ(desk.pixel(w, 1, 0), 0xFFFFFFFFu);  // (2, 1) of the source
  EXPECT_EQ(desk.presented(w).width, 4);
  EXPECT_EQ(desk.presentCount(w), 1);

  // Constant alpha scales premultiplied channels.
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, {surface.data(), 10, 10, 40}, {0, 0}, 128));
  EXPECT_EQ(desk.pixel(w, 0, 0), 0x40201008u);

  // A paint copy changes only its rectangle.
  std::vector<std::uint32_t> other(4 * 3, 0xFF00FF00u);
  ASSERT_TRUE(PaintPixels(w, {other.data(), 4, 3, 16}, {1, 1, 3, 2}));
  EXPECT_EQ(desk.pixel(w, 1, 1), 0xFF00FF00u);
  EXPECT_EQ(desk.pixel(w, 0, 1), 0x40201008u);
  EXPECT_FALSE(UpdateLayeredWindow(w, nullptr, nullptr, {nullptr, 0, 0, 0}, {0, 0}));

  // A new size comes with the update.
  const SIZE bigger{6, 5};
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, &bigger, {surface.data(), 10, 10, 40}, {0, 0}));
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.width(), 6);
  EXPECT_EQ(desk.presented(w).height, 5);

  // An absurd size is cut rather than allocated.
  ASSERT_TRUE(MoveWindow(w, 0, 0, 10, 1 << 30, false));
  GetWindowRect(w, &r);
  EXPECT_EQ(r.height(), kMaxWindowSide);
  EXPECT_EQ(desk.presented(w).height, kMaxWindowSide);
  HWND odd = CreateWindowExA(0, "Rec", "", WS_POPUP, 0, 0, -5, 1 << 30, nullptr, nullptr);
  ASSERT_NE(odd, nullptr);
  GetWindowRect(odd, &r);
  EXPECT_EQ(r, (RECT{0, 0, 0, kMaxWindowSide}));
}
