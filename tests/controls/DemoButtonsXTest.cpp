// The demo's buttons under a private X server with openbox (GTK back end): an image button
// and the push button hovered and pressed with xdotool, read back from screenshots, and the
// push button clicked by its access key. The screenshots stay in the test's temp folder
// (their paths are printed) for a person to look at.

#include "tests/window/XSession.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"
#include "tools/framework-demo/DemoWindow.h"

using windowtest::XSession;
namespace pw = platform::window;

namespace {

constexpr int kLeft = 200;
constexpr int kTop = 50;

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

int channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// Pixels of the window area (x, y, w, h) that differ between two shots by more than a shade.
int changed(const Screenshot& a, const Screenshot& b, int x, int y, int w, int h) {
  int n = 0;
  for (int dy = 0; dy < h; ++dy) {
    for (int dx = 0; dx < w; ++dx) {
      const std::uint32_t p = a.at(kLeft + x + dx, kTop + y + dy), q = b.at(kLeft + x + dx, kTop + y + dy);
      for (int shift : {0, 8, 16}) {
        if (std::abs(channel(p, shift) - channel(q, shift)) > 24) {
          ++n;
          break;
        }
      }
    }
  }
  return n;
}

class DemoButtonsOnScreen : public ::testing::Test {
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
    xdotool("mousemove --sync 950 700");
    settle(700);  // the window's fade-in
  }

  void TearDown() override {
    if (hwnd_ != nullptr && pw::IsWindow(hwnd_)) pw::DestroyWindow(hwnd_);
    settle(50);
    demo_.reset();
  }

  static void settle(int ms) { XSession::pumpUntil([] { return false; }, ms); }
  void xdotool(const std::string& args) { XSession::run("xdotool " + args + " >/dev/null 2>&1"); }
  void pointAt(int x, int y) {
    xdotool("mousemove --sync " + std::to_string(kLeft + x) + " " + std::to_string(kTop + y));
  }
  // Waits for a button to take a look and for its fade to end, then for the last push to
  // reach the screen.
  static void faded(const ui::controls::FadingButton& button, ui::controls::FadingButton::Look look) {
    EXPECT_TRUE(XSession::pumpUntil([&] { return button.look() == look && button.fadeLevel() == 0; }));
    settle(150);
  }
  int clicksOf(int id) const {
    int n = 0;
    for (const Logged& l : log_) {
      if (l.what == "control" && l.a == id) ++n;
    }
    return n;
  }

  std::unique_ptr<demo::DemoWindow> demo_;
  pw::HWND hwnd_ = nullptr;
  std::vector<Logged> log_;
};

TEST_F(DemoButtonsOnScreen, AnImageButtonShowsHoverAndPressedLooksAndItsClickIsLogged) {
  const ui::controls::ExImageButton& play = demo_->buttons.row[1];
  const platform::gfx::RectF b = play.bounds();
  const int x = static_cast<int>(b.x), y = static_cast<int>(b.y);
  Screenshot normal("buttons-normal.png");
  pointAt(x + 18, y + 18);
  faded(play, ui::controls::FadingButton::Look::Hover);
  Screenshot hover("buttons-hover.png");
  xdotool("mousedown 1");
  faded(play, ui::controls::FadingButton::Look::Pressed);
  Screenshot pressed("buttons-pressed.png");
  xdotool("mouseup 1");
  settle(300);

  EXPECT_GT(changed(normal, hover, x, y, 36, 36), 150);
  EXPECT_GT(changed(hover, pressed, x, y, 36, 36), 150);
  // The pressed disc is amber: red well above blue at the centre ring.
  const std::uint32_t ring = pressed.at(kLeft + x + 8, kTop + y + 18);
  EXPECT_GT(channel(ring, 16), channel(ring, 0) + 80) << std::hex << ring;
  // Nothing around the button changed.
  EXPECT_EQ(changed(normal, pressed, x - 6, y, 5, 36), 0);
  EXPECT_EQ(changed(normal, pressed, x, y + 38, 36, 6), 0);
  EXPECT_EQ(clicksOf(play.id()), 1);
  EXPECT_EQ(play.look(), ui::controls::ExImageButton::Look::Pressed);
}

TEST_F(DemoButtonsOnScreen, ThePushButtonLightsUpClicksAndAnswersAltP) {
  ui::controls::ExButton& play = demo_->buttons.play;
  const platform::gfx::RectF b = play.bounds();
  const int x = static_cast<int>(b.x), y = static_cast<int>(b.y);
  Screenshot normal("push-normal.png");
  pointAt(x + 42, y + 13);
  faded(play, ui::controls::FadingButton::Look::Hover);
  Screenshot hover("push-hover.png");
  xdotool("mousedown 1");
  faded(play, ui::controls::FadingButton::Look::Pressed);
  Screenshot pressed("push-pressed.png");
  xdotool("mouseup 1");
  settle(300);
  EXPECT_GT(changed(normal, hover, x, y, 84, 26), 40);
  EXPECT_GT(changed(hover, pressed, x, y, 84, 26), 40);
  EXPECT_EQ(clicksOf(play.id()), 1);
  EXPECT_EQ(play.caption(), platform::text::utf8ToAnsi("暂停(&P)"));

  xdotool("mousemove --sync 950 700");
  settle(300);
  xdotool("key alt+p");
  ASSERT_TRUE(XSession::pumpUntil([&] { return clicksOf(play.id()) == 2; }));
  faded(play, ui::controls::FadingButton::Look::Normal);
  EXPECT_EQ(play.caption(), platform::text::utf8ToAnsi("播放(&P)"));
  Screenshot whole("demo-with-buttons.png");
  // The focused button carries its ring; the screen shows what was composed there.
  const platform::gfx::Surface* composed = demo_->host.composedSurface();
  ASSERT_NE(composed, nullptr);
  int wrong = 0;
  for (int dy = 0; dy < 26; ++dy) {
    for (int dx = 0; dx < 84; ++dx) {
      const std::uint32_t want = composed->rawPixel(x + dx, y + dy) & 0xFFFFFF;
      const std::uint32_t got = whole.at(kLeft + x + dx, kTop + y + dy);
      for (int shift : {0, 8, 16}) {
        if (std::abs(channel(want, shift) - channel(got, shift)) > 2) {
          ++wrong;
          break;
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
