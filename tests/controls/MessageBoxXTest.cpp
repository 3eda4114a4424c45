// Message boxes over the framework demo window under a private X server with openbox (GTK
// back end): xdotool presses each button of the yes/no/cancel set and Escape while the
// box's own loop runs, and afterwards the owner takes clicks again. The screenshot of the
// first box stays in the test's temp folder (its path is printed) for a person to look at.

#include "tests/window/XSession.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"
#include "platform/window/gtk/GtkBackend.h"
#include "tools/framework-demo/DemoWindow.h"
#include "ui/framework/MessageBox.h"

using windowtest::XSession;
namespace pw = platform::window;

namespace {

constexpr int kLeft = 150;
constexpr int kTop = 40;

struct Logged {
  std::string what;
  int a, b;
};

void xdotool(const std::string& args) { XSession::run("xdotool " + args + " >/dev/null 2>&1"); }

// From another thread: waits (served by the box's loop) until the window is active.
bool waitUntilActive(pw::HWND window) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < until) {
    if (pw::GetActiveWindow() == window) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

class MessageBoxOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    startCompositor();
    ASSERT_TRUE(pw::GtkBackend::open());
    pw::WindowSystem::instance().installBackend(std::make_unique<pw::GtkBackend>());
    demo_ = demo::openDemoWindow(kLeft, kTop, DEMO_PICTURES, [this](const char* what, int a, int b) {
      log_.push_back({what, a, b});
    });
    ASSERT_NE(demo_, nullptr);
    hwnd_ = demo_->hwnd;
    ASSERT_TRUE(XSession::pumpUntil([&] { return pw::GetActiveWindow() == hwnd_; }));
    xdotool("mousemove --sync 950 700");
    settle(700);  // the window's fade-in
  }

  void TearDown() override {
    if (driver_.joinable()) driver_.join();
    if (hwnd_ != nullptr && pw::IsWindow(hwnd_)) pw::DestroyWindow(hwnd_);
    settle(50);
    demo_.reset();
    if (compositor_ > 0) ::kill(compositor_, SIGTERM);
  }

  // Only under a compositor could a translucent box show what lies behind it; it runs for
  // this test alone, so the other screen tests keep their plain server.
  void startCompositor() {
    const std::string pidFile = ::testing::TempDir() + "tunora-xcompmgr.pid";
    if (XSession::run("xcompmgr >/dev/null 2>&1 & echo $! > '" + pidFile + "'") != 0) return;
    std::ifstream in(pidFile);
    in >> compositor_;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  static void settle(int ms) { XSession::pumpUntil([] { return false; }, ms); }

  // Shows a yes/no/cancel box over the demo; once it is active a second thread takes the
  // screenshot (when named) and presses the button at position (1..3), or Escape for 0.
  int showAndPress(int position, const std::string& screenshot = {}) {
    return ui::showMessageBox(
        hwnd_, platform::text::utf8ToAnsi("要保存对播放列表的修改吗？\r\n不保存，修改将会丢失。"), ui::kBoxCancelNoYes,
        std::nullopt, ui::kBoxIconQuestion,
        [&](pw::HWND box, int w, int h) {
          pw::RECT r;
          pw::GetWindowRect(box, &r);
          const ui::RectF button = ui::boxButtonAtCreation(position == 0 ? 1 : position, w, h);
          const int x = r.left + static_cast<int>(button.x) + 35, y = r.top + static_cast<int>(button.y) + 12;
          driver_ = std::thread([=, this] {
            if (!waitUntilActive(box)) {
              pw::PostMessageA(box, pw::WM_CLOSE, 0, 0);  // fail without hanging
              return;
            }
            ownerEnabledWhileOpen_ = pw::IsWindowEnabled(hwnd_);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (!screenshot.empty()) {
              const std::string path = ::testing::TempDir() + screenshot;
              XSession::run("import -window root '" + path + "'");
              std::printf("screenshot: %s\n", path.c_str());
            }
            if (position == 0) {
              xdotool("key Escape");
            } else {
              xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 click 1");
            }
          });
        },
        0);
  }

  void joinDriver() {
    if (driver_.joinable()) driver_.join();
  }

  std::unique_ptr<demo::DemoWindow> demo_;
  pw::HWND hwnd_ = nullptr;
  std::vector<Logged> log_;
  std::thread driver_;
  bool ownerEnabledWhileOpen_ = true;
  pid_t compositor_ = 0;
};

TEST_F(MessageBoxOnScreen, EachButtonOfTheYesNoCancelSetAndEscapeReturnTheirCodes) {
  struct Press {
    int position;
    int code;
  };
  bool first = true;
  for (const Press p : {Press{3, ui::kBoxCodeYes}, Press{2, ui::kBoxCodeNo}, Press{1, ui::kBoxCodeCancel},
                        Press{0, ui::kBoxCodeCancel}}) {
    const int code = showAndPress(p.position, first ? "message-box-over-demo.png" : "");
    joinDriver();
    first = false;
    EXPECT_EQ(code, p.code) << "position " << p.position;
    EXPECT_FALSE(ownerEnabledWhileOpen_);
    EXPECT_TRUE(pw::IsWindowEnabled(hwnd_));
    EXPECT_EQ(ui::openMessageBox(), nullptr);
  }

  // The owner takes clicks again: its message-box button opens set 0, whose focused
  // "OK" answers Enter.
  ASSERT_TRUE(XSession::pumpUntil([&] { return pw::GetActiveWindow() == hwnd_; }));
  driver_ = std::thread([this] {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
      const pw::HWND active = pw::GetActiveWindow();
      if (active != nullptr && active != hwnd_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        xdotool("key Return");
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  xdotool("mousemove --sync " + std::to_string(kLeft + 196 + 42) + " " + std::to_string(kTop + 100 + 13) +
          " sleep 0.1 click 1");
  EXPECT_TRUE(XSession::pumpUntil([&] {
    for (const Logged& l : log_) {
      if (l.what == "msgbox") return true;
    }
    return false;
  }));
  joinDriver();
  ASSERT_FALSE(log_.empty());
  bool sawBox = false;
  for (const Logged& l : log_) {
    if (l.what != "msgbox") continue;
    sawBox = true;
    EXPECT_EQ(l.a, 0);
    EXPECT_EQ(l.b, ui::kBoxCodeOk);
  }
  EXPECT_TRUE(sawBox);
  EXPECT_TRUE(pw::IsWindowEnabled(hwnd_));
}

}  // namespace
