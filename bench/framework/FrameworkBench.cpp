// Painting costs of a window host on the headless desktop, sized as the main window:
// 296 x 657 with its background picture, window alpha 254, title, caption buttons and 20
// small controls.
//   bench_framework --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "platform/system/Files.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "ui/controls/ControlsStart.h"
#include "ui/controls/ExPicture.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"

namespace pw = platform::window;

namespace {

// A small control with a gradient face and a frame, about what a button draws.
class Tile : public ui::controls::ExControl {
 public:
  int create(pw::HWND host, platform::gfx::RectF bounds) {
    ui::controls::Registration how;
    how.kind = ui::kKindImageButton;
    return registerWith(host, bounds, how);
  }

 protected:
  void onPaint(pw::LPARAM) override {
    platform::gfx::Graphics* g = beginPaint();
    if (g == nullptr) return;
    const platform::gfx::RectF b = bounds();
    ui::fillGradientRect(*g, b, 0xC0FFFFFF, 0x60FFFFFF);
    ui::drawRoundRect(*g, b, 6, std::nullopt, 0xFFFFFFFF);
    endPaint();
  }
};

struct Scene {
  pw::HWND hwnd = nullptr;
  ui::ExWindow host;
  std::array<Tile, 19> tiles;
  ui::controls::ExPicture picture;  // the 45 x 45 one the region repaint redraws
};

Scene& scene() {
  static Scene* s = [] {
    pw::HeadlessBackend::install();
    ui::controls::start();
    auto* made = new Scene();
    made->hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED, "Ex_DirectUI", "bench", pw::WS_POPUP | pw::WS_MINIMIZEBOX,
                                     10, 10, 296, 657, nullptr, nullptr);
    ui::AttachOptions options;
    options.captionButtonSet = 0x57;
    options.windowAlpha = 254;
    options.fixedSize = 1;
    auto background = platform::system::readWholeFile(DEMO_BACKGROUND);
    made->host.attach(made->hwnd, background.value_or(platform::system::ByteBlock{}), options);
    pw::SetWindowTextA(made->hwnd, "Tunora");
    pw::ShowWindow(made->hwnd, pw::SW_SHOWNORMAL);
    for (int i = 0; i < 19; ++i) {
      made->tiles[static_cast<std::size_t>(i)].create(
          made->hwnd, {static_cast<float>(20 + (i % 5) * 52), static_cast<float>(120 + (i / 5) * 60), 45, 45});
    }
    resources::ExImage face;
    face.CreateBitmap(45, 45);
    made->picture.create(made->hwnd, {20, 420, 45, 45}, std::move(face), {});
    made->host.redraw();
    return made;
  }();
  return *s;
}

void FullRecompose(benchmark::State& state) {
  Scene& s = scene();
  for (auto _ : state) s.host.redraw();
}
BENCHMARK(FullRecompose)->Unit(benchmark::kMillisecond);

void RegionRepaint45(benchmark::State& state) {
  Scene& s = scene();
  for (auto _ : state) s.picture.invalidate();
}
BENCHMARK(RegionRepaint45)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
