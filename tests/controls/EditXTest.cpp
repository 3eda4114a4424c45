// The demo's edit box under a private X server with openbox (GTK back end): Chinese and
// Latin text typed with xdotool, copied to and pasted from the desktop clipboard, read back
// with xclip. The screenshots stay in the test's temp folder (their paths are printed).

#include "tests/window/XSession.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/text/CodePage.h"
#include "platform/window/Caret.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"
#include "tools/framework-demo/DemoWindow.h"

using platform::text::utf8ToAnsi;
using windowtest::XSession;
namespace pw = platform::window;

namespace {

constexpr int kLeft = 150;
constexpr int kTop = 40;
constexpr int kBoxX = 16, kBoxY = 540, kBoxW = 264, kBoxH = 26;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

class DemoEditOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    if (XSession::run("command -v xclip >/dev/null") != 0) GTEST_SKIP() << "no xclip";
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
  // xdotool runs beside the loop, which must keep serving the window (and the clipboard).
  static void xdotoolInBackground(const std::string& args) {
    XSession::run("(xdotool " + args + ") >/dev/null 2>&1 &");
  }
  static std::string screenPoint(int x, int y) { return std::to_string(kLeft + x) + " " + std::to_string(kTop + y); }

  // Pixels of the box on the screen that differ from the composed image, outside the caret.
  int differingFromComposed(const std::string& shotPath) {
    cairo_surface_t* shot = cairo_image_surface_create_from_png(shotPath.c_str());
    const platform::gfx::Surface* composed = demo_->host.composedSurface();
    int wrong = -1;
    if (cairo_surface_status(shot) == CAIRO_STATUS_SUCCESS && composed != nullptr) {
      wrong = 0;
      const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(shot));
      const int stride = cairo_image_surface_get_stride(shot) / 4;
      const int caretX = demo_->edit.box.caretColumn().x;
      for (int y = kBoxY; y < kBoxY + kBoxH; ++y) {
        for (int x = kBoxX; x < kBoxX + kBoxW; ++x) {
          if (x == caretX) continue;
          const std::uint32_t want = composed->rawPixel(x, y) & 0xFFFFFF;
          const std::uint32_t got = data[(kTop + y) * stride + kLeft + x] & 0xFFFFFF;
          for (int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>((want >> shift) & 0xFF) - static_cast<int>((got >> shift) & 0xFF)) > 2) {
              ++wrong;
              break;
            }
          }
        }
      }
    }
    cairo_surface_destroy(shot);
    return wrong;
  }

  std::string screenshot(const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    EXPECT_EQ(XSession::run("import -window root '" + path + "'"), 0);
    std::printf("screenshot: %s\n", path.c_str());
    return path;
  }

  std::unique_ptr<demo::DemoWindow> demo_;
  pw::HWND hwnd_ = nullptr;
};

TEST_F(DemoEditOnScreen, TypedChineseShowsCopiesOutAndPastesInThroughTheDesktop) {
  ui::controls::ExEdit& box = demo_->edit.box;
  EXPECT_EQ(box.text(), utf8ToAnsi("请输入歌曲/歌手名"));

  // The first press clears the hint; the caret blinks and the input method knows where.
  xdotoolInBackground("mousemove --sync " + screenPoint(kBoxX + 100, kBoxY + 13) + " click 1");
  ASSERT_TRUE(XSession::pumpUntil([&] { return box.text().empty() && box.blinking(); }));
  EXPECT_EQ(pw::GetCaretOwner(), hwnd_);

  const std::string typed = "周杰伦 abc";
  ASSERT_TRUE(XSession::mapCharacters(typed));
  XSession::pumpUntil([] { return false; }, 300);  // the window reads the new key map
  xdotoolInBackground("type --delay 60 '" + typed + "'");
  ASSERT_TRUE(XSession::pumpUntil([&] { return box.text() == utf8ToAnsi(typed); }, 10000))
      << platform::text::ansiToUtf8(box.text());
  EXPECT_EQ(box.characterCount(), 7);
  EXPECT_EQ(box.caret(), 7);
  settle(300);
  EXPECT_EQ(differingFromComposed(screenshot("edit-typed.png")), 0);

  // Ctrl+A, Ctrl+C: another program reads the text back in UTF-8.
  xdotoolInBackground("key ctrl+a ctrl+c");
  ASSERT_TRUE(XSession::pumpUntil([&] { return box.selectedText() == box.text(); }));
  settle(200);
  const std::string outPath = ::testing::TempDir() + "edit-clipboard.txt";
  std::remove(outPath.c_str());
  XSession::run("(xclip -o -selection clipboard > '" + outPath + ".part' && mv '" + outPath + ".part' '" +
                outPath + "') >/dev/null 2>&1 &");
  ASSERT_TRUE(XSession::pumpUntil([&] { return !readFile(outPath).empty(); }, 5000));
  EXPECT_EQ(readFile(outPath), typed);

  // Another program's text pasted at the end, replacing nothing.
  XSession::run("printf '%s' '粘贴123' | xclip -selection clipboard >/dev/null 2>&1");
  settle(200);
  xdotoolInBackground("key End ctrl+v");
  ASSERT_TRUE(XSession::pumpUntil([&] { return box.text() == utf8ToAnsi(typed + "粘贴123"); }, 5000))
      << platform::text::ansiToUtf8(box.text());
  settle(300);
  EXPECT_EQ(differingFromComposed(screenshot("edit-pasted.png")), 0);
}

}  // namespace
