// The window layer's push of pixels on the headless back end, for a window the size of
// the main window (296 x 657): a whole update, a fade frame with constant alpha, and a
// region repaint of one 45 x 45 control, which must cost a small fraction of the whole.

#include <benchmark/benchmark.h>

#include "platform/window/SurfacePixels.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"

namespace pw = platform::window;

namespace {

constexpr int kWidth = 296;
constexpr int kHeight = 657;

struct Scene {
  pw::HWND hwnd = nullptr;
  platform::gfx::Surface surface;
};

pw::LRESULT plainProc(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

Scene makeScene() {
  pw::HeadlessBackend::install();
  pw::WNDCLASSEXA wc;
  wc.lpfnWndProc = plainProc;
  wc.lpszClassName = "Bench";
  pw::RegisterClassExA(&wc);
  Scene scene;
  scene.hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED, "Bench", "", pw::WS_POPUP, 0, 0, kWidth, kHeight,
                                   nullptr, nullptr);
  scene.surface = pw::createWindowSurface(kWidth, kHeight, 1);
  scene.surface.clear(0xFE336699u);
  return scene;
}

void BM_WholeWindowUpdate(benchmark::State& state) {
  Scene scene = makeScene();
  for (auto _ : state) {
    pw::UpdateLayeredWindow(scene.hwnd, nullptr, nullptr, pw::pixelViewOf(scene.surface), {0, 0});
  }
}
BENCHMARK(BM_WholeWindowUpdate)->Unit(benchmark::kMicrosecond);

void BM_FadeFrameUpdate(benchmark::State& state) {
  Scene scene = makeScene();
  for (auto _ : state) {
    pw::UpdateLayeredWindow(scene.hwnd, nullptr, nullptr, pw::pixelViewOf(scene.surface), {0, 0}, 128);
  }
}
BENCHMARK(BM_FadeFrameUpdate)->Unit(benchmark::kMicrosecond);

void BM_ControlRegionUpdate(benchmark::State& state) {
  Scene scene = makeScene();
  const pw::RECT dirty{120, 300, 165, 345};
  for (auto _ : state) {
    pw::UpdateLayeredWindow(scene.hwnd, nullptr, nullptr, pw::pixelViewOf(scene.surface), {0, 0}, 255,
                            &dirty);
  }
}
BENCHMARK(BM_ControlRegionUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
