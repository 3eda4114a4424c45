// The demo's sliders under a private X server with openbox (GTK back end): the position
// slider dragged with xdotool reports its values through the demo log, and the screen
// shows what was composed. The screenshot stays in the test's temp folder (its path is
// printed) for a person to look at.

#include "tests/window/XSession.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"
#include "tools/framework-demo/DemoWindow.h"

using windowtest::XSession;
namespace pw = platform::window;

namespace {

constexpr int kLeft = 150;
constexpr int kTop = 40;
// The position slider's place in the window, and where its track starts and how long it is.
constexpr int kSliderX = 16, kSliderY = 612, kSliderW = 264, kSliderH = 12;
constexpr int kTrackX = kSliderX + 9;
constexpr int kTrackW = kSliderW - 18;

int channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// The screen as 0x00RRGGBB words.
class Screenshot {
 public:
  explicit Screenshot(const std::string& name) : path_(::testing::TempDir() + name) {
    EXPECT_EQ(XSession::run("import -window root '" + path_ + "'"), 0);
    std::printf("screenshot: %s\n", path_.c_str());
    surface_ = cairo_image_surface_create_from_png(path_.c_str());
  }
  ~Screenshot() { cairo_surface_destroy(surface_); }
  Screenshot(const Screenshot&) = delete;
  Screenshot& operator=(const Screenshot&) = delete;

  std::uint32_t at(int x, int y) const {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS || x < 0 || y < 0 ||
        x >= cairo_image_surface_get_width(surface_) || y >= cairo_image_surface_get_height(surface_)) {
      return 0xFF000000u;  // no such pixel: matches nothing composed
    }
    const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface_));
    return data[y * (cairo_image_surface_get_stride(surface_) / 4) + x] & 0xFFFFFF;
  }

 private:
  std::string path_;
  cairo_surface_t* surface_ = nullptr;
};

class DemoSlidersOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(pw::GtkBackend::open());
    pw::WindowSystem::instance().installBackend(std::make_unique<pw::GtkBackend>());
    demo_ = demo::openDemoWindow(kLeft, kTop, DEMO_PICTURES, [this](const char* what, int a, int b) {
      if (std::string(what) == "slider" && a == demo_->sliders.position.id()) reported_.push_back(b);
    });
    ASSERT_NE(demo_, nullptr);
    hwnd_ = demo_->hwnd;
    ASSERT_TRUE(XSession::pumpUntil([&] {
      return XSession::run("xdotool search --name '^Tunora 框架演示$' >/dev/null 2>&1") == 0 &&
             pw::GetActiveWindow() == hwnd_;
    }));
    settle(700);  // the fade-in
  }

  void TearDown() override {
    if (hwnd_ != nullptr && pw::IsWindow(hwnd_)) pw::DestroyWindow(hwnd_);
    settle(50);
    demo_.reset();
  }

  static void settle(int ms) { XSession::pumpUntil([] { return false; }, ms); }
  static std::string screen(int clientX, int clientY) {
    return std::to_string(kLeft + clientX) + " " + std::to_string(kTop + clientY);
  }

  std::unique_ptr<demo::DemoWindow> demo_;
  pw::HWND hwnd_ = nullptr;
  std::vector<int> reported_;
};

TEST_F(DemoSlidersOnScreen, ADraggedSliderReportsItsValuesAndShowsThem) {
  ui::controls::ExSlider& slider = demo_->sliders.position;
  // The download would keep moving the picture; hold it at 60 %.
  pw::KillTimer(demo_->sliders.ticker, 1);
  slider.secondValue(60);
  const int middle = kSliderY + kSliderH / 2;
  const int quarter = kTrackX + kTrackW / 4 + 1;   // 25.2 %
  const int half = kTrackX + kTrackW / 2;          // 50 %
  const int threeQuarters = kTrackX + 184;         // 74.8 %
  // From the thumb at 0 %, right past the window's edge, then back; released on the slider.
  XSession::run("(xdotool mousemove --sync " + screen(kTrackX, middle) + " sleep 0.2 mousedown 1 sleep 0.2" +
                " mousemove " + screen(quarter, middle) + " sleep 0.15 mousemove " + screen(half, middle + 20) +
                " sleep 0.15 mousemove " + screen(kSliderX + kSliderW + 60, middle) + " sleep 0.15 mousemove " +
                screen(threeQuarters, middle) + " sleep 0.2 mouseup 1) >/dev/null 2>&1 &");
  ASSERT_TRUE(XSession::pumpUntil([&] { return reported_.size() >= 5 && !pw::GetCapture(); }, 8000))
      << reported_.size();
  settle(400);  // the thumb's fade
  // Each stop reported once (a stray motion event may add an intermediate value), in order.
  const std::vector<int> stops{25, 50, 100, 74};
  std::size_t next = 0;
  for (int v : reported_) {
    if (next < stops.size() && v == stops[next]) ++next;
  }
  EXPECT_EQ(next, stops.size());
  EXPECT_EQ(reported_.back(), 74);  // the release is a click and reports once more
  EXPECT_NEAR(slider.value(), 74.8f, 0.1f);
  EXPECT_TRUE(slider.hot());  // the pointer rests on the thumb

  Screenshot shot("sliders-dragged.png");
  const platform::gfx::Surface* composed = demo_->host.composedSurface();
  ASSERT_NE(composed, nullptr);
  int wrong = 0;
  for (int y = 580; y < 628; ++y) {
    for (int x = kSliderX; x < kSliderX + kSliderW; ++x) {
      const std::uint32_t want = composed->rawPixel(x, y) & 0xFFFFFF;
      const std::uint32_t got = shot.at(kLeft + x, kTop + y);
      for (int shift : {0, 8, 16}) {
        if (std::abs(channel(want, shift) - channel(got, shift)) > 2) {
          ++wrong;
          break;
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  // The value bar starts blue; past the thumb and the second value only the grey track shows.
  const std::uint32_t start = shot.at(kLeft + kTrackX + 3, kTop + middle);
  EXPECT_GT(channel(start, 0), channel(start, 16) + 60) << std::hex << start;
  const std::uint32_t beyond = shot.at(kLeft + kTrackX + 230, kTop + middle);
  EXPECT_LT(std::abs(channel(beyond, 0) - channel(beyond, 16)), 20) << std::hex << beyond;
}

}  // namespace
