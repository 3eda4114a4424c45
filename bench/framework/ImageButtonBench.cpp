// One state change of an image button with its whole fade (the change and four ticks of
// the 80 ms timer on the test clock), in a window host sized as the main window over its
// background picture with window alpha 254. Each iteration alternates hover and normal.
//   bench_buttons --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include "platform/system/Files.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "ui/controls/ControlsStart.h"
#include "ui/controls/ExImageButton.h"
#include "ui/framework/ExWindow.h"

namespace pw = platform::window;

namespace {

resources::ExImage face(platform::gfx::Argb colour) {
  resources::ExImage image;
  image.CreateBitmap(45, 45);
  for (int y = 0; y < 45; ++y) {
    for (int x = 0; x < 45; ++x) image.GetHandle()->setPixel(x, y, (x + y) % 9 == 0 ? 0xFFFFFFFFu : colour);
  }
  return image;
}

struct Scene {
  pw::HeadlessBackend* desk = nullptr;
  pw::HWND hwnd = nullptr;
  ui::ExWindow host;
  ui::controls::ExImageButton button;
};

Scene& scene() {
  static Scene* s = [] {
    auto* made = new Scene();
    made->desk = &pw::HeadlessBackend::install();
    ui::controls::start();
    made->hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED, "Ex_DirectUI", "bench", pw::WS_POPUP | pw::WS_MINIMIZEBOX,
                                     10, 10, 296, 657, nullptr, nullptr);
    ui::AttachOptions options;
    options.captionButtonSet = 0x57;
    options.windowAlpha = 254;
    options.fixedSize = 1;
    auto background = platform::system::readWholeFile(DEMO_BACKGROUND);
    made->host.attach(made->hwnd, background.value_or(platform::system::ByteBlock{}), options);
    pw::ShowWindow(made->hwnd, pw::SW_SHOWNORMAL);
    // Where the play button of the main window sits.
    made->button.create(made->hwnd, {124, 130, 45, 45}, face(0xC04FD1C5u), face(0xE0F6AD55u), face(0xF09F7AEAu), 1);
    made->host.redraw();
    made->desk->pump();
    return made;
  }();
  return *s;
}

void ImageButtonStateChangeWithFade(benchmark::State& state) {
  Scene& s = scene();
  bool inside = false;
  for (auto _ : state) {
    inside = !inside;
    if (inside) {
      s.desk->mouseMove(s.hwnd, 146, 152);
    } else {
      s.desk->mouseMove(s.hwnd, 20, 600);
    }
    s.desk->pump();
    s.desk->advance(4 * 80);
  }
  if (s.button.fadeLevel() != 0) state.SkipWithError("the fade did not end within four ticks");
}
BENCHMARK(ImageButtonStateChangeWithFade)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
