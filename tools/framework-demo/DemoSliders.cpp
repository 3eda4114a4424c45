#include "tools/framework-demo/DemoSliders.h"

#include "platform/window/WindowApi.h"
#include "tools/framework-demo/DemoWindow.h"

namespace demo {

namespace pw = platform::window;

namespace {

constexpr const char* kTickerClass = "TunoraDemoSliderTicker";
constexpr const char* kOwnerProperty = "demo.sliders";
constexpr pw::UINT_PTR kDownloadTimer = 1;
constexpr int kDownloadTickMs = 150;
constexpr float kDownloadStep = 1.5f;

pw::LRESULT tickerProc(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  if (message == pw::WM_TIMER && wParam == kDownloadTimer) {
    auto* part = reinterpret_cast<DemoSliders*>(pw::GetPropA(hwnd, kOwnerProperty));
    if (part != nullptr) {
      const float next = part->position.secondValue() + kDownloadStep;
      part->position.secondValue(next > 100 ? 0 : next);
    }
    return 0;
  }
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

pw::HWND makeTicker(DemoSliders& part) {
  pw::WNDCLASSEXA wc;
  if (!pw::GetClassInfoExA(kTickerClass, &wc)) {
    wc.lpfnWndProc = tickerProc;
    wc.lpszClassName = kTickerClass;
    if (pw::RegisterClassExA(&wc) == 0) return nullptr;
  }
  pw::HWND ticker = pw::CreateWindowExA(0, kTickerClass, "", pw::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
  if (ticker == nullptr) return nullptr;
  pw::SetPropA(ticker, kOwnerProperty, reinterpret_cast<std::intptr_t>(&part));
  pw::SetTimer(ticker, kDownloadTimer, kDownloadTickMs);
  return ticker;
}

}  // namespace

DemoSliders::~DemoSliders() {
  if (ticker != nullptr && pw::IsWindow(ticker)) pw::DestroyWindow(ticker);
}

void createDemoSliders(DemoWindow& window, const DemoLog& log) {
  DemoSliders& part = window.sliders;
  ui::controls::SliderOptions volume;
  volume.trackHeight = 7;
  volume.value = 60;
  volume.secondValue = 100;
  volume.valueColorFrom = 0xE1FFFFFFu;
  volume.valueColorTo = 0xE1FFFFFFu;
  part.volume.create(window.hwnd, {16, 584, 264, 12}, volume);
  part.volume.setOnChange([log, id = part.volume.id()](int v) {
    if (log) log("slider", id, v);
  });

  ui::controls::SliderOptions position;
  position.trackHeight = 7;
  position.trackColor = 0xE1808080u;
  part.position.create(window.hwnd, {16, 612, 264, 12}, position);
  part.position.setOnChange([log, id = part.position.id()](int v) {
    if (log) log("slider", id, v);
  });
  part.ticker = makeTicker(part);
}

}  // namespace demo
