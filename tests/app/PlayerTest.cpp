// The Player on its own: a view and lists of the test's, the real engine on its no-sound
// device, and songs served over HTTP on 127.0.0.1 (one server that cannot resume, so a cut
// song fails for good at once).

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Player.h"
#include "platform/audio/NetWaits.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/FaultServer.h"
#include "tests/support/FileContents.h"

extern "C" const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so.1\ncalled_from_lib:libfontconfig.so.1\n";
}

namespace {

using app::PlayState;
using app::SongList;

// What the window would have been told, one line per call.
class SeenView : public app::PlayerView, public app::PlayerListener {
 public:
  void resetPosition() override { calls.push_back("reset"); }
  void songStarted(const std::string& label, const std::string& length) override {
    calls.push_back("started " + label + " " + length);
  }
  void showPlaying(bool playing) override { calls.push_back(playing ? "pause-look" : "play-look"); }
  void songUnplayable() override { calls.push_back("unplayable"); }
  void showLength(const std::string& length) override { calls.push_back("length " + length); }
  void showProgress(const std::string&, double, double) override { ++progress; }
  void positionRefused() override { calls.push_back("refused"); }
  void showStopped() override { calls.push_back("stopped"); }
  void showVolume(int volume) override { calls.push_back("volume " + std::to_string(volume)); }
  void playerChanged(const app::PlayerStatus& status) override { changes.push_back(status); }
  void seeked(std::int64_t at) override { seeks.push_back(at); }
  void songChanged(const app::PlayerStatus& status) override { songs.push_back(status.title); }

  std::vector<std::string> calls;
  int progress = 0;
  std::vector<app::PlayerStatus> changes;
  std::vector<std::int64_t> seeks;
  std::vector<std::string> songs;
};

class TestLists : public app::SongLists {
 public:
  int rowCount(SongList list) override { return static_cast<int>(rows(list).size()); }
  std::uint64_t listVersion(SongList list) override { return list == SongList::Results ? resultsVersion : 0; }
  Row rowAt(SongList list, int row) override { return rows(list).at(static_cast<std::size_t>(row - 1)); }
  void replaceResults(std::vector<Row> rows) {
    results = std::move(rows);
    ++resultsVersion;
  }

  std::vector<Row> results;
  std::vector<Row> presets;
  std::uint64_t resultsVersion = 1;

 private:
  std::vector<Row>& rows(SongList list) { return list == SongList::Results ? results : presets; }
};

std::string served(const std::string& name) { return testsupport::readFile(audiotest::media(name)); }

class PlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    platform::window::HeadlessBackend::install();
    platform::audio::netwaits::setScale(0.02);
  }

  void SetUp() override {
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    for (const char* name : {"tone.mp3", "mono.mp3", "talk.mp3", "sweep-a.mp3", "sweep-b.mp3"}) {
      server.on(std::string("/") + name, [body = served(name)](const testsupport::FaultRequest& request) {
        return testsupport::FaultScript().send(testsupport::rangeResponse(body, request));
      });
    }
    // Two fifths of the song, then the connection ends; no Range is ever served. The Ogg
    // song never learns its length.
    for (const char* name : {"talk.mp3", "talk.ogg"}) {
      const std::string whole = served(name);
      server.on(std::string("/cut.") + (name + 5), testsupport::FaultScript().send(testsupport::httpResponse(
                                                        "200 OK", "Content-Length: " + std::to_string(whole.size()) + "\r\n",
                                                        whole.substr(0, whole.size() * 2 / 5))));
    }
    const std::string cut = served("talk.mp3");
    // The start of the song, then nothing while the connection stays open.
    server.on("/stalls.mp3", testsupport::FaultScript()
                                 .send(testsupport::httpResponse(
                                     "200 OK", "Content-Length: " + std::to_string(cut.size()) + "\r\n",
                                     cut.substr(0, cut.size() / 5)))
                                 .silenceForever());
    // An Ogg song learns its length only once the download is whole: a third, then the rest
    // in pieces with pauses the connection's silence limit allows.
    const std::string ogg = served("talk.ogg");
    testsupport::FaultScript slow;
    slow.send(testsupport::httpResponse(
        "200 OK", "Content-Length: " + std::to_string(ogg.size()) + "\r\nContent-Type: audio/ogg\r\n",
        ogg.substr(0, ogg.size() / 3)));
    for (std::size_t at = ogg.size() / 3, piece = ogg.size() / 12; at < ogg.size(); at += piece)
      slow.silence(std::chrono::milliseconds(100)).send(ogg.substr(at, piece));
    server.on("/slow.ogg", slow);
    lists.replaceResults({row("Tone", "A"), row("Mono", "A"), row("Talk", "B")});
    player.faces().setView(&view);
    player.faces().addListener(&view);
    player.useLists(&lists);
  }

  void TearDown() override {
    player.close();
    BASS_Free();
  }

  static app::SongLists::Row row(const std::string& title, const std::string& singer) {
    return {title, singer, title + "\r\n" + singer};
  }

  app::Player::Services services() {
    app::Player::Services s;
    s.lookUpLink = [this](const std::string& title, const std::string&) -> std::string {
      if (linkDelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(linkDelayMs.load()));
      {
        std::lock_guard lock(lookupsMutex);
        if (lookups[title]++ < failingLookups[title]) return {};
      }
      static const std::map<std::string, std::string> files = {
          {"SweepA", "/sweep-a.mp3"}, {"SweepB", "/sweep-b.mp3"},
          {"Tone", "/tone.mp3"}, {"Mono", "/mono.mp3"}, {"Talk", "/talk.mp3"}, {"Cut", "/cut.mp3"}, {"CutOgg", "/cut.ogg"},
          {"Stalls", "/stalls.mp3"}, {"Slow", "/slow.ogg"}};
      const auto found = files.find(title);
      return found == files.end() ? std::string() : server.url(found->second);
    };
    s.presetLink = [this](int row, const std::string&, const std::string&) { return server.url(row == 1 ? "/mono.mp3" : "/nowhere.mp3"); };
    s.storeVolume = [this](int volume) { stored.push_back(volume); };
    return s;
  }

  // Pauses and resumes; the view sees the play picture, then the pause picture.
  void expectPauseAndResume() {
    view.calls.clear();
    player.togglePause();
    EXPECT_EQ(player.status().state, PlayState::Paused);
    player.togglePause();
    EXPECT_EQ(player.status().state, PlayState::Playing);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"play-look", "pause-look"}));
  }

  void playRow(int row) {
    player.playRow(SongList::Results, row);
    player.waitForPlayRequests();
  }

  // Lets the playing song reach its end, then the tick that notices it.
  void untilStopped() {
    const HSTREAM stream = player.currentStream();
    ASSERT_TRUE(audiotest::waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; },
                                   std::chrono::seconds(20)));
    player.tick();
    player.waitForPlayRequests();
  }

  // Ticks as the window's timer does until done() holds.
  bool tickUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 100; ++i) {
      player.tick();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    return false;
  }

  int lookupsOf(const std::string& title) {
    std::lock_guard lock(lookupsMutex);
    return lookups[title];
  }

  testsupport::FaultServer server;
  std::atomic<int> linkDelayMs{0};
  std::mutex lookupsMutex;
  std::map<std::string, int> lookups;          // guarded by lookupsMutex
  std::map<std::string, int> failingLookups;   // how many of a title's first lookups fail
  std::vector<int> stored;
  audio::AudioEngine engine;
  SeenView view;
  TestLists lists;
  app::Player player{engine, services(), 40};
};

TEST_F(PlayerTest, TheViewHearsEachStepInOrderAndTheStatusFollows) {
  playRow(1);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"started Tone\r\nA 00:03", "pause-look"}));
  app::PlayerStatus now = player.status();
  EXPECT_EQ(now.state, PlayState::Playing);
  EXPECT_EQ(now.title, "Tone");
  EXPECT_EQ(now.singer, "A");
  EXPECT_NEAR(now.length, 3.0, 0.1);
  EXPECT_EQ(now.volume, 40);
  EXPECT_EQ(now.row, 1);
  EXPECT_TRUE(now.canGoNext);

  view.calls.clear();
  playRow(2);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"reset", "started Mono\r\nA 00:02", "pause-look"}));

  expectPauseAndResume();
  ASSERT_FALSE(view.changes.empty());
  EXPECT_EQ(view.changes.back().state, PlayState::Playing);
  EXPECT_EQ(view.changes.back().title, "Mono");

  player.changeVolume(70);
  EXPECT_EQ(view.calls.back(), "volume 70");
  EXPECT_EQ(stored, std::vector<int>{70});
  EXPECT_EQ(view.changes.back().volume, 70);

  // A song without a link: the error, and nothing plays.
  lists.replaceResults({row("Nowhere", "C")});
  view.calls.clear();
  playRow(1);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"reset", "unplayable"}));
  EXPECT_EQ(player.currentStream(), 0u);
}

TEST_F(PlayerTest, ALengthLearntAfterTheStartReachesTheView) {
  lists.replaceResults({row("Slow", "A")});
  playRow(1);
  ASSERT_EQ(view.calls.at(0), "started Slow\r\nA 00:00");
  EXPECT_TRUE(audiotest::waitFor(
      [&] {
        player.tick();
        return view.calls.back() == "length 00:12";
      },
      std::chrono::seconds(10)));
  EXPECT_NEAR(player.status().length, 12.0, 0.1);
}

TEST_F(PlayerTest, ANaturalEndPlaysTheNextRowAndTheLastRowEndsStopped) {
  playRow(2);  // 2 s
  untilStopped();
  EXPECT_EQ(player.status().row, 3);
  EXPECT_EQ(player.status().title, "Talk");
  EXPECT_EQ(player.status().state, PlayState::Playing);

  // Near the end of the last row.
  player.seekTo(11.5);
  ASSERT_FALSE(view.seeks.empty());
  EXPECT_NEAR(static_cast<double>(view.seeks.back()), 11.5e6, 0.1e6);
  view.calls.clear();
  untilStopped();
  EXPECT_EQ(view.calls, std::vector<std::string>{"stopped"});
  EXPECT_EQ(player.currentStream(), 0u);
  EXPECT_EQ(player.status().state, PlayState::Stopped);
  EXPECT_EQ(view.changes.back().state, PlayState::Stopped);
}

TEST_F(PlayerTest, ASongThatFailsMidwayEndsStoppedAndTheNextRowDoesNotStart) {
  for (const char* title : {"Cut", "CutOgg"}) {
    SCOPED_TRACE(title);
    lists.replaceResults({row(title, "A"), row("Tone", "A")});
    playRow(1);
    ASSERT_EQ(player.status().state, PlayState::Playing);
    view.calls.clear();
    untilStopped();
    EXPECT_EQ(view.calls, std::vector<std::string>{"stopped"});
    EXPECT_EQ(player.currentStream(), 0u);
    EXPECT_EQ(player.status().state, PlayState::Stopped);
  }
}

TEST_F(PlayerTest, ASongWaitingForDataCountsAsPlayingAndPausesResumesAndShowsWhatIsHeld) {
  platform::audio::netwaits::setScale(1.0);  // the wait for data must outlast the test
  lists.replaceResults({row("Stalls", "A")});
  playRow(1);
  const HSTREAM stream = player.currentStream();
  ASSERT_TRUE(audiotest::waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STALLED; }));
  app::PlayerStatus now = player.status();
  EXPECT_EQ(now.state, PlayState::Playing);
  EXPECT_TRUE(now.waitingForData);
  EXPECT_NEAR(now.bufferedPercent, 20.0, 1.0);
  const int progress = view.progress;
  player.tick();
  EXPECT_EQ(view.progress, progress + 1);

  expectPauseAndResume();
  player.stop();
  EXPECT_EQ(player.currentStream(), 0u);
  platform::audio::netwaits::setScale(0.02);
}

TEST_F(PlayerTest, NextAndPreviousWalkTheListTheSongCameFrom) {
  playRow(1);
  player.next();
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().row, 2);
  player.previous();  // within 3 s of the start: the row before
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().row, 1);
  player.previous();  // the first row starts again
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().row, 1);

  playRow(3);
  player.next();  // no wrap
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().row, 3);
  EXPECT_FALSE(player.status().canGoNext);
  player.seekTo(5);
  const std::uint64_t song = player.status().song;
  player.previous();  // later than 3 s: the same song from its start
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().row, 3);
  EXPECT_EQ(player.status().song, song);
  EXPECT_LT(player.status().position, 1.0);

  // A new search replaced the list: next plays its first row, previous does nothing.
  lists.replaceResults({row("Mono", "A"), row("Tone", "A")});
  player.previous();
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().title, "Talk");
  player.next();
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().title, "Mono");
  EXPECT_EQ(player.status().row, 1);
}

TEST_F(PlayerTest, StopShowsTheStoppedLookAndPlayStartsTheSameSongAgain) {
  playRow(3);
  player.seekTo(6);
  view.calls.clear();
  player.stop();
  EXPECT_EQ(view.calls, std::vector<std::string>{"stopped"});
  EXPECT_EQ(player.currentStream(), 0u);
  const app::PlayerStatus stopped = player.status();
  EXPECT_EQ(stopped.state, PlayState::Stopped);
  EXPECT_TRUE(stopped.canPlay);
  EXPECT_TRUE(stopped.canGoPrevious);  // row 2 is still there to go back to
  player.togglePause();  // play after stop
  player.waitForPlayRequests();
  const app::PlayerStatus again = player.status();
  EXPECT_EQ(again.state, PlayState::Playing);
  EXPECT_EQ(again.title, "Talk");
  EXPECT_GT(again.song, stopped.song);
  EXPECT_LT(again.position, 1.0);
}

TEST_F(PlayerTest, AVolumeChangedWhileTheSongIsLookedUpIsTheOneItSlidesTo) {
  linkDelayMs = 200;
  player.playRow(SongList::Results, 1);
  player.setVolume(90);
  player.waitForPlayRequests();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  float level = -1;
  ASSERT_TRUE(BASS_ChannelGetAttribute(player.currentStream(), BASS_ATTRIB_VOL, &level));
  EXPECT_FLOAT_EQ(level, 0.9f);
}

TEST_F(PlayerTest, CloseWhileALookupIsUnderWayLeavesNoStreamAndTellsNothingMore) {
  linkDelayMs = 300;
  for (int i = 0; i < 5; ++i) player.playRow(SongList::Results, 1 + i % 3);
  std::thread ticker([this] {
    // Another thread only reads what any thread may read.
    for (int i = 0; i < 50; ++i) {
      (void)player.currentStream();
      (void)player.volume();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  player.close();
  ticker.join();
  const std::size_t told = view.calls.size();
  EXPECT_EQ(player.currentStream(), 0u);
  player.playRow(SongList::Results, 1);
  player.togglePause();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(player.currentStream(), 0u);
  EXPECT_EQ(view.calls.size(), told);
}

TEST_F(PlayerTest, TheNextRowTakesOverAtTheLastFrameAtTheVolumeAndTheFacesHearWithinATick) {
  // Heard on the capture device, gaps kept: one sweep cut into two rows plays back whole.
  BASS_Free();
  audiotest::CaptureSession session(1.0, 44100, true);
  ASSERT_TRUE(session.ready());
  player.setVolume(100);
  lists.replaceResults({row("SweepA", "A"), row("SweepB", "B")});
  playRow(1);
  const HSTREAM first = player.currentStream();
  view.calls.clear();
  const std::size_t changesBefore = view.changes.size();
  ASSERT_TRUE(tickUntil([&] { return player.status().row == 2; }));
  const HSTREAM second = player.currentStream();
  EXPECT_NE(second, first);
  EXPECT_EQ(BASS_ChannelIsActive(first), BASS_ACTIVE_STOPPED);  // freed
  // Within one tick of its first frame, at the volume from the start (no slide from 0).
  EXPECT_LT(BASS_ChannelBytes2Seconds(second, BASS_ChannelGetPosition(second, BASS_POS_BYTE)), 0.2);
  float level = -1;
  ASSERT_TRUE(BASS_ChannelGetAttribute(second, BASS_ATTRIB_VOL, &level));
  EXPECT_FLOAT_EQ(level, 1.0f);
  EXPECT_EQ(view.calls.at(0), "started SweepB\r\nB 00:01");
  EXPECT_EQ(view.calls.at(1), "pause-look");
  // The desktop sees the new song and never a stop or a seek between.
  for (std::size_t i = changesBefore; i < view.changes.size(); ++i) EXPECT_NE(view.changes[i].state, PlayState::Stopped);
  EXPECT_EQ(view.changes.back().title, "SweepB");
  EXPECT_TRUE(view.seeks.empty());

  ASSERT_TRUE(tickUntil([&] { return player.currentStream() == 0; }));
  std::vector<std::uint8_t> expected = audiotest::wavData(audiotest::media("sweep-a.mp3.ref.wav"));
  const auto tail = audiotest::wavData(audiotest::media("sweep-b.mp3.ref.wav"));
  expected.insert(expected.end(), tail.begin(), tail.end());
  const std::vector<std::uint8_t> heard = session.finish();
  ASSERT_EQ(heard.size(), expected.size());
  // The first song's own start slides up; all after it is the two decodes end to end.
  const std::size_t slide = 44100 * 4 * 300 / 1000;  // the slide began a little after the start
  EXPECT_TRUE(std::equal(heard.begin() + slide, heard.end(), expected.begin() + slide));
  EXPECT_EQ(lookupsOf("SweepB"), 1);
}

TEST_F(PlayerTest, AFollowerThatCannotBePreparedStartsTheOrdinaryWayAndAUserActionReprepares) {
  failingLookups["SweepB"] = 1;
  lists.replaceResults({row("SweepA", "A"), row("SweepB", "B")});
  playRow(1);
  ASSERT_TRUE(tickUntil([&] { return player.status().row == 2; }));
  player.waitForPlayRequests();
  EXPECT_EQ(lookupsOf("SweepB"), 2);  // the failed preparation, then the ordinary start
  EXPECT_EQ(view.calls.back(), "pause-look");
  EXPECT_NE(std::find(view.calls.begin(), view.calls.end(), "reset"), view.calls.end());

  // Prepared, then a new search replaces the list: its first row follows instead.
  playRow(1);
  ASSERT_TRUE(tickUntil([&] { return lookupsOf("SweepB") == 3; }));
  lists.replaceResults({row("Mono", "C"), row("Tone", "B")});  // Mono's own follower is another song
  view.calls.clear();
  ASSERT_TRUE(tickUntil([&] { return player.status().title == "Mono"; }));
  EXPECT_EQ(view.calls.at(0), "started Mono\r\nC 00:02");  // taken over: no reset, no slide
  EXPECT_EQ(lookupsOf("SweepB"), 3);
  player.stop();
}

}  // namespace

namespace {

// Played last run from a search: the result list is gone, so the song is found again by
// title and singer, and it has no list.
TEST_F(PlayerTest, AKeptSongWaitsStoppedAndResumesWhereTheSliderPutsIt) {
  player.keepSong({SongList::Results, 0, "Talk", "B", "", 12.0, 7.0});
  app::PlayerStatus kept = player.status();
  EXPECT_EQ(kept.state, PlayState::Stopped);
  EXPECT_TRUE(kept.kept);
  EXPECT_EQ(kept.title, "Talk");
  EXPECT_EQ(kept.position, 7.0);
  EXPECT_TRUE(kept.canPlay);
  EXPECT_FALSE(kept.canGoNext);
  player.seekToPercent(50);
  EXPECT_EQ(player.status().position, 6.0);
  EXPECT_EQ(view.progress, 1);
  EXPECT_TRUE(view.calls.empty());  // not refused
  EXPECT_TRUE(view.songs.empty());

  player.play();
  player.waitForPlayRequests();
  const app::PlayerStatus now = player.status();
  EXPECT_EQ(now.state, PlayState::Playing);
  EXPECT_FALSE(now.kept);
  EXPECT_NEAR(now.position, 6.2, 0.3);
  EXPECT_EQ(now.list, SongList::None);
  EXPECT_FALSE(now.canGoNext);
  EXPECT_EQ(view.songs, std::vector<std::string>{"Talk"});
  EXPECT_EQ(view.calls, (std::vector<std::string>{"started Talk\r\nB 00:12", "pause-look"}));
}

TEST_F(PlayerTest, AKeptPresetKeepsItsRowAndAKeptSongThatCannotPlayIsToldOnceAndForgotten) {
  lists.presets = {row("Mono", "A")};
  player.keepSong({SongList::Presets, 1, "Mono", "A", "", 2.0, 0.5});
  player.play();
  player.waitForPlayRequests();
  EXPECT_EQ(player.status().list, SongList::Presets);
  EXPECT_EQ(player.status().row, 1);
  player.stop();

  view.calls.clear();
  player.keepSong({SongList::Results, 0, "Removed", "Z", "", 9.0, 1.0});
  player.togglePause();
  player.waitForPlayRequests();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"unplayable", "stopped"}));
  const app::PlayerStatus forgotten = player.status();
  EXPECT_TRUE(forgotten.title.empty());
  EXPECT_FALSE(forgotten.kept);
  EXPECT_FALSE(forgotten.canPlay);
  player.play();
  player.waitForPlayRequests();
  EXPECT_EQ(view.calls.size(), 2u);
}

}  // namespace
