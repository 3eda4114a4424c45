// The installed client: the build installed into a temporary prefix, the client started
// from there on a private X server with a home and a config folder of its own, like the
// menu entry starts it. It must start the installed song service itself, keep what it
// writes in the user's config folder, and leave the prefix as it found it.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "app/ServiceLauncher.h"
#include "platform/gfx/Image.h"
#include "tests/app/ClientHeard.h"
#include "tests/app/ClientScreen.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"
#include "tests/window/XSession.h"

extern char** environ;

namespace clienttest {
namespace {

namespace fs = std::filesystem;
using windowtest::XSession;

// A spot of the main window's background that no control covers.
constexpr int kBareX = 148;
constexpr int kBareY = 630;

// Every file and folder under a root with its size and time of change.
std::map<std::string, std::string> snapshot(const std::string& root) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    struct stat st;
    if (::lstat(entry.path().c_str(), &st) != 0) continue;
    entries[entry.path().string()] = std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
                                     std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
  }
  return entries;
}

bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

std::uint32_t barePixel() {
  const std::vector<std::uint32_t> pixel = grabArea(kBareX, kBareY, 1, 1);
  return pixel.empty() ? 0 : pixel[0];
}

class InstalledClient : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = std::make_unique<testsupport::TempDir>();
    const std::string install = std::string("'") + TUNORA_CMAKE + "' --install '" + TUNORA_BUILD_DIR +
                                "' --prefix '" + prefix_->path() + "' > /dev/null";
    installed_ = std::system(install.c_str()) == 0;
  }
  static void TearDownTestSuite() { prefix_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(installed_) << "cmake --install failed";
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    before_ = snapshot(prefix_->path());
    config_ = home_.path() + "/config";
    fs::create_directories(config_ + "/tunora");
    // The settings file names the service: the default port may be taken on this machine.
    testsupport::writeFile(config_ + "/tunora/program parameter.ini",
                           "[parameter]\r\nservice address=127.0.0.1:" + std::to_string(port_) + "\r\n");
  }

  // Starts the installed client as the menu entry does, with this test's home.
  void start() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      const auto named = [&](const char* start) { return entry.rfind(start, 0) == 0; };
      if (!named("TUNORA_") && !named("HOME=") && !named("XDG_CONFIG_HOME=")) env.push_back(entry);
    }
    env.push_back("HOME=" + home_.path());
    env.push_back("XDG_CONFIG_HOME=" + config_);
    env.push_back("TUNORA_AUDIO_CAPTURE=" + home_.path() + "/heard.wav");
    const std::string program = prefix_->path() + "/bin/tunora";
    std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    ASSERT_EQ(posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0);
    windowId_ = waitForWindow(15000);
    ASSERT_FALSE(windowId_.empty()) << "no window";
    settle(800);
  }

  void closeAndExpectZero() {
    clickAt(296 - 3 - 20, 10);
    int status = -1;
    for (int i = 0; i < 500 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) settle(20);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    pid_ = 0;
  }

  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  static std::unique_ptr<testsupport::TempDir> prefix_;
  static bool installed_;
  testsupport::TempDir home_;
  std::string config_;
  std::map<std::string, std::string> before_;
  int port_ = audiotest::freeLoopbackPort();
  pid_t pid_ = 0;
  std::string windowId_;
};

std::unique_ptr<testsupport::TempDir> InstalledClient::prefix_;
bool InstalledClient::installed_ = false;

TEST_F(InstalledClient, StartsItsServiceFindsSongsAndKeepsTheUsersChoicesInTheirConfigFolder) {
  ASSERT_FALSE(app::SomethingListens(port_, 200));
  start();
  // Its own skin from the data folder.
  const auto shipped = platform::gfx::Image::fromFile(prefix_->path() + "/share/tunora/Resource/skin.png");
  ASSERT_NE(shipped, nullptr);
  EXPECT_TRUE(near(barePixel(), shipped->pixel(kBareX, kBareY) & 0xFFFFFF, 12)) << std::hex << barePixel();

  // The service it started answers: the catalogue's singer has songs, and the client's
  // search shows them.
  ASSERT_TRUE(XSession::pumpUntil([&] { return app::SomethingListens(port_, 100); }, 5000));
  const std::vector<app::SongEntry> songs = songsOf(port_, "Aurelia Finch");
  EXPECT_GT(songs.size(), 5u);
  const std::vector<std::uint32_t> emptyList = grabArea(7, 251, 283, 300);
  clickAt(100, 200);  // the search box empties on the click
  xdotool("type --delay 40 'Aurelia Finch'");
  xdotool("key Return");
  ASSERT_TRUE(XSession::pumpUntil([&] { return differingPixels(grabArea(7, 251, 283, 300), emptyList) > 2000; }, 5000));
  movePointerAway();
  screenshot("installed-search.png");

  // The preset list of tab 1 holds the catalogue's songs.
  clickAt(6 + 47, 216 + 17);  // tab 1
  settle(300);
  const std::vector<std::uint32_t> closedGroup = grabArea(8, 283, 280, 150);
  clickAt(150, 252 + 15);  // group header 1 opens the preset list
  settle(500);
  movePointerAway();
  EXPECT_GT(differingPixels(grabArea(8, 283, 280, 150), closedGroup), 4000);
  screenshot("installed-presets.png");

  // A volume and a skin land in the config folder.
  clickAt(236 + 46, 148 + 3);
  const std::string settings = config_ + "/tunora/program parameter.ini";
  EXPECT_TRUE(XSession::pumpUntil([&] { return testsupport::readFile(settings).find("volume size=") != std::string::npos; }));
  const std::uint32_t shippedLook = barePixel();
  clickAt(207, 15);  // the skin caption button
  const std::string dialog = waitForWindowNamed("^ {30}更改外观$", 10000);
  ASSERT_FALSE(dialog.empty());
  settle(500);
  const std::string geometry = commandOutput("xdotool getwindowgeometry --shell " + dialog);
  int x = 0, y = 0;
  std::sscanf(geometry.c_str() + geometry.find("X="), "X=%d\nY=%d", &x, &y);
  xdotool("mousemove --sync " + std::to_string(x + 20 + 143 + 70) + " " + std::to_string(y + 195 + 35) +
          " click --delay 80 1");  // the bottom row's second picture
  movePointerAway();
  const std::string chosen = config_ + "/tunora/Resource/skin.png";
  ASSERT_TRUE(XSession::pumpUntil([&] { return fs::exists(chosen); }, 10000));
  ASSERT_TRUE(XSession::pumpUntil([&] { return !near(barePixel(), shippedLook, 12); }, 10000));
  settle(1000);  // the fade ends
  const std::uint32_t chosenLook = barePixel();
  const std::string volumeLine = testsupport::readFile(settings);
  xdotool("key --window " + dialog + " Escape");
  closeAndExpectZero();
  EXPECT_TRUE(XSession::pumpUntil([&] { return !app::SomethingListens(port_, 100); }, 5000))
      << "the service outlived the client";

  // Both survive a restart.
  start();
  EXPECT_TRUE(near(barePixel(), chosenLook, 12)) << std::hex << barePixel() << " " << chosenLook;
  EXPECT_EQ(testsupport::readFile(settings), volumeLine);
  screenshot("installed-restarted.png");
  closeAndExpectZero();

  EXPECT_EQ(snapshot(prefix_->path()), before_) << "the client wrote into its installed tree";
}

}  // namespace
}  // namespace clienttest
