// Typing into the search box of a main-window-sized host on the headless desktop: one
// character into a box holding 200 (layout, caret, repaint of the box, push of its area).
// The text is a mix of Chinese and Latin, as search keywords are.
//   bench_edit --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/system/Files.h"
#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "ui/controls/ControlsStart.h"
#include "ui/controls/ExEdit.h"
#include "ui/framework/ExWindow.h"

namespace pw = platform::window;

namespace {

constexpr int kCharacters = 200;

struct Scene {
  pw::HeadlessBackend* desk = nullptr;
  pw::HWND hwnd = nullptr;
  ui::ExWindow host;
  ui::controls::ExEdit box;
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
    ui::controls::EditOptions look;
    look.textColor = 0xC8FFFFFF;
    look.backColor = 0x1E000000;
    look.borderColor = 0;
    // Four Chinese and four Latin characters at a time.
    std::string text;
    const std::string chinese = platform::text::utf8ToAnsi("周杰伦歌");
    for (int i = 0; i < kCharacters / 8; ++i) text += chinese + "abc ";
    made->box.create(made->hwnd, text, {6, 186, 285, 30}, look);
    made->host.redraw();
    made->desk->click(made->hwnd, 100, 200);  // focus: the caret blinks
    made->desk->pump();
    return made;
  }();
  return *s;
}

void typeOne(Scene& s, const std::string& character) {
  for (char c : character) pw::SendMessageA(s.hwnd, pw::WM_CHAR, static_cast<unsigned char>(c), 1);
}

void prepare(Scene& s, bool atEnd) {
  s.box.text(s.box.text());
  pw::SendMessageA(s.hwnd, pw::WM_CHAR, atEnd ? pw::VK_END : pw::VK_HOME, ui::kEditKeyMarker);
  if (!atEnd) {
    for (int i = 0; i < kCharacters / 2; ++i) pw::SendMessageA(s.hwnd, pw::WM_CHAR, pw::VK_RIGHT, ui::kEditKeyMarker);
  }
}

void typeAndTakeBack(benchmark::State& state, const std::string& character, bool atEnd) {
  Scene& s = scene();
  prepare(s, atEnd);
  const int before = s.box.characterCount();
  for (auto _ : state) {
    typeOne(s, character);
    state.PauseTiming();
    pw::SendMessageA(s.hwnd, pw::WM_CHAR, 8, 1);
    state.ResumeTiming();
  }
  if (s.box.characterCount() != before) state.SkipWithError("the text did not come back to its length");
  state.counters["characters"] = before;
}

void TypeLatinAtEnd(benchmark::State& state) { typeAndTakeBack(state, "x", true); }
BENCHMARK(TypeLatinAtEnd)->Unit(benchmark::kMicrosecond);

void TypeChineseInTheMiddle(benchmark::State& state) {
  typeAndTakeBack(state, platform::text::utf8ToAnsi("汉"), false);
}
BENCHMARK(TypeChineseInTheMiddle)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
