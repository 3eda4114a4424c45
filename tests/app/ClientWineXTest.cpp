// The Windows build of the client under Wine, on the display the Windows test run brings
// (Xvfb with a compositor), against the Linux build's song service on 127.0.0.1: typed
// search, double-click play checked by what is heard, the volume kept in the settings file
// beside the program, Alt+F4, and a second start while the first is minimised.

#include <gtest/gtest.h>

#include <cstdint>

#include "app/ProgramSettings.h"
#include "tests/app/ClientHeard.h"
#include "tests/app/ClientScreen.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/window/XSession.h"

namespace clienttest {
namespace {

constexpr const char* kSinger = "Aurelia Finch";

// Dark pixels in a row of the result list: its title and singer drawn in black.
int inkedInRow(int y) {
  int inked = 0;
  for (std::uint32_t pixel : grabArea(kListX, y - 8, kListWidth, 17))
    inked += ((pixel >> 16) & 0xFF) < 100 && ((pixel >> 8) & 0xFF) < 100 && (pixel & 0xFF) < 100;
  return inked;
}

class ClientUnderWine : public ClientOnScreen {
 protected:
  void SetUp() override {
    if (!copy_.underWine()) GTEST_SKIP() << "TUNORA_WINDOWS_PROGRAM names no Windows build of the client";
    ClientOnScreen::SetUp();
  }

  // With no window manager Wine gives the keyboard to the window clicked last.
  void altF4(Client& client) {
    clickAt(150, 40);
    xdotool("key alt+F4");
    EXPECT_EQ(client.waitForExit(15000), 0);
    EXPECT_EQ(windowsWithTitle(), 0);
  }
};

TEST_F(ClientUnderWine, ATypedSearchListsRowsADoubleClickPlaysTheSongAndTheVolumeIsKept) {
  SongService service;
  ASSERT_GT(service.port(), 0) << "the song service did not start";
  const std::vector<app::SongEntry> songs = songsOf(service.port(), kSinger);
  ASSERT_FALSE(songs.empty());
  setVolumeSetting(copy_, 100);
  auto client = start(service.port());
  searchUntilListed(kSinger);
  movePointerAway();
  screenshot("wine-client-listed.png");
  EXPECT_GT(inkedInRow(kRowOneY), 40) << "row 1 shows no text";
  clickAt(120, kRowOneY, 2);
  ASSERT_TRUE(hearMore(copy_, 3.0)) << "the song did not start";

  constexpr int kVolumeX = 256;
  clickAt(kVolumeX, 148 + 3);
  settle(500);
  movePointerAway();
  screenshot("wine-client-playing.png");
  altF4(*client);

  const std::string settingsPath = copy_.folder() + "/program parameter.ini";
  const app::ProgramSettings kept = app::ReadProgramSettings(settingsPath);
  EXPECT_NEAR(kept.volume, sliderValueAt(kVolumeX, 236, 55), 1.0) << testsupport::readFile(settingsPath);
  // Wine's coarser timers stretch the slide up from silence now and then (up to a quarter
  // second seen); two seconds at full volume after half a second must be the song.
  expectSameSong(audiotest::wavData(copy_.capturePath()), reference(linkOf(service.port(), songs[0])),
                 kFramesPerSecond / 2);
}

// Minimising needs a window manager; Wine's own Alt+F4 above is tried without one.
TEST_F(ClientUnderWine, ASecondStartRestoresTheMinimisedWindowAndEndsWithZero) {
  ASSERT_TRUE(windowtest::XSession::startWindowManager());
  auto first = start();
  xdotool("windowminimize --sync " + windowId_);
  ASSERT_TRUE(windowtest::XSession::pumpUntil([] { return waitForWindow(0).empty(); }, 5000));

  Client second(copy_, 0);
  EXPECT_EQ(second.waitForExit(15000), 0);
  EXPECT_EQ(waitForWindow(5000), windowId_) << "the first window was not restored";
  EXPECT_EQ(windowsWithTitle(), 1);
  EXPECT_TRUE(first->running());
  closeAndExpectZero(*first);
}

}  // namespace
}  // namespace clienttest
