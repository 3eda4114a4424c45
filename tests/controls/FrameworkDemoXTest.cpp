// The framework demo window under a private X server with openbox (GTK back end), driven
// with xdotool and read back from screenshots. The screenshots stay in the test's temp
// folder (their paths are printed) for a person to look at.

#include "tests/window/XSession.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"
#include "tools/framework-demo/DemoWindow.h"

// Xlib after gtest, whose names its macros (None, Bool) would break.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>

using windowtest::XSession;
namespace pw = platform::window;

namespace {

constexpr int kLeft = 150;
constexpr int kTop = 40;

struct Logged {
  std::string what;
  int a, b;
};

// A screenshot of the whole screen as 0x00RRGGBB words.
class Screenshot {
 public:
  explicit Screenshot(const std::string& name) : path_(::testing::TempDir() + name) {
    EXPECT_EQ(XSession::run("import -window root '" + path_ + "'"), 0);
    std::printf("screenshot: %s\n", path_.c_str());
    cairo_surface_t* png = cairo_image_surface_create_from_png(path_.c_str());
    rgb_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1024, 768);
    cairo_t* cr = cairo_create(rgb_);
    cairo_set_source_surface(cr, png, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(png);
    cairo_surface_flush(rgb_);
  }
  ~Screenshot() { cairo_surface_destroy(rgb_); }
  Screenshot(const Screenshot&) = delete;
  Screenshot& operator=(const Screenshot&) = delete;

  std::uint32_t at(int x, int y) const {
    const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(rgb_));
    return data[y * (cairo_image_surface_get_stride(rgb_) / 4) + x] & 0xFFFFFF;
  }

 private:
  std::string path_;
  cairo_surface_t* rgb_ = nullptr;
};

// Grabs the window's area of the screen over and over on a connection of its own, so it
// sees the frames a close effect pushes while the effect holds the UI thread.
class ScreenRecorder {
 public:
  ScreenRecorder(int x, int y, int width, int height) : x_(x), y_(y), width_(width), height_(height) {
    thread_ = std::thread([this] { run(); });
  }
  ~ScreenRecorder() { stop(); }
  void stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // Frames as 0x00RRGGBB rows, in the order seen; identical neighbours are kept once.
  const std::vector<std::vector<std::uint32_t>>& frames() const { return frames_; }

  void save(const std::vector<std::uint32_t>& frame, const std::string& name) const {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) data[y * stride + x] = frame[static_cast<std::size_t>(y * width_ + x)];
    }
    cairo_surface_mark_dirty(s);
    const std::string path = ::testing::TempDir() + name;
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    std::printf("screenshot: %s\n", path.c_str());
  }

 private:
  void run() {
    Display* d = XOpenDisplay(XSession::display().c_str());
    if (d == nullptr) return;
    while (!stop_) {
      XImage* image = XGetImage(d, DefaultRootWindow(d), x_, y_, static_cast<unsigned>(width_),
                                static_cast<unsigned>(height_), AllPlanes, ZPixmap);
      if (image != nullptr) {
        std::vector<std::uint32_t> frame(static_cast<std::size_t>(width_ * height_));
        for (int y = 0; y < height_; ++y) {
          for (int x = 0; x < width_; ++x) {
            frame[static_cast<std::size_t>(y * width_ + x)] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
          }
        }
        XDestroyImage(image);
        if (frames_.empty() || frames_.back() != frame) frames_.push_back(std::move(frame));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    XCloseDisplay(d);
  }

  int x_, y_, width_, height_;
  std::atomic<bool> stop_{false};
  std::vector<std::vector<std::uint32_t>> frames_;
  std::thread thread_;
};

int channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

class DemoOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(pw::GtkBackend::open());
    pw::WindowSystem::instance().installBackend(std::make_unique<pw::GtkBackend>());
    demo_ = demo::openDemoWindow(kLeft, kTop, DEMO_PICTURES, [this](const char* what, int a, int b) {
      log_.push_back({what, a, b});
    });
    ASSERT_NE(demo_, nullptr);
    hwnd_ = demo_->hwnd;
    ASSERT_TRUE(XSession::pumpUntil([&] {
      return XSession::run("xdotool search --name '^Tunora 框架演示$' >/dev/null 2>&1") == 0 &&
             pw::GetActiveWindow() == hwnd_;
    }));
    settle(700);  // the fade-in's six ticks
  }

  void TearDown() override {
    if (hwnd_ != nullptr && pw::IsWindow(hwnd_)) pw::DestroyWindow(hwnd_);
    settle(50);
    demo_.reset();
  }

  static void settle(int ms) { XSession::pumpUntil([] { return false; }, ms); }

  // Screen position of a caption button's pixel (dx, dy) from its top-left.
  void captionButtonAt(int bit, int dx, int dy, int& x, int& y) {
    const ui::ControlList* list = ui::controlList(demo_->host.windowIndex());
    ASSERT_NE(list, nullptr);
    for (const ui::ControlRecord& r : *list) {
      if (r.kind == ui::kKindCaptionButton && demo_->host.captionButtonBit(r.controlId) == bit) {
        pw::RECT w;
        pw::GetWindowRect(hwnd_, &w);
        x = w.left + static_cast<int>(r.bounds.x) + dx;
        y = w.top + static_cast<int>(r.bounds.y) + dy;
        return;
      }
    }
    FAIL() << "no caption button " << bit;
  }

  void xdotool(const std::string& args) { XSession::run("xdotool " + args + " >/dev/null 2>&1"); }

  std::unique_ptr<demo::DemoWindow> demo_;
  pw::HWND hwnd_ = nullptr;
  std::vector<Logged> log_;
};

TEST_F(DemoOnScreen, AppearsAtItsPositionShowingTheComposedImage) {
  FILE* p = popen("xdotool search --name '^Tunora 框架演示$' getwindowgeometry --shell 2>/dev/null", "r");
  ASSERT_NE(p, nullptr);
  std::string geometry;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, p) != nullptr) geometry += buffer;
  pclose(p);
  EXPECT_NE(geometry.find("X=150\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Y=40\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("WIDTH=296\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("HEIGHT=657\n"), std::string::npos) << geometry;

  xdotool("mousemove --sync 900 700");
  settle(200);
  Screenshot shot("demo-shown.png");
  // The lower half holds no animation but the position slider's download bar: every other
  // pixel there is what was composed (the window alpha of 254 leaves it nearly opaque; the
  // screen shows the stored colour).
  const platform::gfx::Surface* composed = demo_->host.composedSurface();
  ASSERT_NE(composed, nullptr);
  int compared = 0, wrong = 0;
  for (int y = 280; y < 640; y += 4) {
    if (y >= 612 && y < 624) continue;
    for (int x = 12; x < 284; x += 4) {
      const std::uint32_t want = composed->rawPixel(x, y) & 0xFFFFFF;
      const std::uint32_t got = shot.at(kLeft + x, kTop + y);
      ++compared;
      for (int shift : {0, 8, 16}) {
        if (std::abs(channel(want, shift) - channel(got, shift)) > 2) {
          ++wrong;
          break;
        }
      }
    }
  }
  EXPECT_GT(compared, 5000);
  EXPECT_EQ(wrong, 0);
}

TEST_F(DemoOnScreen, HoveringAndPressingACaptionButtonChangeItsLook) {
  int x, y;
  captionButtonAt(ui::kCaptionClose, 2, 2, x, y);  // a corner: backdrop, no glyph
  Screenshot normal("demo-normal.png");
  xdotool("mousemove --sync " + std::to_string(x + 17) + " " + std::to_string(y + 7));
  settle(300);
  Screenshot hover("demo-hover.png");
  xdotool("mousedown 1");
  settle(300);
  Screenshot pressed("demo-pressed.png");
  // Released off the button: no click.
  xdotool("mousemove --sync 900 700 mouseup 1");
  settle(300);
  Screenshot after("demo-after-press.png");

  const std::uint32_t n = normal.at(x, y), h = hover.at(x, y), d = pressed.at(x, y);
  // The close button lights up red on hover and turns a darker red while pressed.
  EXPECT_GT(channel(h, 16), 180) << std::hex << h;
  EXPECT_LT(channel(h, 8), 90) << std::hex << h;
  EXPECT_GT(channel(d, 16), 100) << std::hex << d;
  EXPECT_LT(channel(d, 16), channel(h, 16) - 40) << std::hex << d;
  EXPECT_EQ(after.at(x, y), n);
  EXPECT_TRUE(pw::IsWindow(hwnd_));
  EXPECT_TRUE(log_.empty());
}

TEST_F(DemoOnScreen, APressOnEmptyAreaDragsTheWindow) {
  pw::RECT before;
  pw::GetWindowRect(hwnd_, &before);
  // (240, 200) in the window: no control lies there.
  XSession::run("(xdotool mousemove --sync 390 240 mousedown 1 sleep 0.3 mousemove 420 260 sleep 0.1 "
                "mousemove 450 280 sleep 0.2 mouseup 1) >/dev/null 2>&1 &");
  pw::RECT now;
  EXPECT_TRUE(XSession::pumpUntil([&] {
    pw::GetWindowRect(hwnd_, &now);
    return now.left == before.left + 60 && now.top == before.top + 40;
  }));
  settle(300);
  EXPECT_TRUE(log_.empty());
}

TEST_F(DemoOnScreen, MinimiseAndCloseButtonsWorkAndTheCloseEffectRuns) {
  int x, y;
  captionButtonAt(ui::kCaptionMinimize, 14, 9, x, y);
  xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  ASSERT_TRUE(XSession::pumpUntil([&] { return pw::IsIconic(hwnd_); }));
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.back().what, "caption");
  EXPECT_EQ(log_.back().b, ui::kCaptionMinimize);
  pw::ShowWindow(hwnd_, pw::SW_RESTORE);
  ASSERT_TRUE(XSession::pumpUntil([&] { return !pw::IsIconic(hwnd_) && pw::GetActiveWindow() == hwnd_; }));
  settle(300);
  Screenshot before("demo-before-close.png");

  captionButtonAt(ui::kCaptionClose, 19, 9, x, y);
  xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
  settle(200);
  auto recorder = std::make_unique<ScreenRecorder>(kLeft, kTop, demo::kWidth, demo::kHeight);
  const auto start = std::chrono::steady_clock::now();
  xdotool("click 1");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !pw::IsWindow(hwnd_); }));
  const auto took = std::chrono::steady_clock::now() - start;
  settle(300);
  recorder->stop();
  std::printf("close took %lld ms, %zu distinct frames seen\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()),
              recorder->frames().size());
  EXPECT_EQ(log_.back().b, ui::kCaptionClose);
  Screenshot gone("demo-closed.png");
  const int topX = 150, topY = 60, lowY = 600;
  const std::uint32_t topBefore = before.at(kLeft + topX, kTop + topY), lowBefore = before.at(kLeft + topX, kTop + lowY);
  const std::uint32_t topGone = gone.at(kLeft + topX, kTop + topY), lowGone = gone.at(kLeft + topX, kTop + lowY);
  EXPECT_NE(lowGone, lowBefore);  // the window has left the screen
  // Top to bottom: some frames show the top already gone and the bottom still there.
  int halfway = 0;
  const std::vector<std::uint32_t>* shown = nullptr;
  for (const auto& frame : recorder->frames()) {
    const std::uint32_t top = frame[static_cast<std::size_t>(topY * demo::kWidth + topX)];
    const std::uint32_t low = frame[static_cast<std::size_t>(lowY * demo::kWidth + topX)];
    if (top == topGone && top != topBefore && low == lowBefore) {
      ++halfway;
      if (shown == nullptr || halfway == 4) shown = &frame;
    }
  }
  EXPECT_GE(halfway, 2);
  if (shown != nullptr) recorder->save(*shown, "demo-closing.png");
}

}  // namespace
