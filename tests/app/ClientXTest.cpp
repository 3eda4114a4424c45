// The built program on a private X server with openbox, driven with xdotool like a
// person: where its window appears, a second start, closing, searching and playing with
// the demo song service, and what is heard on the capture device. Screenshots stay in
// the test's temp folder (their paths are printed) for a person to look at.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/app/ClientScreen.h"
#include "tests/window/XSession.h"

#ifdef TUNORA_SONG_SERVICE_TESTS
#include "net/TextBetween.h"
#include "tests/app/ClientHeard.h"
#include "tests/platform_audio/AudioTestSupport.h"
#endif

namespace clienttest {
namespace {

using windowtest::XSession;

TEST_F(ClientOnScreen, AppearsAtItsPlaceWithItsTitleAndSize) {
  auto client = start();
  const std::string geometry = commandOutput("xdotool getwindowgeometry --shell " + windowId_);
  EXPECT_NE(geometry.find("X=50\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Y=50\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("WIDTH=296\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("HEIGHT=657\n"), std::string::npos) << geometry;
  EXPECT_EQ(windowsWithTitle(), 1);
  movePointerAway();
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

#ifdef TUNORA_SONG_SERVICE_TESTS
TEST_F(ClientOnScreen, AServiceThatIsDownIsSaidOnceAndASearchFindsSongsWhenItIsUp) {
  const int port = audiotest::freeLoopbackPort();
  auto client = start(port);
  search("Summer");
  ASSERT_FALSE(waitForWindowNamed("错误", 5000).empty()) << "the outage was not said";
  settle(300);
  screenshot("client-search-without-service.png");
  xdotool("key Escape");
  ASSERT_TRUE(XSession::pumpUntil([] { return waitForWindowNamed("错误", 0).empty(); }, 5000));
  // Still down: said once is enough.
  search("Summer");
  settle(1500);
  EXPECT_TRUE(waitForWindowNamed("错误", 0).empty());

  SongService service({"--port", std::to_string(port)});
  ASSERT_EQ(service.port(), port);
  const auto before = grabArea(7, 251, 283, 350);
  search("Aurelia Finch");
  EXPECT_TRUE(XSession::pumpUntil([&] { return differingPixels(grabArea(7, 251, 283, 350), before) > 2000; }, 10000))
      << "no results listed once the service was up";
  EXPECT_TRUE(waitForWindowNamed("错误", 0).empty());
  closeAndExpectZero(*client);
}
#endif

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

TEST_F(ClientOnScreen, TheVolumeSliderWritesTheSettingsFileEvenWhenTheProgramIsToldToEnd) {
  auto client = start();
  clickAt(236 + 46, 148 + 3);
  // SIGTERM at once, as a session that logs out sends it: the program closes as its close
  // button does, and the volume still reaches the disk.
  ::kill(client->pid(), SIGTERM);
  EXPECT_EQ(client->waitForExit(10000), 0);
  const std::string ini = copy_.folder() + "/program parameter.ini";
  ASSERT_TRUE(std::filesystem::exists(ini));
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
  movePointerAway();
  settle(300);
  screenshot("client-search-results.png");

  clickAt(120, 251 + 17 + 8, 2);  // row 2
  settle(3000);
  movePointerAway();
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
  movePointerAway();
  screenshot("client-preset-playing.png");
  clickAt(296 - 3 - 20, 10);
  ASSERT_EQ(client->waitForExit(10000), 0);
  expectSameSong(audiotest::wavData(copy_.capturePath()), reference(url));
}

}  // namespace
}  // namespace clienttest
#endif
