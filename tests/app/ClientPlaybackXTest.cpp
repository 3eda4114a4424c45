// The client on a private X server against the demo song service, checked by what is heard
// and what the screen shows: the position and volume sliders acting on the captured
// audio, a media connection cut in mid-song, and a search answer of 10 000 songs.

#include <gtest/gtest.h>

#ifdef TUNORA_SONG_SERVICE_TESTS
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/ProgramSettings.h"
#include "platform/text/CodePage.h"
#include "tests/app/ClientHeard.h"
#include "tests/app/ClientScreen.h"
#include "tests/net/http/TestHttpServer.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/window/XSession.h"

namespace clienttest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSinger = "Aurelia Finch";
double seconds(std::size_t frames) { return static_cast<double>(frames) / kFramesPerSecond; }

// The message box of a refused search is the quickest proof that the window still takes
// input: a click empties the search box, Enter on the empty box opens the box.
void expectWindowAnswers() {
  clickAt(100, 200);
  xdotool("key Return");
  EXPECT_FALSE(waitForWindowNamed("错误", 5000).empty()) << "the window did not react";
  xdotool("key Escape");
  EXPECT_TRUE(windowtest::XSession::pumpUntil([] { return waitForWindowNamed("错误", 0).empty(); }, 5000));
}

class ClientPlaying : public ClientOnScreen {};

TEST_F(ClientPlaying, ThePositionAndVolumeSlidersActOnWhatIsHeard) {
  SongService service;
  ASSERT_GT(service.port(), 0) << "the song service did not start";
  const std::vector<app::SongEntry> songs = songsOf(service.port(), kSinger);
  ASSERT_FALSE(songs.empty());
  setVolumeSetting(copy_, 100);
  auto client = start(service.port());
  searchUntilListed(kSinger);
  clickAt(120, kRowOneY, 2);
  ASSERT_TRUE(hearMore(copy_, 2.0)) << "the song did not start";

  constexpr int kVolumeX = 256, kPositionX = 170;
  clickAt(kVolumeX, 148 + 3);
  ASSERT_TRUE(hearMore(copy_, 2.0));
  clickAt(kPositionX, 100 + 5);
  ASSERT_TRUE(hearMore(copy_, 2.0)) << "nothing heard after the position click";
  movePointerAway();
  screenshot("client-after-seek.png");
  closeAndExpectZero(*client);

  const auto heard = samplesOf(audiotest::wavData(copy_.capturePath()));
  const auto song = samplesOf(reference(linkOf(service.port(), songs[0])));
  ASSERT_GT(song.size() / 2, 10 * kFramesPerSecond);
  const std::size_t songFrames = song.size() / 2;

  // Full volume until the volume click.
  const std::size_t volumeChange = firstDeparture(heard, song, kSlideFrames, 1.0);
  ASSERT_GT(seconds(volumeChange), 1.0) << "not the chosen song at full volume";
  ASSERT_LT(volumeChange + kFramesPerSecond, heard.size() / 2);

  // Past the 150 ms slide the song goes on at the slider's share of its amplitude.
  const double wanted = sliderValueAt(kVolumeX, 236, 55) / 100;
  const std::size_t quiet = volumeChange + kFramesPerSecond / 4;
  const double gain = gainBetween(heard, song, quiet, quiet + kFramesPerSecond / 2);
  EXPECT_NEAR(gain, wanted, 0.01);

  // Then the position click: the song jumps from where it was to the clicked share.
  const std::size_t jump = firstDeparture(heard, song, quiet, gain);
  ASSERT_GT(jump, quiet + kFramesPerSecond) << "the volume did not stay at " << gain;
  ASSERT_LT(jump + kFramesPerSecond, heard.size() / 2) << "nothing heard after the position click";
  const std::size_t probe = jump + kFramesPerSecond / 2;
  const long long found = findFrames(heard, probe, 2048, song, gain);
  ASSERT_GE(found, 0) << "what was heard after the click is not from the song";
  const double landed = (static_cast<double>(found) - kFramesPerSecond / 2.0) * 100.0 / songFrames;
  const double clicked = std::floor(sliderValueAt(kPositionX, 10, 270));
  std::printf("volume %.3f (wanted %.3f); jumped at %.2f s of the song to %.2f %% (clicked %.0f %%)\n", gain,
              wanted, seconds(jump), landed, clicked);
  EXPECT_NEAR(landed, clicked, 0.5);
}

TEST_F(ClientPlaying, AMediaConnectionCutForGoodEndsTheSongInTheStoppedLookAndLeavesTheWindowWorking) {
  // About a quarter of the song arrives; the service then drops the connection and cannot
  // go on from there. The client's reconnect waits are cut to a tenth.
  constexpr long long kCutAfter = 150000;
  SongService service({"--cut-after", std::to_string(kCutAfter), "--no-ranges"});
  ASSERT_GT(service.port(), 0) << "the song service did not start";
  const std::vector<app::SongEntry> songs = songsOf(service.port(), kSinger);
  ASSERT_FALSE(songs.empty());
  setVolumeSetting(copy_, 100);
  setenv("TUNORA_NET_WAIT_SCALE", "0.1", 1);
  auto client = start(service.port());
  unsetenv("TUNORA_NET_WAIT_SCALE");
  searchUntilListed(kSinger);
  movePointerAway();
  settle(300);
  // Song label, time labels, position slider and play button before any song.
  const auto idleLook = grabArea(10, 60, 280, 120);
  clickAt(120, kRowOneY, 2);

  // What is heard stops growing once the bytes that came are played.
  const auto started = Clock::now();
  std::uintmax_t last = 0;
  auto lastGrowth = Clock::now();
  while (Clock::now() - lastGrowth < std::chrono::seconds(3) && Clock::now() - started < std::chrono::seconds(40)) {
    settle(250);
    const std::uintmax_t now = capturedBytes(copy_);
    if (now != last) lastGrowth = Clock::now();
    last = now;
  }
  const double playedFor = std::chrono::duration<double>(lastGrowth - started).count();
  std::printf("heard %.1f s of audio; it stopped %.1f s after the double click\n",
              static_cast<double>(last) / (kFrameBytes * kFramesPerSecond), playedFor);
  ASSERT_LT(Clock::now() - started, std::chrono::seconds(40)) << "the stream never stopped";
  EXPECT_TRUE(client->running());

  // A few timer ticks later the window shows no song, and the next row did not start.
  settle(1000);
  movePointerAway();
  screenshot("client-after-cut.png");
  // Redrawn controls may round their blend onto the skin a step apart.
  EXPECT_LT(differingPixels(grabArea(10, 60, 280, 120), idleLook, 4), 40) << "the window still shows a song";
  EXPECT_LT(capturedBytes(copy_) - last, kFrameBytes * kFramesPerSecond / 5) << "something plays after the failed song";
  expectWindowAnswers();

  // Another song still plays: the cut left nothing stuck behind.
  const std::uintmax_t before = capturedBytes(copy_);
  clickAt(120, kRowOneY + 17, 2);
  EXPECT_TRUE(audiotest::waitFor([&] { return capturedBytes(copy_) > before + kFrameBytes * kFramesPerSecond; },
                                 std::chrono::seconds(10)))
      << "a second song did not start after the cut";
  closeAndExpectZero(*client);

  // What was heard before the cut is the chosen song.
  expectSameSong(audiotest::wavData(copy_.capturePath()), reference(linkOf(service.port(), songs[0])));
}

// Played from a search, moved to 0:07 and closed; started again on a service that moved to
// another port; then once more on one that no longer finds the song.
TEST_F(ClientPlaying, ARestartShowsTheLastSongWhereItWasPlayGoesOnFromThereAndAGoneSongIsForgotten) {
  const std::string settingsPath = copy_.folder() + "/program parameter.ini";
  std::vector<std::int16_t> song;
  {
    SongService service;
    ASSERT_GT(service.port(), 0) << "the song service did not start";
    const std::vector<app::SongEntry> songs = songsOf(service.port(), kSinger);
    ASSERT_FALSE(songs.empty());
    song = samplesOf(reference(linkOf(service.port(), songs[0])));
    ASSERT_GT(song.size() / 2, 10 * kFramesPerSecond);
    setVolumeSetting(copy_, 100);
    auto client = start(service.port());
    searchUntilListed(kSinger);
    clickAt(120, kRowOneY, 2);
    ASSERT_TRUE(hearMore(copy_, 1.0)) << "the song did not start";
    const double share = 7.0 * kFramesPerSecond / static_cast<double>(song.size() / 2);
    clickAt(static_cast<int>(std::lround(10 + 9 + share * (270 - 18))), 100 + 5);
    ASSERT_TRUE(hearMore(copy_, 0.5));
    closeAndExpectZero(*client);
  }
  const app::ProgramSettings kept = app::ReadProgramSettings(settingsPath);
  ASSERT_TRUE(kept.song) << testsupport::readFile(settingsPath);
  EXPECT_EQ(kept.keyword, kSinger);
  EXPECT_GT(kept.song->position, 6.5);
  EXPECT_LT(kept.song->position, 10.0);

  std::vector<std::uint32_t> keptLook;
  {
    SongService moved;
    auto client = start(moved.port());
    movePointerAway();
    settle(500);
    screenshot("client-kept-song.png");
    keptLook = grabArea(10, 60, 280, 60);
    EXPECT_LT(capturedBytes(copy_), kFrameBytes * kFramesPerSecond / 10) << "the kept song played by itself";
    clickAt(124 + 22, 130 + 22);
    ASSERT_TRUE(hearMore(copy_, 1.5)) << "play did not resume the kept song";
    closeAndExpectZero(*client);
  }
  const auto heard = samplesOf(audiotest::wavData(copy_.capturePath()));
  const std::size_t probe = kSlideFrames + kFramesPerSecond / 2;
  const long long found = findFrames(heard, probe, 2048, song, 1.0);
  ASSERT_GE(found, 0) << "what was heard is not the kept song";
  const double resumedAt = seconds(static_cast<std::size_t>(found) - probe);
  std::printf("kept at %.2f s, resumed at %.2f s\n", kept.song->position, resumedAt);
  EXPECT_NEAR(resumedAt, kept.song->position, 0.5);

  SongService forgetting({"--links-no-url"});
  auto client = start(forgetting.port());
  clickAt(124 + 22, 130 + 22);
  ASSERT_FALSE(waitForWindowNamed("错误", 10000).empty()) << "no error box for a song that is gone";
  xdotool("key Escape");
  ASSERT_TRUE(windowtest::XSession::pumpUntil([] { return waitForWindowNamed("错误", 0).empty(); }, 5000));
  clickAt(124 + 22, 130 + 22);
  settle(1500);
  EXPECT_TRUE(waitForWindowNamed("错误", 0).empty()) << "the gone song was offered again";
  movePointerAway();
  settle(300);
  EXPECT_GT(differingPixels(grabArea(10, 60, 280, 60), keptLook, 4), 100) << "the gone song still shows";
  closeAndExpectZero(*client);
  EXPECT_FALSE(app::ReadProgramSettings(settingsPath).song);
}

// 10 000 songs of about 510 bytes each, as the service words them (GBK).
std::string hugeSearchAnswer() {
  const std::string filler(420, 'x');
  std::string songs;
  for (int i = 1; i <= 10000; ++i) {
    if (i > 1) songs += ",";
    songs += "{\"songid\":\"" + std::to_string(i) + "\",\"title\":\"第" + std::to_string(i) + "首 Song " +
             std::to_string(i) + "\",\"singer\":\"歌手 " + std::to_string(i % 97) + "\",\"album\":\"" + filler +
             "\",\"format\":\"mp3\"}";
  }
  return platform::text::utf8ToAnsi("jsonp1344355138823({\"status\":1,\"total\":10000,\"data\":{\"song\":[" +
                                    songs + "]}})");
}

TEST_F(ClientPlaying, TenThousandSongsFillTheListAndScroll) {
  const std::string answer = hugeSearchAnswer();
  ASSERT_GT(answer.size(), 5u * 1000 * 1000);
  net::test::TestHttpServer server([&](httplib::Server& routes) {
    routes.Get("/api/songlist2", [&](const httplib::Request&, httplib::Response& response) {
      response.set_content(answer, "application/javascript");
    });
  });
  auto client = start(server.port());
  const auto empty = grabArea(kListX, kListY, kListWidth, kListHeight);
  ASSERT_FALSE(empty.empty());

  search("many");
  const auto entered = Clock::now();
  // Filled once it differs from the empty look and has stopped changing for a second.
  std::vector<std::uint32_t> filled = empty;
  auto lastChange = entered;
  ASSERT_TRUE(windowtest::XSession::pumpUntil(
      [&] {
        auto now = grabArea(kListX, kListY, kListWidth, kListHeight);
        if (differingPixels(now, filled) > 0) {
          filled = std::move(now);
          lastChange = Clock::now();
        }
        return differingPixels(filled, empty) > 2000 && Clock::now() - lastChange > std::chrono::seconds(1);
      },
      30000))
      << "the list did not fill";
  std::printf("Enter to the list drawn: %.2f s for %zu bytes\n",
              std::chrono::duration<double>(lastChange - entered).count(), answer.size());

  // Looks are compared with the pointer away, so no row shows its hover look.
  auto listAfter = [&](const std::string& wheel) {
    xdotool("mousemove --sync " + std::to_string(kLeft + 140) + " " + std::to_string(kTop + 400) + " " + wheel);
    movePointerAway();
    settle(400);
    return grabArea(kListX, kListY, kListWidth, kListHeight);
  };
  movePointerAway();
  settle(400);
  filled = grabArea(kListX, kListY, kListWidth, kListHeight);
  screenshot("client-10000-songs.png");

  EXPECT_GT(differingPixels(listAfter("click --repeat 5 --delay 30 5"), filled), 500)
      << "the wheel did not scroll the list";
  // Far down and back to the top again.
  listAfter("click --repeat 60 --delay 5 5");
  screenshot("client-10000-songs-scrolled.png");
  const auto top = listAfter("click --repeat 70 --delay 5 4");
  EXPECT_LT(differingPixels(top, filled), 50) << "back at the top the list looks different";

  expectWindowAnswers();
  EXPECT_TRUE(client->running());
  closeAndExpectZero(*client);
}

}  // namespace
}  // namespace clienttest
#endif
