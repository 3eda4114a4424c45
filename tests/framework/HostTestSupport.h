#pragma once
// A headless desktop with one attached window host, and a control that records what
// reaches it and paints itself as one solid colour, clipped the way the paint protocol
// clips (its bounds within the host's current clip).

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/window/DesktopServices.h"
#include "platform/window/SurfacePixels.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"
#include "ui/framework/WindowClass.h"

namespace hosttest {

using namespace platform::window;
using ui::ControlObject;
using ui::ExWindow;
using ui::RectF;

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int controlIndex;
};

class RecordingControl : public ControlObject {
 public:
  explicit RecordingControl(platform::gfx::Argb fill = 0xFF808080u) : colour(fill) {}

  LRESULT onMessage(HWND host, UINT message, WPARAM wParam, LPARAM lParam, int windowIndex,
                    int controlIndex) override {
    received.push_back({message, wParam, lParam, controlIndex});
    if (message == WM_PAINT) paint(host, windowIndex, controlIndex);
    return answer;
  }
  int stateFlag() const override { return flag; }
  int cursorId() const override { return cursor; }
  void setPlacement(RectF b) override { bounds = b; }

  // Registers in the host at bounds.
  int create(HWND host, RectF at, int kind = 6, bool takesPress = true, bool visible = true) {
    bounds = at;
    ui::ControlPlacement p;
    p.bounds = at;
    p.kind = kind;
    p.takesPress = takesPress;
    p.visible = visible;
    return ui::registerControl(*this, host, p);
  }

  int count(UINT message) const {
    int n = 0;
    for (const auto& r : received) n += r.message == message;
    return n;
  }
  std::vector<LPARAM> paintOccasions() const {
    std::vector<LPARAM> out;
    for (const auto& r : received) {
      if (r.message == WM_PAINT) out.push_back(r.lParam);
    }
    return out;
  }

  platform::gfx::Argb colour;
  RectF bounds;
  std::vector<Received> received;
  int flag = 0;
  int cursor = IDC_ARROW;
  LRESULT answer = 0;

 private:
  void paint(HWND host, int, int) {
    ExWindow* w = ExWindow::fromHandle(host);
    if (w == nullptr || !w->painting() || w->composedGraphics() == nullptr) return;
    platform::gfx::Graphics& g = *w->composedGraphics();
    const RectF clip = g.clipBounds();
    g.setClip(bounds, platform::gfx::kCombineIntersect);
    g.fillRectangle(platform::gfx::Brush::solid(colour), bounds);
    g.setClip(clip);
  }
};

inline constexpr const char* kTestClass = "HostTest";

// Counts what the window's previous procedure saw.
inline std::vector<UINT>& previousSaw() {
  static std::vector<UINT> seen;
  return seen;
}

inline LRESULT previousProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  previousSaw().push_back(message);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desk = &HeadlessBackend::install();
    ui::start();
    ui::registerWindowClass(&previousProcedure, std::string(kTestClass));
    previousSaw().clear();
  }
  void TearDown() override {
    closeWindows();
    hosts.clear();
  }
  // Call at the end of a test whose callbacks capture its locals.
  void closeWindows() {
    for (HWND w : windows) DestroyWindow(w);
    windows.clear();
  }

  HWND makeWindow(int width = 200, int height = 150, DWORD style = WS_POPUP, DWORD exStyle = WS_EX_LAYERED) {
    HWND w = CreateWindowExA(exStyle, kTestClass, "Host", style, 100, 80, width, height, nullptr, nullptr);
    ShowWindow(w, SW_SHOWNORMAL);
    windows.push_back(w);
    return w;
  }

  // A window with an attached host; by default opaque, no caption set, picture-less.
  ExWindow& attached(HWND w, ui::AttachOptions options = noCaption()) {
    hosts.push_back(std::make_unique<ExWindow>());
    EXPECT_TRUE(hosts.back()->attach(w, {}, options));
    return *hosts.back();
  }

  static ui::AttachOptions noCaption() {
    ui::AttachOptions o;
    o.captionButtonSet = 0;
    o.backgroundColour = 0x00302010;  // blue 0x30, green 0x20, red 0x10
    return o;
  }

  HeadlessBackend* desk = nullptr;
  std::vector<HWND> windows;
  std::vector<std::unique_ptr<ExWindow>> hosts;
};

}  // namespace hosttest
