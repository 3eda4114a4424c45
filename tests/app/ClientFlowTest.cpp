// Searching, the preset list and playing songs, driven as the main window's handlers drive
// them, against a song service on 127.0.0.1 and the engine's no-sound device.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/KeywordCheck.h"
#include "app/PresetFile.h"
#include "app/ProgramTexts.h"
#include "app/PresetList.h"
#include "app/SongSearch.h"
#include "app/VolumeSetting.h"
#include "net/QueryEncoding.h"
#include "platform/system/ProgramFolder.h"
#include "platform/window/WindowApi.h"
#include "tests/app/ClientTestSupport.h"
#include "ui/framework/MessageBox.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using namespace clienttest;

constexpr QWORD kNoPosition = static_cast<QWORD>(-1);

std::vector<Song> catalogue() {
  return {{"晴天之歌", "林一", "talk.mp3"},
          {"Second Light", "林一", "tone.mp3"},
          {"夜曲", "Zhou", "mono.mp3"},
          {"Gone", "Nobody", "absent.mp3"}};
}

bool streamExists(HSTREAM handle) { return BASS_ChannelGetPosition(handle, BASS_POS_BYTE) != kNoPosition; }

class ClientFlowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { createMainWindowParts(); }

  void SetUp() override {
    resetMainWindowParts();
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  }

  void TearDown() override {
    client().player.stop();
    BASS_Free();
  }

  void search(const char* keywordUtf8) {
    mainParts().searchBox.text(gbk(keywordUtf8));
    client().window.search().onEnter();
  }

  void doubleClick(ui::controls::ExList& list, int row) {
    list.selectedRow(row);
    client().window.onListDoubleClick(list.id(), ui::kKindList);
    client().player.waitForPlayRequests();
  }

  static DWORD activity() { return BASS_ChannelIsActive(client().player.currentStream()); }
  static int playButtonLook() { return mainParts().playPause.normalImage().GetWidth() - 1; }

  SongServer server{catalogue()};
  ServiceAddressScope address{server.address()};
};

// --- search ----------------------------------------------------------------------------

TEST_F(ClientFlowTest, ASearchFillsTheResultListOnTab2) {
  auto& parts = mainParts();
  search("林一");
  ASSERT_EQ(parts.resultList.rowCount(), 2);
  EXPECT_EQ(parts.resultList.cellText(1, 1), gbk("晴天之歌"));
  EXPECT_EQ(parts.resultList.cellText(1, 2), gbk("林一"));
  EXPECT_EQ(parts.resultList.cellText(2, 1), "Second Light");
  EXPECT_TRUE(parts.resultList.visible());
  EXPECT_EQ(parts.activeTab, 2);
  EXPECT_FALSE(parts.groupHeader1.visible());
  EXPECT_FALSE(parts.groupHeader2.visible());
  EXPECT_EQ(parts.tab1.normalImage().GetWidth() - 1, 9);
  EXPECT_EQ(parts.tab2.normalImage().GetWidth() - 1, 12);
  const auto queries = server.queries("/api/songlist2");
  ASSERT_EQ(queries.size(), 1u);
  EXPECT_EQ(queries[0], "query=" + net::EncodeQueryText(gbk("林一")) +
                            "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823");
}

TEST_F(ClientFlowTest, TwoSearchesInARowLeaveOnlyTheSecondAnswer) {
  auto& parts = mainParts();
  search("林一");
  ASSERT_EQ(parts.resultList.rowCount(), 2);
  search("Zhou");
  ASSERT_EQ(parts.resultList.rowCount(), 1);
  EXPECT_EQ(parts.resultList.cellText(1, 1), gbk("夜曲"));
  EXPECT_TRUE(parts.resultList.visible());
  // No hit: the service's answer is too small to hold a song.
  search("nothing like it");
  EXPECT_EQ(parts.resultList.rowCount(), 0);
  EXPECT_FALSE(parts.resultList.visible());
}

TEST_F(ClientFlowTest, AServiceThatIsDownIsSaidOncePerOutageAndTheListStaysEmpty) {
  const std::string nowhere = "127.0.0.1:" + std::to_string(audiotest::freeLoopbackPort());
  for (int outage = 0; outage < 2; ++outage) {
    {
      ServiceAddressScope down(nowhere);
      SeenBox first;
      closeMessageBoxes(first);
      search("林一");
      EXPECT_TRUE(first.opened);
      EXPECT_EQ(first.title, gbk("错误"));
      EXPECT_EQ(mainParts().resultList.rowCount(), 0);
      EXPECT_FALSE(mainParts().resultList.visible());
      search("林一");  // the same outage is not said again
      EXPECT_EQ(ui::openMessageBox(), nullptr);
      desk().advance(100);
      EXPECT_EQ(ui::openMessageBox(), nullptr);
    }
    // An answer ends the outage; the next one is said again.
    ServiceAddressScope up(server.address());
    search("林一");
    EXPECT_EQ(mainParts().resultList.rowCount(), 2);
  }
}

TEST_F(ClientFlowTest, EnterKeepsAnOpenPresetListShownTheSearchButtonHidesIt) {
  auto& parts = mainParts();
  parts.presetGroupOpen = true;
  parts.presetList.visible(1);
  search("林一");
  EXPECT_TRUE(parts.presetList.visible());
  EXPECT_EQ(parts.resultList.rowCount(), 2);
  parts.activeTab = 1;
  parts.searchBox.text(gbk("Zhou"));
  client().window.search().onButton();
  EXPECT_FALSE(parts.presetList.visible());
  EXPECT_EQ(parts.resultList.rowCount(), 1);
}

TEST_F(ClientFlowTest, ABadKeywordGetsTheErrorBoxAndOnlyEnterEmptiesTheBox) {
  auto& parts = mainParts();
  SeenBox seen;
  closeMessageBoxes(seen);
  parts.searchBox.text(app::SearchHintText());
  client().window.search().onEnter();
  EXPECT_TRUE(seen.opened);
  EXPECT_EQ(seen.title, gbk("错误"));
  EXPECT_EQ(seen.owner, parts.hwnd);
  EXPECT_EQ(parts.searchBox.text(), "");

  SeenBox again;
  closeMessageBoxes(again);
  parts.searchBox.text(app::SearchHintText());
  client().window.search().onButton();
  EXPECT_TRUE(again.opened);
  EXPECT_EQ(parts.searchBox.text(), app::SearchHintText());
  EXPECT_TRUE(server.queries("/api/songlist2").empty());
  EXPECT_EQ(parts.activeTab, 1);
}

// Posts WM_USER to itself; the handler runs whatever the test sets.
pw::LRESULT triggerProcedure(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam);
std::function<void()> onTrigger;
pw::LRESULT triggerProcedure(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  if (message == pw::WM_USER && onTrigger) onTrigger();
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(ClientFlowTest, SearchTriggersArrivingWhileASearchReadsAreIgnored) {
  pw::WNDCLASSEXA wc;
  wc.lpfnWndProc = triggerProcedure;
  wc.lpszClassName = "ClientTestTrigger";
  pw::RegisterClassExA(&wc);
  const pw::HWND trigger = pw::CreateWindowExA(0, "ClientTestTrigger", "", pw::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
  int triggered = 0;
  bool whileSearching = false;
  onTrigger = [&] {
    ++triggered;
    whileSearching = client().window.search().running();
    mainParts().searchBox.text(gbk("Zhou"));
    client().window.search().onEnter();
    client().window.search().onButton();
  };
  server.setSearchDelayMs(300);
  pw::PostMessageA(trigger, pw::WM_USER, 0, 0);
  search("林一");
  onTrigger = nullptr;
  pw::DestroyWindow(trigger);

  EXPECT_EQ(triggered, 1);
  EXPECT_TRUE(whileSearching);
  EXPECT_FALSE(client().window.search().running());
  EXPECT_EQ(server.queries("/api/songlist2").size(), 1u);
  ASSERT_EQ(mainParts().resultList.rowCount(), 2);
  EXPECT_EQ(mainParts().resultList.cellText(1, 1), gbk("晴天之歌"));
}

// --- preset list -----------------------------------------------------------------------

std::string presetLine(const std::string& title, const std::string& singer, const std::string& url) {
  return "{\"id\":\"1\",\"pic\":\"http://127.0.0.1/pictures/covers/large/1.jpg\",\"title\":\"" + title + "\",\"singer\":\"" + singer + "\",\"url\":\"" + url + "\"}";
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST_F(ClientFlowTest, APresetFileGivesOneRowPerLineWithOneSharedPicture) {
  auto& parts = mainParts();
  testsupport::TempDir folder;
  const std::string text = presetLine(gbk("晨光"), gbk("林一"), "http://h/1.mp3") + "\r\n" +
                           presetLine("Dusk", "Ana", "http://h/2.mp3") + "\r\n" + "no members here\r\n";
  ASSERT_GT(text.size(), 200u);
  writeFile(folder.file("plugins/js_rilu.txt"), text);
  app::LoadPresetList(folder.path(), parts.presetList, parts.presetImages);
  ASSERT_EQ(parts.presetList.rowCount(), 3);
  EXPECT_EQ(parts.presetList.cellText(1, 1), gbk("晨光") + "\r\n" + gbk("林一"));
  EXPECT_EQ(parts.presetList.cellText(2, 1), "Dusk\r\nAna");
  EXPECT_EQ(parts.presetList.cellText(3, 1), "\r\n");
  // The picture file is missing: its place is kept, so every row names picture 1.
  EXPECT_EQ(parts.presetImages.count(), 1);
  for (int row = 1; row <= 3; ++row) EXPECT_EQ(parts.presetList.rowPicture(row), 1);

  EXPECT_EQ(app::PresetUrlOfRow(folder.path(), 2), "http://h/2.mp3");
  EXPECT_EQ(app::PresetUrlOfRow(folder.path(), 3), "");
  EXPECT_EQ(app::PresetUrlOfRow(folder.path(), 0), "");
  EXPECT_EQ(app::PresetUrlOfRow(folder.path(), 4), "");

  // 200 bytes are not used.
  parts.presetList.clear();
  writeFile(folder.file("plugins/js_rilu.txt"), text.substr(0, 200));
  app::LoadPresetList(folder.path(), parts.presetList, parts.presetImages);
  EXPECT_EQ(parts.presetList.rowCount(), 0);
  EXPECT_EQ(app::PresetUrlOfRow(folder.path(), 1), "");
}

TEST_F(ClientFlowTest, APresetRowPlaysTheLinkOfItsLineReadAgainFromTheFile) {
  auto& parts = mainParts();
  const auto files = platform::system::ProgramFiles::portable(platform::system::programFolder());
  const std::string file = app::PresetFilePath(files);
  const std::string lines = presetLine("One", "A", server.mediaUrl("absent.mp3")) + "\r\n" +
                            presetLine("Two", "B", server.mediaUrl("tone.mp3")) + "\r\n" +
                            presetLine("Three", "C", server.mediaUrl("mono.mp3"));
  writeFile(file, lines);
  app::LoadPresetList(platform::system::programFolder(), parts.presetList, parts.presetImages);
  ASSERT_EQ(parts.presetList.rowCount(), 3);
  doubleClick(parts.presetList, 2);
  EXPECT_EQ(activity(), BASS_ACTIVE_PLAYING);
  EXPECT_EQ(parts.songLabel.text(), "Two\r\nB");
  EXPECT_EQ(server.queries("/media/tone.mp3").size(), 1u);
  EXPECT_EQ(playButtonLook(), 27);

  // Written anew in another order since it was listed: row 2 still plays the song it shows.
  writeFile(file, presetLine("One", "A", server.mediaUrl("absent.mp3")) + "\r\n" +
                      presetLine("Three", "C", server.mediaUrl("mono.mp3")) + "\r\n" +
                      presetLine("Two", "B", server.mediaUrl("tone.mp3")));
  doubleClick(parts.presetList, 2);
  EXPECT_EQ(activity(), BASS_ACTIVE_PLAYING);
  EXPECT_EQ(server.queries("/media/tone.mp3").size(), 2u);
  EXPECT_TRUE(server.queries("/media/mono.mp3").empty());

  // The file lost its lines since it was listed: row 3's song has no link any more.
  writeFile(file, presetLine("One", "A", server.mediaUrl("tone.mp3")) + std::string(200, ' '));
  SeenBox seen;
  closeMessageBoxes(seen);
  doubleClick(parts.presetList, 3);
  std::filesystem::remove(file);
  EXPECT_TRUE(seen.opened);
  EXPECT_EQ(client().player.currentStream(), 0u);
}

// --- playing ---------------------------------------------------------------------------

TEST_F(ClientFlowTest, ADoubleClickLooksTheRowUpByTitleAndSingerAndPlaysIt) {
  auto& parts = mainParts();
  search("林一");
  doubleClick(parts.resultList, 2);
  ASSERT_EQ(activity(), BASS_ACTIVE_PLAYING);
  const auto links = server.queries("/api/links2");
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0], "query=Second%20Light" + net::EncodeQueryText(gbk("林一")) +
                          "&id=1&jsoncallback=jsonp1344356068549");
  EXPECT_FALSE(server.queries("/media/tone.mp3").empty());
  EXPECT_EQ(parts.songLabel.text(), "Second Light\r\n" + gbk("林一"));
  EXPECT_EQ(parts.lengthLabel.text(), "00:03");
  EXPECT_EQ(playButtonLook(), 27);
  // It slid up to the volume slider's 50.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  float volume = -1;
  ASSERT_TRUE(BASS_ChannelGetAttribute(client().player.currentStream(), BASS_ATTRIB_VOL, &volume));
  EXPECT_FLOAT_EQ(volume, 0.5f);
}

TEST_F(ClientFlowTest, ASecondSongOrOneWhilePausedStopsAndFreesTheFirst) {
  auto& parts = mainParts();
  search("林一");
  doubleClick(parts.resultList, 1);
  const HSTREAM first = client().player.currentStream();
  ASSERT_EQ(activity(), BASS_ACTIVE_PLAYING);
  parts.positionSlider.value(40.0);
  doubleClick(parts.resultList, 2);
  const HSTREAM second = client().player.currentStream();
  EXPECT_NE(second, first);
  EXPECT_FALSE(streamExists(first));
  EXPECT_EQ(activity(), BASS_ACTIVE_PLAYING);
  EXPECT_EQ(parts.positionSlider.value(), 0.0f);

  client().player.togglePause();
  EXPECT_EQ(activity(), BASS_ACTIVE_PAUSED);
  EXPECT_EQ(playButtonLook(), 0);
  doubleClick(parts.resultList, 1);
  EXPECT_FALSE(streamExists(second));
  EXPECT_EQ(activity(), BASS_ACTIVE_PLAYING);
  EXPECT_EQ(playButtonLook(), 27);
  EXPECT_EQ(parts.songLabel.text(), gbk("晴天之歌") + "\r\n" + gbk("林一"));
}

TEST_F(ClientFlowTest, ASeekWhilePausedResumesAtTheOldPlaceAndWhilePlayingMoves) {
  auto& parts = mainParts();
  search("林一");
  doubleClick(parts.resultList, 1);  // 12 s
  const HSTREAM stream = client().player.currentStream();
  const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
  client().player.seekToPercent(50);
  EXPECT_NEAR(static_cast<double>(BASS_ChannelGetPosition(stream, BASS_POS_BYTE)), length / 2.0, length * 0.05);

  client().player.togglePause();
  ASSERT_EQ(activity(), BASS_ACTIVE_PAUSED);
  const QWORD paused = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
  client().player.seekToPercent(90);
  EXPECT_EQ(activity(), BASS_ACTIVE_PLAYING);
  EXPECT_EQ(playButtonLook(), 27);
  EXPECT_LT(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), paused + length / 20);

  client().player.togglePause();
  client().player.togglePause();
  EXPECT_EQ(activity(), BASS_ACTIVE_PLAYING);
}

TEST_F(ClientFlowTest, ASeekWithNothingPlayingSnapsTheSliderBackFromAboveOne) {
  auto& slider = mainParts().positionSlider;
  slider.value(60.0);
  client().player.seekToPercent(60);
  EXPECT_EQ(slider.value(), 0.0f);
  slider.value(1.0);
  client().player.seekToPercent(1);
  EXPECT_EQ(slider.value(), 1.0f);
  client().player.togglePause();
  EXPECT_EQ(client().player.currentStream(), 0u);
}

TEST_F(ClientFlowTest, ASongThatEndsPlaysTheNextRowAndTheLastEndsInTheStoppedLook) {
  auto& parts = mainParts();
  app::Player& player = client().player;
  search("林一");
  doubleClick(parts.resultList, 1);  // 12 s
  const HSTREAM first = player.currentStream();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  player.tick();
  EXPECT_GT(parts.positionSlider.value(), 0.0f);
  EXPECT_GT(parts.positionSlider.secondValue(), 0.0f);
  EXPECT_EQ(parts.elapsedLabel.text(), "00:00");

  player.seekToPercent(97);
  ASSERT_TRUE(audiotest::waitFor([&] { return BASS_ChannelIsActive(first) == BASS_ACTIVE_STOPPED; }));
  player.tick();
  player.waitForPlayRequests();
  const HSTREAM second = player.currentStream();
  EXPECT_FALSE(streamExists(first));
  EXPECT_EQ(activity(), BASS_ACTIVE_PLAYING);
  EXPECT_EQ(parts.songLabel.text(), "Second Light\r\n" + gbk("林一"));
  EXPECT_EQ(player.status().row, 2);
  EXPECT_EQ(parts.resultList.selectedRow(), 2);  // the list follows the song

  ASSERT_TRUE(audiotest::waitFor([&] { return BASS_ChannelIsActive(second) == BASS_ACTIVE_STOPPED; }));
  player.tick();
  player.waitForPlayRequests();
  EXPECT_EQ(player.currentStream(), 0u);
  EXPECT_FALSE(streamExists(second));
  EXPECT_EQ(parts.songLabel.text(), "");
  EXPECT_EQ(parts.elapsedLabel.text(), "");
  EXPECT_EQ(parts.lengthLabel.text(), "");
  EXPECT_EQ(parts.positionSlider.value(), 0.0f);
  EXPECT_EQ(parts.positionSlider.secondValue(), 0.0f);
  EXPECT_EQ(playButtonLook(), 0);
  EXPECT_EQ(player.status().state, app::PlayState::Stopped);
}

TEST_F(ClientFlowTest, VolumeZeroAndHundredReachTheStreamAndTheSettingsFile) {
  auto& parts = mainParts();
  search("林一");
  doubleClick(parts.resultList, 2);
  for (int volume : {0, 100}) {
    parts.volumeSlider.value(volume);
    client().player.setVolume(volume);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    float level = -1;
    ASSERT_TRUE(BASS_ChannelGetAttribute(client().player.currentStream(), BASS_ATTRIB_VOL, &level));
    EXPECT_FLOAT_EQ(level, volume / 100.0f);
    ASSERT_TRUE(client().settingsWriter.flush());
    EXPECT_EQ(app::ReadVolumeSetting(), volume);
  }
}

TEST_F(ClientFlowTest, ALinkThatCannotBePlayedGetsTheErrorBox) {
  auto& parts = mainParts();
  search("林一");
  server.setLinksStatus(404);
  SeenBox seen;
  closeMessageBoxes(seen);
  doubleClick(parts.resultList, 1);
  EXPECT_TRUE(seen.opened);
  EXPECT_EQ(seen.title, gbk("错误"));
  EXPECT_EQ(seen.owner, parts.hwnd);
  EXPECT_EQ(client().player.currentStream(), 0u);
  EXPECT_EQ(playButtonLook(), 0);

  // A link whose media is missing.
  server.setLinksStatus(200);
  search("Nobody");
  SeenBox missing;
  closeMessageBoxes(missing);
  doubleClick(parts.resultList, 1);
  EXPECT_TRUE(missing.opened);
  EXPECT_EQ(client().player.currentStream(), 0u);
}

TEST_F(ClientFlowTest, ADoubleClickBesideTheRowsStartsNothing) {
  auto& parts = mainParts();
  search("林一");
  doubleClick(parts.resultList, 0);
  EXPECT_TRUE(server.queries("/api/links2").empty());
  EXPECT_EQ(client().player.currentStream(), 0u);
  doubleClick(parts.presetList, 1);
  EXPECT_EQ(client().player.currentStream(), 0u);
}

TEST_F(ClientFlowTest, RequestsOverlappingTheirLookupsEndWithTheNewestSongAlone) {
  auto& parts = mainParts();
  search("林一");
  std::vector<HSTREAM> seen;
  for (int i = 0; i < 12; ++i) {
    parts.resultList.selectedRow(1 + i % 2);
    client().window.onListDoubleClick(parts.resultList.id(), ui::kKindList);
    desk().pump();
    seen.push_back(client().player.currentStream());
  }
  client().player.waitForPlayRequests();
  const HSTREAM last = client().player.currentStream();
  ASSERT_EQ(activity(), BASS_ACTIVE_PLAYING);
  // The last click was on row 2.
  EXPECT_FALSE(server.queries("/media/tone.mp3").empty());
  EXPECT_EQ(parts.songLabel.text(), "Second Light\r\n" + gbk("林一"));
  for (HSTREAM h : seen) {
    if (h != last) {
      EXPECT_FALSE(streamExists(h));
    }
  }
}

}  // namespace

namespace {

using namespace clienttest;

// Largest absolute sample of 16-bit stereo PCM in [from, from + frames).
int peakOf(const std::vector<std::uint8_t>& pcm, std::size_t from, std::size_t frames) {
  int peak = 0;
  for (std::size_t f = from; f < from + frames && (f + 1) * 4 <= pcm.size(); ++f) {
    for (std::size_t c = 0; c < 2; ++c) {
      const std::size_t at = f * 4 + c * 2;
      const auto sample = static_cast<std::int16_t>(pcm[at] | (pcm[at + 1] << 8));
      peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
  }
  return peak;
}

TEST(ClientCapture, ANewSongStartsSilentAndRisesToTheSlidersLevel) {
  createMainWindowParts();
  resetMainWindowParts();
  auto& parts = mainParts();
  parts.volumeSlider.value(100.0);
  SongServer server(catalogue());
  ServiceAddressScope address(server.address());
  audiotest::CaptureSession session(4.0);
  ASSERT_TRUE(session.ready());
  parts.searchBox.text(gbk("晴天之歌"));
  client().window.search().onEnter();
  parts.resultList.selectedRow(1);
  client().window.onListDoubleClick(parts.resultList.id(), ui::kKindList);
  client().player.waitForPlayRequests();
  ASSERT_EQ(BASS_ChannelIsActive(client().player.currentStream()), BASS_ACTIVE_PLAYING);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const std::vector<std::uint8_t> pcm = session.finish();
  client().player.stop();

  std::size_t first = 0;
  while ((first + 1) * 4 <= pcm.size() && peakOf(pcm, first, 1) == 0) ++first;
  const std::size_t tenMs = 441;
  ASSERT_GT(pcm.size() / 4, first + 40 * tenMs);
  const int full = peakOf(pcm, first + 20 * tenMs, 20 * tenMs);
  ASSERT_GT(full, 8000);
  // The tone itself starts at full strength within one window; heard, it rises gradually.
  int steepest = 0;
  for (std::size_t w = 0; w < 30; ++w) {
    steepest = std::max(steepest, peakOf(pcm, first + (w + 1) * tenMs, tenMs) - peakOf(pcm, first + w * tenMs, tenMs));
  }
  EXPECT_LT(steepest, full / 4);
  EXPECT_GT(peakOf(pcm, first + 15 * tenMs, tenMs), full / 2);
}

}  // namespace
