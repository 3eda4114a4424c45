// The built program on a private X server with openbox, driven with xdotool like a
// person: where its window appears, a second start, closing, searching and playing with
// the demo song service, and what is heard on the capture device. Screenshots stay in
// the test's temp folder (their paths are printed) for a person to look at.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/app/ClientSession.h"
#include "tests/window/XSession.h"

#ifdef TUNORA_SONG_SERVICE_TESTS
#include <cstdlib>

#include "app/SongSearch.h"
#include "net/HttpRequest.h"
#include "net/QueryEncoding.h"
#include "net/TextBetween.h"
#include "platform/text/CodePage.h"
#include "tests/platform_audio/AudioTestSupport.h"
#endif

namespace clienttest {
namespace {

using windowtest::XSession;

constexpr int kLeft = 50;
constexpr int kTop = 50;

void settle(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void xdotool(const std::string& args) { XSession::run("xdotool " + args + " >/dev/null 2>&1"); }

// Moves to a point of the window and clicks (twice for a double click).
void clickAt(int x, int y, int clicks = 1) {
  xdotool("mousemove --sync " + std::to_string(kLeft + x) + " " + std::to_string(kTop + y) + " click --repeat " +
          std::to_string(clicks) + " --delay 80 1");
}

std::string screenshot(const std::string& name) {
  const std::string path = ::testing::TempDir() + name;
  EXPECT_EQ(XSession::run("import -window root '" + path + "'"), 0);
  std::printf("screenshot: %s\n", path.c_str());
  return path;
}

class ClientOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XSession::ensure()) GTEST_SKIP() << "no Xvfb";
    ASSERT_FALSE(copy_.folder().empty());
  }

  // Starts the client and waits for its window; the controls come from the init thread
  // right after it maps.
  std::unique_ptr<Client> start(int servicePort = 0) {
    auto client = std::make_unique<Client>(copy_, servicePort);
    windowId_ = waitForWindow(10000);
    EXPECT_FALSE(windowId_.empty()) << "no window";
    settle(500);
    return client;
  }

  ProgramCopy copy_;
  std::string windowId_;
};

TEST_F(ClientOnScreen, AppearsAtItsPlaceWithItsTitleAndSize) {
  auto client = start();
  const std::string geometry = commandOutput("xdotool getwindowgeometry --shell " + windowId_);
  EXPECT_NE(geometry.find("X=50\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Y=50\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("WIDTH=296\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("HEIGHT=657\n"), std::string::npos) << geometry;
  EXPECT_EQ(windowsWithTitle(), 1);
  xdotool("mousemove 900 700");
  screenshot("client-started.png");
  EXPECT_TRUE(client->running());
}

TEST_F(ClientOnScreen, ASecondStartShowsTheFirstWindowAndEndsWithZero) {
  auto first = start();
  xdotool("windowminimize --sync " + windowId_);
  ASSERT_TRUE(XSession::pumpUntil([] { return waitForWindow(0).empty(); }, 5000));

  Client second(copy_, 0);
  EXPECT_EQ(second.waitForExit(10000), 0);
  EXPECT_EQ(waitForWindow(5000), windowId_);
  EXPECT_EQ(windowsWithTitle(), 1);
  EXPECT_TRUE(first->running());
}

TEST_F(ClientOnScreen, TheCloseButtonEndsTheProgramWithZero) {
  auto client = start();
  // The close button is the rightmost caption button, 39 x 19 near the top-right corner.
  clickAt(296 - 3 - 20, 10);
  EXPECT_EQ(client->waitForExit(10000), 0);
}

TEST_F(ClientOnScreen, WithoutTheServiceASearchLeavesTheListEmptyAndTheWindowWorking) {
  auto client = start();
  clickAt(100, 200);  // the search box empties on the click
  xdotool("type --delay 40 'Summer'");
  xdotool("key Return");
  settle(1500);
  screenshot("client-search-without-service.png");
  EXPECT_TRUE(client->running());
  clickAt(296 - 3 - 20, 10);
  EXPECT_EQ(client->waitForExit(10000), 0);
}

TEST_F(ClientOnScreen, EnterWithTheHintTextOrAnEmptyBoxGivesTheErrorBox) {
  auto client = start();
  xdotool("key Return");  // the box still holds its hint text
  ASSERT_FALSE(waitForWindowNamed("错误", 5000).empty());
  settle(400);
  screenshot("client-message-box.png");
  xdotool("key Escape");
  ASSERT_TRUE(XSession::pumpUntil([] { return waitForWindowNamed("错误", 0).empty(); }, 5000));
  // The refused Enter emptied the box: Enter again is refused again.
  xdotool("key Return");
  EXPECT_FALSE(waitForWindowNamed("错误", 5000).empty());
  xdotool("key Escape");
  EXPECT_TRUE(client->running());
}

TEST_F(ClientOnScreen, AVolumeThatCannotBeStoredChangesNothingElse) {
  // A folder where the settings file cannot be written (a folder stands in its place).
  std::filesystem::create_directory(copy_.folder() + "/program parameter.ini");
  auto client = start();
  clickAt(236 + 40, 148 + 3);  // the volume slider
  settle(500);
  EXPECT_TRUE(client->running());
  EXPECT_TRUE(std::filesystem::is_directory(copy_.folder() + "/program parameter.ini"));
  clickAt(296 - 3 - 20, 10);
  EXPECT_EQ(client->waitForExit(10000), 0);
}

TEST_F(ClientOnScreen, TheVolumeSliderWritesTheSettingsFile) {
  auto client = start();
  clickAt(236 + 46, 148 + 3);
  const std::string ini = copy_.folder() + "/program parameter.ini";
  ASSERT_TRUE(XSession::pumpUntil([&] { return std::filesystem::exists(ini); }, 5000));
  settle(200);
  std::ifstream in(ini);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[parameter]"), std::string::npos) << text;
  const std::size_t at = text.find("volume size=");
  ASSERT_NE(at, std::string::npos) << text;
  EXPECT_GT(std::atoi(text.c_str() + at + 12), 60) << text;  // clicked right of the middle
}

}  // namespace
}  // namespace clienttest

#ifdef TUNORA_SONG_SERVICE_TESTS
namespace clienttest {
namespace {

// What the service answers for a singer, cut as the client cuts it.
std::vector<app::SongEntry> songsOf(int port, const std::string& singerUtf8) {
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/api/songlist2?query=" +
                          net::EncodeQueryText(platform::text::utf8ToAnsi(singerUtf8)) +
                          "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823";
  return app::CutSearchAnswer(net::HttpRequest(url));
}

// The song's link, as the service gives it.
std::string linkOf(int port, const app::SongEntry& song) {
  const std::string links = net::HttpRequest("http://127.0.0.1:" + std::to_string(port) + "/api/links2?query=" +
                                             net::EncodeQueryText(song.title) + net::EncodeQueryText(song.singer));
  return net::TextBetween(links, "\"url\":\"", "\"");
}

// The PCM the engine makes of the song on the capture device, as the client hears it.
std::vector<std::uint8_t> reference(const std::string& url) {
  audiotest::CaptureSession capture;
  if (!capture.ready()) return {};
  const HSTREAM stream = BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
  if (stream == 0 || !audiotest::playToEnd(stream, std::chrono::seconds(60))) return {};
  return capture.finish();
}

// Whether what was heard is the expected song: 16-bit stereo at 44.1 kHz, past the
// 150 ms slide up from silence, two seconds match.
void expectSameSong(const std::vector<std::uint8_t>& heard, const std::vector<std::uint8_t>& expected) {
  constexpr std::size_t kFrame = 4, kSlideEnd = 8820 * kFrame, kCompared = 88200 * kFrame;
  ASSERT_GE(heard.size(), kSlideEnd + kCompared);
  ASSERT_GE(expected.size(), kSlideEnd + kCompared);
  int worst = 0;
  for (std::size_t i = kSlideEnd; i < kSlideEnd + kCompared; i += 2) {
    const int a = static_cast<std::int16_t>(heard[i] | heard[i + 1] << 8);
    const int b = static_cast<std::int16_t>(expected[i] | expected[i + 1] << 8);
    worst = std::max(worst, std::abs(a - b));
  }
  EXPECT_LE(worst, 1) << "the captured audio is not the song chosen";
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ClientWithService : public ClientOnScreen {
 protected:
  void SetUp() override {
    ClientOnScreen::SetUp();
    ASSERT_GT(service_.port(), 0) << "the song service did not start";
  }
  SongService service_;
};

TEST_F(ClientWithService, ASingerSearchedAndRowTwoDoubleClickedPlaysThatSongUntilPausedAndClosed) {
  std::ofstream(copy_.folder() + "/program parameter.ini") << "[parameter]\r\nvolume size=100\r\n";
  const std::vector<app::SongEntry> songs = songsOf(service_.port(), "白沐阳");
  ASSERT_GT(songs.size(), 5u);
  ASSERT_TRUE(XSession::mapCharacters("白沐阳"));  // before the client reads the key map
  auto client = start(service_.port());

  clickAt(100, 200);
  xdotool("type --delay 60 '白沐阳'");
  xdotool("key Return");
  settle(1500);
  xdotool("mousemove 900 700");
  settle(300);
  screenshot("client-search-results.png");

  clickAt(120, 251 + 17 + 8, 2);  // row 2
  settle(3000);
  xdotool("mousemove 900 700");
  screenshot("client-playing.png");
  clickAt(124 + 22, 130 + 22);  // pause
  settle(400);
  // Closing while paused frees the stream and the engine and ends with 0.
  clickAt(296 - 3 - 20, 10);
  ASSERT_EQ(client->waitForExit(10000), 0);

  expectSameSong(audiotest::wavData(copy_.capturePath()), reference(linkOf(service_.port(), songs[1])));
}

TEST_F(ClientWithService, PresetRowTwoPlaysTheLinkOfTheFilesSecondLine) {
  std::ofstream(copy_.folder() + "/program parameter.ini") << "[parameter]\r\nvolume size=100\r\n";
  // The preset file names the service's usual port; this one runs on another.
  const std::string presets = copy_.folder() + "/plugins/js_rilu.txt";
  std::string text = fileText(presets);
  ASSERT_GT(text.size(), 200u);
  for (std::size_t at; (at = text.find("127.0.0.1:8725")) != std::string::npos;) {
    text.replace(at, 14, "127.0.0.1:" + std::to_string(service_.port()));
  }
  std::ofstream(presets, std::ios::binary | std::ios::trunc) << text;
  const std::string secondLine = text.substr(text.find("\r\n") + 2);
  const std::string url = net::TextBetween(secondLine, "\"url\":\"", "\"");
  ASSERT_FALSE(url.empty());

  auto client = start(service_.port());
  clickAt(150, 252 + 15);  // group header 1 opens the preset list
  settle(500);
  clickAt(150, 283 + 50 + 25, 2);  // its row 2
  settle(3000);
  xdotool("mousemove 900 700");
  screenshot("client-preset-playing.png");
  clickAt(296 - 3 - 20, 10);
  ASSERT_EQ(client->waitForExit(10000), 0);
  expectSameSong(audiotest::wavData(copy_.capturePath()), reference(url));
}

}  // namespace
}  // namespace clienttest
#endif
