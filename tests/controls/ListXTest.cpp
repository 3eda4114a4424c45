// The demo's 1 000-row list under a private X server with openbox (GTK back end): scrolled
// with the wheel and by dragging its thumb with xdotool, checked by the list's state and by
// screenshots against the composed window image. The screenshots stay in the test's temp
// folder (their paths are printed) for a person to look at.

#include "tests/window/XSession.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"
#include "tools/framework-demo/DemoWindow.h"

using windowtest::XSession;
namespace pw = platform::window;
using ui::controls::ExScrollBar;

namespace {

constexpr int kLeft = 150;
constexpr int kTop = 40;
// The list's place in the window.
constexpr int kListX = 16, kListY = 360, kListW = 264, kListH = 170;

// The screen as 0x00RRGGBB words, saved under the test's temp folder.
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

int channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

class DemoListOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(pw::GtkBackend::open());
    pw::WindowSystem::instance().installBackend(std::make_unique<pw::GtkBackend>());
    demo_ = demo::openDemoWindow(kLeft, kTop, DEMO_PICTURES, [](const char*, int, int) {});
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
  void xdotool(const std::string& args) { XSession::run("xdotool " + args + " >/dev/null 2>&1"); }

  // Pixels of the list's area on the screen that differ from the composed image.
  int differingFromComposed(const Screenshot& shot) {
    const platform::gfx::Surface* composed = demo_->host.composedSurface();
    if (composed == nullptr) return -1;
    int wrong = 0;
    for (int y = kListY; y < kListY + kListH; y += 2) {
      for (int x = kListX; x < kListX + kListW; x += 2) {
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
    return wrong;
  }

  std::unique_ptr<demo::DemoWindow> demo_;
  pw::HWND hwnd_ = nullptr;
};

TEST_F(DemoListOnScreen, ScrollsWithTheWheelAndByDraggingTheThumb) {
  ui::controls::ExList& list = demo_->list.list;
  ASSERT_EQ(list.rowCount(), demo::kDemoListRows);
  ExScrollBar* bar = list.verticalBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->visible(), 1);
  const int rh = list.rowHeight();
  Screenshot top("list-top.png");
  EXPECT_EQ(differingFromComposed(top), 0);

  // Three notches down over the rows.
  xdotool("mousemove --sync " + std::to_string(kLeft + 120) + " " + std::to_string(kTop + 440) +
          " click 5 click 5 click 5");
  ASSERT_TRUE(XSession::pumpUntil([&] { return list.scrollTop() == 3 * rh; })) << list.scrollTop();
  EXPECT_EQ(list.topRow(), 4);
  EXPECT_EQ(bar->position(), 3 * rh);
  settle(200);
  Screenshot wheeled("list-wheeled.png");
  EXPECT_EQ(differingFromComposed(wheeled), 0);
  // The rows moved: the screen changed where row 1 was.
  int changed = 0;
  for (int y = kListY + 2; y < kListY + rh; ++y) {
    if (top.at(kLeft + 150, kTop + y) != wheeled.at(kLeft + 150, kTop + y)) ++changed;
  }
  EXPECT_GT(changed, 0);

  // Drag the thumb 60 pixels down.
  const platform::gfx::RectF thumb = bar->partRect(ExScrollBar::kThumb);
  const int range = bar->maximum() - bar->minimum();
  const float room = bar->bounds().height - 2 * bar->bounds().width - thumb.height;
  const double expected = (thumb.y - (bar->bounds().y + bar->bounds().width) + 60) / room * range;
  const int x = kLeft + static_cast<int>(thumb.x + thumb.width / 2);
  const int y = kTop + static_cast<int>(thumb.y + thumb.height / 2);
  XSession::run("(xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) +
                " sleep 0.2 mousedown 1 sleep 0.2 mousemove " + std::to_string(x) + " " + std::to_string(y + 30) +
                " sleep 0.1 mousemove " + std::to_string(x) + " " + std::to_string(y + 60) +
                " sleep 0.2 mouseup 1) >/dev/null 2>&1 &");
  ASSERT_TRUE(XSession::pumpUntil([&] { return std::abs(list.scrollTop() - expected) <= range / room + 1; }))
      << list.scrollTop() << " wanted about " << expected;
  settle(500);  // the release and the fade back
  EXPECT_EQ(bar->pressedPart(), 0);
  EXPECT_EQ(list.topRow(), list.scrollTop() / rh + 1);
  EXPECT_GT(list.topRow(), 100);
  Screenshot dragged("list-dragged.png");
  EXPECT_EQ(differingFromComposed(dragged), 0);
}

}  // namespace
