// Costs of the report list in a main-window-sized host on the headless desktop (296 x 657,
// background picture, window alpha 254), placed and coloured as the search result list.
//   bench_list --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
// FillShowDraw: clear, 1 000 x (addRow + two cellText) while hidden, then show and redraw.
// FillShown: the same into a list that stays shown. WheelNotch: one notch through the
// window (scroll, repaint, push).
// TUNORA_BENCH_SCALE=2 (or 1.5) runs the same on a desktop at that device scale.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/system/Files.h"
#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "ui/controls/ControlsStart.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/ExList.h"
#include "ui/framework/ExWindow.h"

namespace pw = platform::window;

namespace {

constexpr int kRows = 1000;

struct Scene {
  pw::HeadlessBackend* desk = nullptr;
  pw::HWND hwnd = nullptr;
  ui::ExWindow host;
  ui::ExImageList pictures;
  ui::controls::ExList list;
  std::vector<std::string> titles, singers;
};

Scene& scene() {
  static Scene* s = [] {
    auto* made = new Scene();
    made->desk = &pw::HeadlessBackend::install();
    if (const char* scale = std::getenv("TUNORA_BENCH_SCALE")) made->desk->setScale(std::atof(scale));
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
    made->pictures.create(26, 26);
    ui::controls::ListOptions look;
    look.colours.text = 0xFE000000u;
    look.colours.hover = 0x1E000000u;
    look.visible = false;
    made->list.create(made->hwnd, {7, 251, 283, 350}, look);
    made->list.addColumn(0, "", 170);
    made->list.addColumn(0, "", 80);
    ui::controls::ListStyle style;
    style.clickOnly = 0;
    style.option2 = 1;
    style.imageList = made->pictures.handle();
    style.gridFlags = 0;
    style.option7 = 1;
    made->list.setStyle(style);
    for (int r = 1; r <= kRows; ++r) {
      made->titles.push_back(platform::text::utf8ToAnsi("晴天 第" + std::to_string(r) + "首 (Live)"));
      made->singers.push_back(platform::text::utf8ToAnsi("周杰伦"));
    }
    made->host.redraw();
    made->desk->pump();
    return made;
  }();
  return *s;
}

void fill(Scene& s) {
  s.list.clear();
  for (int r = 1; r <= kRows; ++r) {
    const int row = s.list.addRow();
    s.list.cellText(row, 1, s.titles[static_cast<std::size_t>(r) - 1]);
    s.list.cellText(row, 2, s.singers[static_cast<std::size_t>(r) - 1]);
  }
}

void FillShowDraw(benchmark::State& state) {
  Scene& s = scene();
  for (auto _ : state) {
    s.list.visible(0);
    fill(s);
    s.list.visible(1);
    s.list.redraw();
  }
}
BENCHMARK(FillShowDraw)->Unit(benchmark::kMillisecond);

void FillShown(benchmark::State& state) {
  Scene& s = scene();
  s.list.visible(1);
  for (auto _ : state) {
    fill(s);
    s.list.redraw();
  }
}
BENCHMARK(FillShown)->Unit(benchmark::kMillisecond);

void WheelNotch(benchmark::State& state) {
  Scene& s = scene();
  s.list.visible(1);
  fill(s);
  s.list.redraw();
  long long n = 0;
  for (auto _ : state) {
    // Forty notches down, forty up, so every notch really scrolls.
    s.desk->wheel(s.hwnd, (n++ / 40) % 2 == 0 ? -1 : 1, 100, 400);
    s.desk->pump();
  }
}
BENCHMARK(WheelNotch)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
