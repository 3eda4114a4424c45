// What windows show: partial layered updates, the back end's image, surfaces as pixel
// views, the headless frame log and the clock seam that fades and close effects run on.

#include <gtest/gtest.h>

#include <thread>

#include "platform/gfx/Surface.h"
#include "platform/window/SurfacePixels.h"
#include "platform/window/UiThread.h"
#include "tests/window/WindowTestSupport.h"

using namespace windowtest;
using platform::gfx::Surface;

namespace {

Surface filled(int width, int height, std::uint32_t argb) {
  Surface s = Surface::create(width, height);
  s.clear(argb);
  return s;
}

std::vector<UINT_PTR> timersSeen;
LRESULT timerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) timersSeen.push_back(wParam);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

TEST(PixelPath, ADirtyRectangleReplacesOnlyItselfAndUploadsOnlyItself) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 0, 0, 40, 30);
  desk.recordFrames(w, true);
  const Surface red = filled(40, 30, 0xFFFF0000u);
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(red), {0, 0}));

  Surface green = filled(40, 30, 0xFF00FF00u);
  green.setPixel(12, 6, 0xFF0000FFu);
  const RECT dirty{10, 5, 20, 15};
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(green), {0, 0}, 255, &dirty));
  EXPECT_EQ(desk.pixel(w, 10, 5), 0xFF00FF00u);
  EXPECT_EQ(desk.pixel(w, 19, 14), 0xFF00FF00u);
  EXPECT_EQ(desk.pixel(w, 12, 6), 0xFF0000FFu);
  EXPECT_EQ(desk.pixel(w, 9, 5), 0xFFFF0000u);
  EXPECT_EQ(desk.pixel(w, 20, 14), 0xFFFF0000u);
  EXPECT_EQ(desk.pixel(w, 10, 15), 0xFFFF0000u);
  ASSERT_EQ(desk.frames(w).size(), 2u);
  EXPECT_EQ(desk.frames(w)[0].dirty, (RECT{0, 0, 40, 30}));
  EXPECT_EQ(desk.frames(w)[1].dirty, dirty);

  // Cut to the window; a rectangle wholly outside uploads nothing.
  const RECT overhanging{30, 20, 90, 90};
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(green), {0, 0}, 255, &overhanging));
  EXPECT_EQ(desk.frames(w).back().dirty, (RECT{30, 20, 40, 30}));
  const RECT outside{50, 50, 60, 60};
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(red), {0, 0}, 255, &outside));
  EXPECT_EQ(desk.frames(w).size(), 3u);
  EXPECT_EQ(desk.presentCount(w), 3);
}

TEST(PixelPath, SourceOffsetsConstantAlphaAndMissingSourcePixelsApplyInsideTheRectangle) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 0, 0, 8, 8);
  const Surface white = filled(8, 8, 0xFFFFFFFFu);
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(white), {0, 0}));

  // A 4 x 4 source read from (2, 2): window pixels whose source lies beyond it turn clear.
  Surface small = filled(4, 4, 0xFF204080u);
  small.setPixel(2, 2, 0xFF000000u);
  const RECT dirty{0, 0, 6, 6};
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(small), {2, 2}, 128, &dirty));
  EXPECT_EQ(desk.pixel(w, 0, 0), 0x80000000u);  // source (2, 2), black at half
  EXPECT_EQ(desk.pixel(w, 1, 1), 0x80102040u);  // premultiplied channels scale too
  EXPECT_EQ(desk.pixel(w, 2, 0), 0u);           // source (4, 2) does not exist
  EXPECT_EQ(desk.pixel(w, 5, 5), 0u);
  EXPECT_EQ(desk.pixel(w, 6, 6), 0xFFFFFFFFu);  // outside the rectangle: untouched
  EXPECT_EQ(desk.pixel(w, 7, 0), 0xFFFFFFFFu);

  // A negative origin and an absurd one neither crash nor read outside the source.
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(small), {-6, -6}));
  EXPECT_EQ(desk.pixel(w, 5, 5), 0u);
  EXPECT_EQ(desk.pixel(w, 6, 6), 0xFF204080u);
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(small), {0x7FFFFFF0, -0x7FFFFFF0}));
  EXPECT_EQ(desk.pixel(w, 7, 7), 0u);
}

TEST(PixelPath, ConstantAlphaRoundsEveryChannelToNearest) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 0, 0, 256, 1);
  // Pixel x carries x in every channel (premultiplied: alpha x, colour x).
  std::vector<std::uint32_t> ramp(256);
  for (std::uint32_t x = 0; x < 256; ++x) ramp[x] = x * 0x01010101u;
  for (unsigned alpha : {0u, 1u, 77u, 128u, 254u, 255u}) {
    ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, {ramp.data(), 256, 1, 1024}, {0, 0},
                                    static_cast<BYTE>(alpha)));
    for (unsigned x = 0; x < 256; ++x) {
      const unsigned want = (x * alpha + 127) / 255;
      ASSERT_EQ(desk.pixel(w, static_cast<int>(x), 0), want * 0x01010101u) << x << " at " << alpha;
    }
  }
}

TEST(PixelPath, TheShownImageFollowsTheWindowSizeAndKeepsWhatBothSizesShare) {
  HeadlessBackend& desk = freshDesktop();
  HWND w = makeWindow("Rec", 0, 0, 6, 4);
  const Surface blue = filled(6, 4, 0xFF0000FFu);
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(blue), {0, 0}));
  ASSERT_TRUE(MoveWindow(w, 0, 0, 10, 3, false));
  EXPECT_EQ(desk.presented(w).width, 10);
  EXPECT_EQ(desk.presented(w).height, 3);
  EXPECT_EQ(desk.pixel(w, 5, 2), 0xFF0000FFu);
  EXPECT_EQ(desk.pixel(w, 6, 0), 0u);
  desk.userResize(w, 3, 5);
  desk.pump();
  EXPECT_EQ(desk.pixel(w, 2, 2), 0xFF0000FFu);
  EXPECT_EQ(desk.pixel(w, 0, 3), 0u);
  // A window without area shows nothing and takes updates without harm.
  ASSERT_TRUE(MoveWindow(w, 0, 0, 0, 5, false));
  EXPECT_EQ(desk.presented(w).pixels, nullptr);
  EXPECT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(blue), {0, 0}));
}

TEST(PixelPath, SurfacesBecomePixelViewsWithTheirOwnStride) {
  freshDesktop();
  // An odd width still has rows padded to cairo's stride; the view must use it.
  Surface odd = filled(5, 3, 0xFF112233u);
  odd.setPixel(4, 2, 0xFFFFFFFFu);
  const PixelView view = pixelViewOf(odd);
  EXPECT_EQ(view.width, 5);
  EXPECT_EQ(view.height, 3);
  EXPECT_EQ(view.strideBytes, odd.strideBytes());
  EXPECT_EQ(view.at(4, 2), 0xFFFFFFFFu);
  EXPECT_EQ(pixelViewOf(Surface()).pixels, nullptr);
  HWND w = makeWindow("Rec", 0, 0, 5, 3);
  EXPECT_FALSE(UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(Surface()), {0, 0}));
}

TEST(PixelPath, SleepMovesTheTestClockWithoutServingTimersAndTheFrameLogKeepsEachFrame) {
  HeadlessBackend& desk = freshDesktop();
  WNDCLASSEXA wc;
  wc.lpfnWndProc = timerProc;
  wc.lpszClassName = "Timed";
  ASSERT_NE(RegisterClassExA(&wc), 0u);
  HWND w = CreateWindowExA(0, "Timed", "", WS_POPUP, 0, 0, 4, 4, nullptr, nullptr);
  timersSeen.clear();
  SetTimer(w, 9, 15);
  bool actionRan = false;
  desk.at(5, [&] { actionRan = true; });

  // A fade as a close effect runs it: push, sleep, push, with no loop in between.
  desk.recordFrames(w, true);
  const std::int64_t start = desk.now();
  const DWORD ticksBefore = GetTickCount();
  for (int step = 0; step < 4; ++step) {
    const Surface frame = filled(4, 4, 0xFFFFFFFFu);
    UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(frame), {0, 0}, static_cast<BYTE>(255 - step * 60));
    Sleep(10);
  }
  EXPECT_EQ(desk.now() - start, 40);
  EXPECT_EQ(GetTickCount() - ticksBefore, 40u);
  EXPECT_TRUE(timersSeen.empty());
  EXPECT_FALSE(actionRan);
  const auto& frames = desk.frames(w);
  ASSERT_EQ(frames.size(), 4u);
  for (int step = 0; step < 4; ++step) {
    EXPECT_EQ(frames[step].clockMs - start, step * 10);
    EXPECT_EQ(frames[step].image.rawPixel(1, 1) >> 24, static_cast<unsigned>(255 - step * 60));
  }
  // Once the loop runs again, what fell due meanwhile is served.
  desk.advance(0);
  EXPECT_TRUE(actionRan);
  EXPECT_EQ(timersSeen, (std::vector<UINT_PTR>{9}));
  desk.recordFrames(w, false);
  UpdateLayeredWindow(w, nullptr, nullptr, pixelViewOf(filled(4, 4, 0)), {0, 0});
  EXPECT_EQ(desk.frames(w).size(), 4u);

  // A worker's sleep is real time and leaves the UI thread's clock alone.
  const std::int64_t before = desk.now();
  std::thread worker([] { Sleep(20); });
  worker.join();
  EXPECT_EQ(desk.now(), before);
}

TEST(PixelPathDeathTest, AnOperationOffTheUiThreadFailsLoudly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        freshDesktop();
        requireUiThread("here.cpp", 1, "operation");  // the UI thread passes
        std::thread worker([] { requireUiThread("Host.cpp", 42, "redraw"); });
        worker.join();
      },
      "Host.cpp:42: redraw called off the UI thread");
}
