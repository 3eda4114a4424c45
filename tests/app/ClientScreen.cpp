#include "tests/app/ClientScreen.h"

#include <algorithm>
#include <cstdlib>

// gtest before Xlib, whose macros (None, Bool) would break it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/window/XSession.h"

namespace clienttest {

using windowtest::XSession;

void settle(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void xdotool(const std::string& args) { XSession::run("xdotool " + args + " >/dev/null 2>&1"); }

int screenScale() {
  const char* scale = std::getenv("TUNORA_TEST_SCALE");
  return scale != nullptr ? std::max(1, std::atoi(scale)) : 1;
}

void clickAt(int x, int y, int clicks) {
  const int s = screenScale();
  // A synced move to where the pointer already is waits for a motion that never comes.
  xdotool("mousemove 0 0 mousemove --sync " + std::to_string((kLeft + x) * s) + " " + std::to_string((kTop + y) * s) +
          " click --repeat " + std::to_string(clicks) + " --delay 80 1");
}

void movePointerAway() { xdotool("mousemove 900 700"); }

std::string screenshot(const std::string& name) {
  const std::string path = ::testing::TempDir() + name;
  EXPECT_EQ(XSession::run("import -window root '" + path + "'"), 0);
  std::printf("screenshot: %s\n", path.c_str());
  return path;
}

std::vector<std::uint32_t> grabArea(int x, int y, int width, int height) {
  std::vector<std::uint32_t> pixels;
  Display* display = XOpenDisplay(XSession::display().c_str());
  if (display == nullptr) return pixels;
  const int s = screenScale();
  XImage* image = XGetImage(display, DefaultRootWindow(display), (kLeft + x) * s, (kTop + y) * s,
                            static_cast<unsigned>(width * s), static_cast<unsigned>(height * s), AllPlanes, ZPixmap);
  if (image != nullptr) {
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row)
      for (int column = 0; column < width; ++column)
        pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, column * s, row * s) & 0xFFFFFF));
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return pixels;
}

int differingPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int tolerance) {
  if (a.size() != b.size()) return static_cast<int>(std::max(a.size(), b.size()));
  int count = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      const int x = static_cast<int>((a[i] >> shift) & 0xFF);
      const int y = static_cast<int>((b[i] >> shift) & 0xFF);
      if (std::abs(x - y) > tolerance) {
        ++count;
        break;
      }
    }
  }
  return count;
}

void ClientOnScreen::SetUp() {
  if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
  ASSERT_FALSE(copy_.folder().empty());
}

std::unique_ptr<Client> ClientOnScreen::start(int servicePort) {
  auto client = std::make_unique<Client>(copy_, servicePort);
  windowId_ = waitForWindow(10000);
  EXPECT_FALSE(windowId_.empty()) << "no window";
  settle(500);
  return client;
}

void ClientOnScreen::search(const std::string& utf8) {
  clickAt(100, 200);  // the search box empties on the click
  xdotool("type --delay 40 '" + utf8 + "'");
  xdotool("key Return");
}

void ClientOnScreen::searchUntilListed(const std::string& utf8) {
  const auto before = grabArea(kListX, kListY, kListWidth, kListHeight);
  search(utf8);
  ASSERT_TRUE(XSession::pumpUntil(
      [&] { return differingPixels(grabArea(kListX, kListY, kListWidth, kListHeight), before) > 2000; }, 10000))
      << "no results listed";
  settle(200);
}

void ClientOnScreen::closeAndExpectZero(Client& client) {
  clickAt(296 - 3 - 20, 10);  // the close button, rightmost in the caption
  EXPECT_EQ(client.waitForExit(10000), 0);
}

}  // namespace clienttest
