// Opening and closing a message box over a skinned owner on the headless desktop: the
// owner is sized and attached as the main window is (296 x 657, its picture, window alpha
// 254); the box has a question icon, two lines of text and three buttons, and Escape
// closes it from inside its own loop. call_to_shown_ms is the time from the call until the
// box, built, composed and pushed, is on the screen and its loop runs.
//   bench_message_box --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <chrono>

#include "platform/system/Files.h"
#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "ui/controls/ControlsStart.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/MessageBox.h"

namespace pw = platform::window;

namespace {

struct Owner {
  pw::HeadlessBackend* desk = nullptr;
  pw::HWND hwnd = nullptr;
  ui::ExWindow host;
};

Owner& owner() {
  static Owner* o = [] {
    auto* made = new Owner();
    made->desk = &pw::HeadlessBackend::install();
    ui::controls::start();
    made->hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED, "Ex_DirectUI", "owner", pw::WS_POPUP | pw::WS_MINIMIZEBOX, 10,
                                     10, 296, 657, nullptr, nullptr);
    ui::AttachOptions options;
    options.captionButtonSet = 0x57;
    options.windowAlpha = 254;
    options.fixedSize = 1;
    auto background = platform::system::readWholeFile(DEMO_BACKGROUND);
    made->host.attach(made->hwnd, background.value_or(platform::system::ByteBlock{}), options);
    pw::ShowWindow(made->hwnd, pw::SW_SHOWNORMAL);
    made->desk->pump();
    return made;
  }();
  return *o;
}

void OpenAndCloseOverSkinnedOwner(benchmark::State& state) {
  Owner& o = owner();
  const std::string text = platform::text::utf8ToAnsi("该歌曲的来源可能不正确,\r\n请选择其他歌曲");
  double shownMs = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int code = ui::showMessageBox(o.hwnd, text, ui::kBoxCancelNoYes, std::nullopt, ui::kBoxIconQuestion,
                                        [&](pw::HWND box, int, int) {
                                          o.desk->at(0, [&, box] {
                                            shownMs += std::chrono::duration<double, std::milli>(
                                                           std::chrono::steady_clock::now() - start)
                                                           .count();
                                            o.desk->pressKey(box, pw::VK_ESCAPE);
                                          });
                                        },
                                        0);
    benchmark::DoNotOptimize(code);
  }
  state.counters["call_to_shown_ms"] = benchmark::Counter(shownMs / static_cast<double>(state.iterations()));
}
BENCHMARK(OpenAndCloseOverSkinnedOwner)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
