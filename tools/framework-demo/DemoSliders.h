#pragma once
// The demo's two sliders: a volume-like one at full second value, and a position-like one
// whose second value grows on a timer like a download, starting over when it is full.
// Every change a person makes is logged as ("slider", id, value).

#include <functional>

#include "ui/controls/ExSlider.h"

namespace demo {

struct DemoWindow;
using DemoLog = std::function<void(const char* what, int a, int b)>;

struct DemoSliders {
  DemoSliders() = default;
  DemoSliders(const DemoSliders&) = delete;
  DemoSliders& operator=(const DemoSliders&) = delete;
  // Stops the download timer.
  ~DemoSliders();

  ui::controls::ExSlider volume;
  ui::controls::ExSlider position;
  // A hidden window that only carries the download timer.
  platform::window::HWND ticker = nullptr;
};

// Makes both sliders, at (16, 584, 264, 12) and (16, 612, 264, 12), and starts the timer.
void createDemoSliders(DemoWindow& window, const DemoLog& log);

}  // namespace demo
