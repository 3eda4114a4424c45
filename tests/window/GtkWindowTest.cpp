// The GTK back end under a private X server with openbox, driven with xdotool.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/text/CodePage.h"
#include "platform/gfx/Surface.h"
#include "platform/gfx/cairo/CairoHandles.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/SurfacePixels.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"
#include "tests/window/WindowTestSupport.h"
#include "tests/window/XSession.h"

using namespace windowtest;

namespace {

LRESULT dragProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  return recordingProc(hwnd, message, wParam, lParam);
}

// Resizes from the bottom-right corner and keeps the window between 150 x 100 and the
// work area less one row when maximised.
LRESULT resizeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) SendMessageA(hwnd, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, 0);
  if (message == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    info->ptMinTrackSize = {150, 100};
    info->ptMaxSize = {work.width(), work.height() - 1};
    info->ptMaxPosition = {work.left, work.top};
    return 0;
  }
  return recordingProc(hwnd, message, wParam, lParam);
}

class GtkWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(GtkBackend::open());
    WindowSystem::instance().installBackend(std::make_unique<GtkBackend>());
    seen().clear();
    WNDCLASSEXA wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = recordingProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "Rec";
    RegisterClassExA(&wc);
    wc.lpfnWndProc = dragProc;
    wc.lpszClassName = "Drag";
    RegisterClassExA(&wc);
    wc.lpfnWndProc = resizeProc;
    wc.lpszClassName = "Resize";
    RegisterClassExA(&wc);
  }

  // Shows a window and waits until the desktop has mapped and activated it.
  HWND shownWindow(const char* cls, const std::string& titleUtf8, int x, int y, int w, int h) {
    const std::string title = platform::text::utf8ToAnsi(titleUtf8);
    HWND hwnd = CreateWindowExA(WS_EX_LAYERED, cls, title.c_str(), WS_POPUP, x, y, w, h, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    paint(hwnd, w, h, 0xFF3366CCu);
    EXPECT_TRUE(XSession::pumpUntil([&] {
      return XSession::run("xdotool search --name '^" + titleUtf8 + "$' >/dev/null 2>&1") == 0 &&
             GetActiveWindow() == hwnd;
    }));
    XSession::pumpUntil([] { return false; }, 100);  // let the frame settle
    return hwnd;
  }

  void paint(HWND hwnd, int w, int h, std::uint32_t colour) {
    pixels_.assign(static_cast<std::size_t>(w) * h, colour);
    UpdateLayeredWindow(hwnd, nullptr, nullptr, {pixels_.data(), w, h, w * 4}, {0, 0});
  }

  std::string xdotool(const std::string& args) {
    std::string out;
    FILE* p = popen(("xdotool " + args + " 2>/dev/null").c_str(), "r");
    if (p == nullptr) return out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
    pclose(p);
    return out;
  }

  std::vector<std::uint32_t> pixels_;
};

std::vector<Seen> only(HWND hwnd, std::initializer_list<UINT> messages) {
  std::vector<Seen> out;
  for (const Seen& s : seen()) {
    if (s.hwnd == hwnd && std::find(messages.begin(), messages.end(), s.message) != messages.end()) {
      out.push_back(s);
    }
  }
  return out;
}

}  // namespace

TEST_F(GtkWindows, AWindowAppearsAtItsPositionWithItsTitle) {
  HWND w = shownWindow("Rec", "位置 test", 120, 90, 200, 150);
  const std::string geometry = xdotool("search --name '^位置 test$' getwindowgeometry --shell");
  EXPECT_NE(geometry.find("X=120"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Y=90"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("WIDTH=200"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("HEIGHT=150"), std::string::npos) << geometry;
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{120, 90, 320, 240}));
}

TEST_F(GtkWindows, ClicksAndDoubleClicksArriveWithTheirCoordinates) {
  HWND w = shownWindow("Rec", "clicks", 100, 100, 200, 150);
  seen().clear();
  XSession::run("xdotool mousemove --sync 130 140 click 1");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !only(w, {WM_LBUTTONUP}).empty(); }));
  auto down = only(w, {WM_LBUTTONDOWN});
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(loWordSigned(down[0].lParam), 30);
  EXPECT_EQ(hiWordSigned(down[0].lParam), 40);
  XSession::pumpUntil([] { return false; }, 700);  // past the double-click time
  seen().clear();
  XSession::run("xdotool mousemove --sync 150 160 click --repeat 2 1");
  ASSERT_TRUE(XSession::pumpUntil([&] { return only(w, {WM_LBUTTONUP}).size() >= 2; }));
  EXPECT_EQ(messagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
  auto dbl = only(w, {WM_LBUTTONDBLCLK});
  ASSERT_EQ(dbl.size(), 1u);
  EXPECT_EQ(loWordSigned(dbl[0].lParam), 50);
  EXPECT_EQ(hiWordSigned(dbl[0].lParam), 60);
  seen().clear();
  XSession::run("xdotool click 3");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !only(w, {WM_RBUTTONUP}).empty(); }));
  EXPECT_EQ(only(w, {WM_RBUTTONDOWN}).size(), 1u);
}

TEST_F(GtkWindows, TypingArrivesAsKeyDownAndGbkCharacters) {
  ASSERT_TRUE(XSession::mapCharacters("周杰"));  // before the window reads the key map
  HWND w = shownWindow("Rec", "typing", 100, 100, 200, 150);
  seen().clear();
  // In the background, as a user types into a running loop.
  XSession::run("(xdotool type --delay 30 'a1' && xdotool key Return BackSpace && "
                "xdotool type --delay 100 '周杰') >/dev/null 2>&1 &");
  const std::string gbk = platform::text::utf8ToAnsi("周杰");
  std::vector<int> expected{'a', '1', 13, 8};
  for (unsigned char c : gbk) expected.push_back(c);
  std::vector<int> chars;
  XSession::pumpUntil([&] {
    chars.clear();
    for (const Seen& s : only(w, {WM_CHAR})) chars.push_back(static_cast<int>(s.wParam));
    return chars.size() >= expected.size();
  });
  EXPECT_EQ(chars, expected);
  auto downs = only(w, {WM_KEYDOWN});
  ASSERT_GE(downs.size(), 4u);
  EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(downs[1].wParam, static_cast<WPARAM>('1'));
  EXPECT_EQ(downs[2].wParam, static_cast<WPARAM>(VK_RETURN));
  EXPECT_EQ(downs[3].wParam, static_cast<WPARAM>(VK_BACK));
  // Each key's WM_KEYDOWN comes before its character.
  EXPECT_EQ(messagesOf(w, {WM_KEYDOWN, WM_CHAR})[0], static_cast<UINT>(WM_KEYDOWN));
}

TEST_F(GtkWindows, MediaKeysArriveWithTheirVirtualKeyCodes) {
  HWND w = shownWindow("Rec", "media keys", 100, 100, 200, 150);
  seen().clear();
  XSession::run("xdotool key XF86AudioPlay XF86AudioPause XF86AudioStop XF86AudioNext XF86AudioPrev");
  const std::vector<WPARAM> expected{VK_MEDIA_PLAY_PAUSE, VK_PAUSE, VK_MEDIA_STOP, VK_MEDIA_NEXT_TRACK,
                                     VK_MEDIA_PREV_TRACK};
  std::vector<WPARAM> downs;
  XSession::pumpUntil([&] {
    downs.clear();
    // xdotool may hold a modifier to reach a key symbol the server's map lacks.
    for (const Seen& s : only(w, {WM_KEYDOWN})) {
      if (s.wParam != VK_SHIFT && s.wParam != VK_CONTROL && s.wParam != VK_MENU) downs.push_back(s.wParam);
    }
    return downs.size() >= expected.size();
  });
  EXPECT_EQ(downs, expected);
}

TEST_F(GtkWindows, APressSentAsCaptionMovesTheWindow) {
  HWND w = shownWindow("Drag", "dragging", 100, 100, 200, 150);
  seen().clear();
  // In the background: the press must be handled while the button is still down.
  XSession::run("(xdotool mousemove --sync 150 150 mousedown 1 sleep 0.3 mousemove 250 200 sleep 0.1 "
                "mousemove 300 230 sleep 0.1 mouseup 1) >/dev/null 2>&1 &");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !only(w, {WM_EXITSIZEMOVE}).empty(); }));
  RECT r;
  ASSERT_TRUE(XSession::pumpUntil([&] {
    GetWindowRect(w, &r);
    return r.left == 250 && r.top == 180;
  }));
  EXPECT_EQ(r, (RECT{250, 180, 450, 330}));
  EXPECT_FALSE(only(w, {WM_ENTERSIZEMOVE}).empty());
  EXPECT_FALSE(only(w, {WM_MOVE}).empty());
}

TEST_F(GtkWindows, APresentedSurfaceIsWhatTheScreenShowsAndCornersAreCut) {
  HWND w = shownWindow("Rec", "pixels", 200, 150, 240, 160);
  // Four opaque quadrants, drawn with cairo as a caller would.
  platform::gfx::Surface s = platform::gfx::Surface::create(240, 160);
  cairo_t* cr = cairo_create(platform::gfx::cairoSurfaceOf(s));
  const double colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
  for (int i = 0; i < 4; ++i) {
    cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
    cairo_rectangle(cr, (i % 2) * 120, (i / 2) * 80, 120, 80);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  const PixelView view = pixelViewOf(s);
  SetWindowRgn(w, CreateRoundRectRgn(0, 0, 241, 161, 40, 40), true);
  XSession::pumpUntil([] { return false; }, 200);
  // Frames pushed one after another without a trip through the loop, as a fade does:
  // the screen shows the last one at once.
  paint(w, 240, 160, 0xFF00FFFFu);
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, view, {0, 0}));
  const std::string shot = ::testing::TempDir() + "window-pixels.png";
  ASSERT_EQ(XSession::run("import -window root '" + shot + "'"), 0);
  std::printf("screenshot: %s\n", shot.c_str());
  cairo_surface_t* png = cairo_image_surface_create_from_png(shot.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  cairo_surface_t* rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1024, 768);
  cairo_t* c2 = cairo_create(rgb);
  cairo_set_source_surface(c2, png, 0, 0);
  cairo_paint(c2);
  cairo_destroy(c2);
  cairo_surface_flush(rgb);
  const auto* screen = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(rgb));
  const int stride = cairo_image_surface_get_stride(rgb) / 4;
  int mismatches = 0;
  for (int y = 10; y < 150; y += 3) {
    for (int x = 10; x < 230; x += 3) {
      if ((screen[(150 + y) * stride + 200 + x] & 0xFFFFFF) != (view.at(x, y) & 0xFFFFFF)) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
  // The corner lies outside the region: the desktop shows through, not our red.
  EXPECT_NE(screen[150 * stride + 200] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(screen[(150 + 20) * stride + 200 + 20] & 0xFFFFFF, 0xFF0000u);
  cairo_surface_destroy(rgb);
  cairo_surface_destroy(png);
}

TEST_F(GtkWindows, ARegionRepaintChangesOnlyItsRectangleOnTheScreen) {
  HWND w = shownWindow("Rec", "region", 300, 200, 200, 150);  // shown in 0xFF3366CC
  const platform::gfx::Surface yellow = [] {
    platform::gfx::Surface s = platform::gfx::Surface::create(200, 150);
    s.clear(0xFFFFFF00u);
    return s;
  }();
  const RECT dirty{50, 40, 90, 70};
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(yellow), {0, 0}, 255, &dirty));
  const std::string shot = ::testing::TempDir() + "window-region.png";
  ASSERT_EQ(XSession::run("import -window root '" + shot + "'"), 0);
  cairo_surface_t* png = cairo_image_surface_create_from_png(shot.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  cairo_surface_t* rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1024, 768);
  cairo_t* cr = cairo_create(rgb);
  cairo_set_source_surface(cr, png, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(rgb);
  const auto* screen = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(rgb));
  const int stride = cairo_image_surface_get_stride(rgb) / 4;
  auto at = [&](int x, int y) { return screen[(200 + y) * stride + 300 + x] & 0xFFFFFF; };
  int wrong = 0;
  for (int y = 2; y < 148; y += 4) {
    for (int x = 2; x < 198; x += 4) {
      const bool inside = x >= dirty.left && x < dirty.right && y >= dirty.top && y < dirty.bottom;
      if (at(x, y) != (inside ? 0xFFFF00u : 0x3366CCu)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  cairo_surface_destroy(rgb);
  cairo_surface_destroy(png);
}

TEST_F(GtkWindows, NoOpenGlIsLoaded) {
  const char* chosen = std::getenv("GDK_GL");
  if (chosen != nullptr && std::string(chosen) != "disable") GTEST_SKIP() << "GDK_GL set by the user";
  // Mapped and painted is enough; whether the window manager activates it does not matter.
  HWND w = CreateWindowExA(WS_EX_LAYERED, "Rec", "no gl", WS_POPUP, 100, 100, 120, 80, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  paint(w, 120, 80, 0xFF3366CCu);
  XSession::pumpUntil([] { return false; }, 300);
  std::FILE* maps = std::fopen("/proc/self/maps", "r");
  ASSERT_NE(maps, nullptr);
  char line[512];
  std::string loaded;
  while (std::fgets(line, sizeof line, maps) != nullptr) {
    const std::string l = line;
    if (l.find("libLLVM") != std::string::npos || l.find("_dri.so") != std::string::npos ||
        l.find("libGLX_mesa") != std::string::npos) {
      loaded += l;
    }
  }
  std::fclose(maps);
  EXPECT_EQ(loaded, "");
}

TEST_F(GtkWindows, ASecondProcessFindsTheWindowByTitleAndRestoresIt) {
  HWND w = shownWindow("Rec", "Tunora音乐，聆听世界", 100, 100, 200, 150);
  ShowWindow(w, SW_MINIMIZE);
  ASSERT_TRUE(XSession::pumpUntil([&] { return IsIconic(w); }));
  // The helper runs the start-up check of a second instance against this process.
  const int status = XSession::run(std::string(WINDOW_FIND_HELPER) + " 'Tunora音乐，聆听世界'");
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(XSession::pumpUntil([&] { return !IsIconic(w); }));
  EXPECT_EQ(XSession::run(std::string(WINDOW_FIND_HELPER) + " 'no such window'"), 1);
}

TEST_F(GtkWindows, TheSystemMenuShowsAtThePointAndPostsTheChoice) {
  HWND w = CreateWindowExA(WS_EX_LAYERED, "Rec", "menu", WS_POPUP | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 100,
                           100, 300, 200, nullptr, nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  paint(w, 300, 200, 0xFF808080u);
  ASSERT_TRUE(XSession::pumpUntil([&] { return GetActiveWindow() == w; }));
  XSession::run("xdotool mousemove --sync 150 150 click 3");
  XSession::pumpUntil([&] { return !only(w, {WM_RBUTTONUP}).empty(); });
  seen().clear();
  // Items from the top: restore, move, minimise, maximise, close; pick "maximise".
  XSession::run("(sleep 0.5; xdotool mousemove 180 170 sleep 0.2 mousemove 190 242 sleep 0.2 click 1) "
                ">/dev/null 2>&1 &");
  EXPECT_TRUE(TrackPopupMenu(GetSystemMenu(w, false), 0, 160, 160, 0, w, nullptr));
  processPendingMessages();
  auto commands = only(w, {WM_COMMAND});
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, SC_MAXIMIZE);
}

TEST_F(GtkWindows, ClipboardTextRoundTripsThroughTheDesktop) {
  const std::string gbk = platform::text::utf8ToAnsi("歌曲 song");
  ASSERT_TRUE(setClipboardText(gbk));
  EXPECT_EQ(clipboardText(), gbk);
  ASSERT_TRUE(setClipboardText("plain"));
  EXPECT_EQ(clipboardText(), "plain");
}

TEST_F(GtkWindows, TheOpenFileDialogReturnsTheChosenPathAndNothingOnCancel) {
  HWND w = shownWindow("Rec", "owner", 100, 100, 200, 150);
  const std::string dir = ::testing::TempDir() + "tunora-dialog";
  XSession::run("mkdir -p '" + dir + "' && printf x > '" + dir + "/pic.png'");
  const std::string title = platform::text::utf8ToAnsi("更改外观,请尽量选择无大片白底的图片");
  const std::string filter = platform::text::utf8ToAnsi("所有支持的图片文件|*.jpg;*.bmp;*.gif;*.png|所有文件|*.*");
  const std::string shot = ::testing::TempDir() + "window-file-dialog.png";
  // Ctrl+L opens the location entry before the path is typed; should anything go wrong,
  // the Escapes at the end close the dialog rather than leave the test waiting.
  XSession::run("(sleep 1.2; import -window root '" + shot + "'; xdotool key ctrl+l; sleep 0.4; "
                "xdotool type --delay 20 '" + dir + "/pic.png'; sleep 0.5; xdotool key Return; "
                "sleep 4; xdotool key Escape Escape; touch '" + dir + "/done1') >/dev/null 2>&1 &");
  EXPECT_EQ(openFileDialog(w, title, filter), std::optional<std::string>(dir + "/pic.png"));
  std::printf("screenshot: %s\n", shot.c_str());
  XSession::run("(sleep 1.0; xdotool key Escape; sleep 3; xdotool key Escape; touch '" + dir +
                "/done2') >/dev/null 2>&1 &");
  EXPECT_EQ(openFileDialog(w, title, filter), std::nullopt);
  // The scripts' last keys must not reach the windows of later tests.
  EXPECT_TRUE(XSession::pumpUntil([&] {
    return XSession::run("test -e '" + dir + "/done1' -a -e '" + dir + "/done2'") == 0;
  }, 10000));
  XSession::run("rm -rf '" + dir + "'");
}

TEST_F(GtkWindows, WithACompositorTranslucentPixelsBlendWithWhatLiesBelow) {
  XSession::run("(xcompmgr >/dev/null 2>&1 & echo $! > '" + ::testing::TempDir() + "xcompmgr.pid')");
  XSession::pumpUntil([] { return false; }, 500);
  HWND below = shownWindow("Rec", "below", 300, 300, 200, 200);
  paint(below, 200, 200, 0xFFFFFFFFu);
  std::vector<std::uint32_t> half(100 * 100, 0x80800000u);  // red at half alpha, premultiplied
  HWND above = CreateWindowExA(WS_EX_LAYERED, "Rec", "above", WS_POPUP, 350, 350, 100, 100, nullptr, nullptr);
  ShowWindow(above, SW_SHOWNORMAL);
  UpdateLayeredWindow(above, nullptr, nullptr, {half.data(), 100, 100, 400}, {0, 0});
  XSession::pumpUntil([&] { return GetActiveWindow() == above; });
  XSession::pumpUntil([] { return false; }, 400);
  const std::string shot = ::testing::TempDir() + "window-alpha.png";
  ASSERT_EQ(XSession::run("import -window root '" + shot + "'"), 0);
  XSession::run("kill $(cat '" + ::testing::TempDir() + "xcompmgr.pid')");
  cairo_surface_t* png = cairo_image_surface_create_from_png(shot.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  cairo_surface_flush(png);
  const int stride = cairo_image_surface_get_stride(png) / 4;
  const auto* px = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(png));
  const std::uint32_t blended = px[400 * stride + 400] & 0xFFFFFF;
  // Half red over white is pink; without blending it would be dark red.
  EXPECT_GE((blended >> 16) & 0xFF, 0xF0u);
  EXPECT_NEAR(static_cast<int>((blended >> 8) & 0xFF), 0x7F, 6);
  EXPECT_NEAR(static_cast<int>(blended & 0xFF), 0x7F, 6);
  cairo_surface_destroy(png);
}

TEST_F(GtkWindows, AnEdgeDragResizesWithinTheLimitsAndMaximiseTakesTheMaximumSize) {
  HWND w = shownWindow("Resize", "resizing", 100, 100, 300, 200);
  seen().clear();
  XSession::run("(xdotool mousemove --sync 395 295 mousedown 1 sleep 0.3 mousemove 450 350 sleep 0.1 "
                "mousemove 500 380 sleep 0.2 mouseup 1) >/dev/null 2>&1 &");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !only(w, {WM_EXITSIZEMOVE}).empty(); }));
  RECT r;
  ASSERT_TRUE(XSession::pumpUntil([&] {
    GetWindowRect(w, &r);
    return r.width() == 405 && r.height() == 285;
  })) << r.width() << " x " << r.height();
  EXPECT_FALSE(only(w, {WM_SIZE}).empty());
  XSession::pumpUntil([] { return false; }, 300);  // the window manager finishes the first
  seen().clear();
  // After a drag the button counts as up again, though its release went to the manager.
  XSession::run("xdotool mousemove --sync 250 250");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !only(w, {WM_MOUSEMOVE}).empty(); }));
  EXPECT_EQ(only(w, {WM_MOUSEMOVE}).back().wParam & MK_LBUTTON, 0u);
  EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
  // Dragging the corner past the top-left stops at the minimum size.
  seen().clear();
  XSession::run("(xdotool mousemove --sync 300 250 mousedown 1 sleep 0.3 mousemove 150 150 sleep 0.1 "
                "mousemove 20 20 sleep 0.2 mouseup 1) >/dev/null 2>&1 &");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !only(w, {WM_EXITSIZEMOVE}).empty(); }));
  XSession::pumpUntil([] { return false; }, 200);
  GetWindowRect(w, &r);
  EXPECT_EQ(r.width(), 150);
  EXPECT_EQ(r.height(), 100);

  ShowWindow(w, SW_MAXIMIZE);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ASSERT_TRUE(XSession::pumpUntil([&] {
    GetWindowRect(w, &r);
    return IsZoomed(w) && r.height() == work.height() - 1;
  })) << r.width() << " x " << r.height();
  EXPECT_EQ(r.width(), work.width());
  ShowWindow(w, SW_RESTORE);
  EXPECT_TRUE(XSession::pumpUntil([&] { return !IsZoomed(w); }));
}
