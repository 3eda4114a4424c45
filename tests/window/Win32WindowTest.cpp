// The win32 back end with real native windows (under Wine in CI): titles, input, the input
// method, timers inside the system's move loop, pixels on the screen, the scale and its changes.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <variant>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/Surface.h"
#include "platform/text/CodePage.h"
#include "platform/window/SurfacePixels.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/win32/Win32Backend.h"
#include "tests/window/Win32Probe.h"
#include "tests/window/WindowTestSupport.h"

using namespace windowtest;
namespace text = platform::text;

namespace {

// What the back end hands the layer, kept as it came.
class Recorder final : public platform::window::BackendSink {
 public:
  void queueEvent(BackendEvent e) override { events_.push_back(std::move(e)); }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const BackendEvent& e : events_) {
      if (const auto* t = std::get_if<event::Text>(&e)) out.push_back(t->utf8);
    }
    return out;
  }

 private:
  std::vector<BackendEvent> events_;
};

class Win32Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!win32probe::canCreateWindows()) GTEST_SKIP() << "no desktop to show windows on";
    auto backend = std::make_unique<Win32Backend>();
    backend_ = backend.get();
    WindowSystem::instance().installBackend(std::move(backend));
    seen().clear();
    WNDCLASSEXA wc;
    wc.lpfnWndProc = recordingProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "Rec";
    RegisterClassExA(&wc);
  }

  HWND open(const std::string& utf8Title, int width = 200, int height = 120) {
    const std::string gbk = text::utf8ToAnsi(utf8Title);
    HWND w = CreateWindowExA(0, "Rec", gbk.c_str(), WS_POPUP, 40, 40, width, height, nullptr, nullptr);
    const platform::gfx::Surface surface = createWindowSurface(width, height, GetWindowScale(w));
    UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(surface), {0, 0});
    ShowWindow(w, SW_SHOW);
    pumpUntil([] { return false; }, 200);
    return w;
  }

  // Serves the layer's loop until done() or ms pass.
  static bool pumpUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
  }

  static std::vector<Seen> only(HWND w, UINT message) {
    std::vector<Seen> out;
    for (const Seen& s : seen()) {
      if (s.hwnd == w && s.message == message) out.push_back(s);
    }
    return out;
  }

  int px(int units) { return static_cast<int>(std::floor(units * backend_->scale(hwnd_) + 1e-7)); }

  Win32Backend* backend_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(Win32Windows, AChineseTitleGoesInAsGbkAndReachesTheNativeWindowAsUtf16) {
  hwnd_ = open("播放器");
  void* native = win32probe::findWindow(u"播放器");
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(native, backend_->nativeHandle(hwnd_));
  EXPECT_EQ(win32probe::titleOf(native), u"播放器");
  SetWindowTextA(hwnd_, text::utf8ToAnsi("歌词秀 1").c_str());
  EXPECT_EQ(win32probe::titleOf(native), u"歌词秀 1");
}

TEST_F(Win32Windows, PostedMouseKeysWheelAndTextArriveAtTheirPlace) {
  hwnd_ = open("input");
  void* native = backend_->nativeHandle(hwnd_);
  ASSERT_NE(native, nullptr);
  win32probe::postButton(native, true, true, px(20), px(30));
  win32probe::postButton(native, true, false, px(20), px(30));
  win32probe::postKey(native, 'A', true);
  win32probe::postKey(native, 'A', false);
  win32probe::postWheel(native, -120, px(50), px(60));
  win32probe::postChar(native, u'中');
  // A committed string of the input method, as the system hands it over character by character.
  win32probe::postImeChar(native, u'文');
  ASSERT_TRUE(pumpUntil([&] { return only(hwnd_, WM_CHAR).size() >= 5; }, 3000));

  const auto downs = only(hwnd_, WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(loWordSigned(downs[0].lParam), 20);
  EXPECT_EQ(hiWordSigned(downs[0].lParam), 30);
  EXPECT_EQ(only(hwnd_, WM_LBUTTONUP).size(), 1u);
  const auto keys = only(hwnd_, WM_KEYDOWN);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].wParam, WPARAM{'A'});
  const auto wheels = only(hwnd_, WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(static_cast<std::int16_t>(hiWord(wheels[0].wParam)), -120);
  std::string bytes;
  for (const Seen& s : only(hwnd_, WM_CHAR)) bytes.push_back(static_cast<char>(s.wParam));
  // The key's own character comes last: the system posts it when the key is dispatched.
  EXPECT_EQ(bytes, text::utf8ToAnsi("中文") + "a");
}

TEST_F(Win32Windows, TimersKeepFiringWhileTheSystemMovesTheWindow) {
  hwnd_ = open("move");
  void* native = backend_->nativeHandle(hwnd_);
  SetTimer(hwnd_, 7, 30);
  // The system's move loop holds the thread until Escape ends it.
  std::thread ender([native] {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    win32probe::postEscape(native);
  });
  const auto before = only(hwnd_, WM_TIMER).size();
  EXPECT_TRUE(backend_->beginMoveDrag(hwnd_));
  const auto during = only(hwnd_, WM_TIMER).size() - before;
  ender.join();
  KillTimer(hwnd_, 7);
  EXPECT_GE(during, 8u);
}

TEST_F(Win32Windows, LayeredPixelsReachTheScreenAndTheScaleIsTheWindowsDpi) {
  hwnd_ = open("pixels");
  void* native = backend_->nativeHandle(hwnd_);
  EXPECT_DOUBLE_EQ(backend_->scale(hwnd_), win32probe::dpiOf(native) / 96.0);
  platform::gfx::Surface red = createWindowSurface(200, 120, GetWindowScale(hwnd_));
  red.clear(0xFFE02010u);
  UpdateLayeredWindow(hwnd_, nullptr, nullptr, pixelViewOf(red), {0, 0});
  pumpUntil([] { return false; }, 300);
  EXPECT_EQ(win32probe::screenColourAt(native, px(100), px(60)), 0xE02010u);
  // A rectangle alone travels: it lands in its place, and the rest stays as it was.
  platform::gfx::Surface blue = createWindowSurface(200, 120, GetWindowScale(hwnd_));
  blue.clear(0xFF1030C0u);
  const RECT dirty{133, 41, 171, 77};
  UpdateLayeredWindow(hwnd_, nullptr, nullptr, pixelViewOf(blue), {0, 0}, 255, &dirty);
  pumpUntil([] { return false; }, 300);
  EXPECT_EQ(win32probe::screenColourAt(native, px(133), px(41)), 0x1030C0u);
  EXPECT_EQ(win32probe::screenColourAt(native, px(171) - 1, px(77) - 1), 0x1030C0u);
  EXPECT_EQ(win32probe::screenColourAt(native, px(133) - 1, px(60)), 0xE02010u);
  EXPECT_EQ(win32probe::screenColourAt(native, px(150), px(77) + 1), 0xE02010u);
  int l, t, r, b;
  win32probe::frameOf(native, l, t, r, b);
  EXPECT_EQ(r - l, px(200));
  EXPECT_EQ(b - t, px(120));
}

TEST_F(Win32Windows, AComposedStringLandsWholeInTheFocusedWindow) {
  hwnd_ = open("ime");
  SetFocus(hwnd_);
  ASSERT_TRUE(win32probe::completeComposition(backend_->nativeHandle(hwnd_), u"歌词秀"));
  const std::string gbk = text::utf8ToAnsi("歌词秀");
  ASSERT_TRUE(pumpUntil([&] { return only(hwnd_, WM_CHAR).size() >= gbk.size(); }, 3000));
  pumpUntil([] { return false; }, 100);  // nothing may follow piece by piece
  std::string bytes;
  for (const Seen& s : only(hwnd_, WM_CHAR)) bytes.push_back(static_cast<char>(s.wParam));
  EXPECT_EQ(bytes, gbk);
}

TEST(Win32Input, CompositionsAndCharacterUnitsArriveWholeBeyondTheBasicPlaneToo) {
  if (!win32probe::canCreateWindows()) GTEST_SKIP() << "no desktop to show windows on";
  Recorder recorder;
  Win32Backend backend;
  backend.setSink(&recorder);
  const HWND w = reinterpret_cast<HWND>(std::uintptr_t{0x7001});
  backend.createWindow(w, NativeWindowSpec{RECT{40, 40, 240, 160}, "ime"});
  backend.show(w, NativeShow::Normal);
  backend.activate(w);
  void* native = backend.nativeHandle(w);
  // The input method's result, read whole from its context: once, not again unit by unit.
  ASSERT_TRUE(win32probe::completeComposition(native, u"中文\U00020000"));
  // Units one at a time, as typed characters and as the input method's characters.
  win32probe::postChar(native, 0xD840);
  win32probe::postChar(native, 0xDC01);
  win32probe::postImeChar(native, u'歌');
  win32probe::postImeChar(native, 0xD840);
  win32probe::postImeChar(native, 0xDC02);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < end) {
    backend.poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"中文\U00020000", "\U00020001", "歌", "\U00020002"}));
  backend.destroyWindow(w);
}

TEST_F(Win32Windows, AnotherMonitorsDpiRescalesTheWindowWhichRepaintsSharp) {
  // An odd size: at fractional scales its pixels are rounded up, and must come back to it.
  hwnd_ = open("dpi", 201, 121);
  void* native = backend_->nativeHandle(hwnd_);
  constexpr platform::gfx::Argb kRed = 0xFFE02010u, kBlue = 0xFF1030C0u;
  for (unsigned dpi : {144u, 120u, 96u}) {
    SCOPED_TRACE(dpi);
    if (static_cast<long>(dpi) == std::lround(backend_->scale(hwnd_) * 96)) continue;  // no change to follow
    seen().clear();
    // The frame the system suggests: the same units at the new scale.
    const double s = dpi / 96.0;
    const int left = static_cast<int>(std::floor(40 * s)), top = static_cast<int>(std::floor(40 * s));
    win32probe::sendDpiChanged(native, dpi, left, top, left + static_cast<int>(std::ceil(201 * s)),
                               top + static_cast<int>(std::ceil(121 * s)));
    ASSERT_TRUE(pumpUntil([&] { return !only(hwnd_, WM_DPICHANGED).empty(); }, 3000));
    EXPECT_EQ(only(hwnd_, WM_DPICHANGED)[0].wParam, WPARAM{dpi});
    EXPECT_DOUBLE_EQ(backend_->scale(hwnd_), s);
    ASSERT_DOUBLE_EQ(GetWindowScale(hwnd_), s);
    RECT units{};
    GetWindowRect(hwnd_, &units);
    EXPECT_EQ(units.width(), 201);
    EXPECT_EQ(units.height(), 121);
    // Repainted at the new scale: two halves meeting at unit 100 with no pixel between.
    platform::gfx::Surface halves = createWindowSurface(201, 121, GetWindowScale(hwnd_));
    {
      platform::gfx::Graphics g(halves);
      g.clear(kBlue);
      g.fillRectangle(platform::gfx::Brush::solid(kRed), platform::gfx::RectF{0, 0, 100, 121});
    }
    UpdateLayeredWindow(hwnd_, nullptr, nullptr, pixelViewOf(halves), {0, 0});
    pumpUntil([] { return false; }, 300);
    int l, t, r, b;
    win32probe::frameOf(native, l, t, r, b);
    EXPECT_EQ(r - l, static_cast<int>(std::ceil(201 * s)));
    EXPECT_EQ(b - t, static_cast<int>(std::ceil(121 * s)));
    EXPECT_EQ(win32probe::screenColourAt(native, px(100) - 1, px(60)), kRed & 0xFFFFFFu);
    EXPECT_EQ(win32probe::screenColourAt(native, px(100), px(60)), kBlue & 0xFFFFFFu);
  }
}

}  // namespace
