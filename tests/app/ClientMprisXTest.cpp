// The client seen and driven from the desktop over its own private session bus, with the
// tools a desktop uses (playerctl, gdbus, dbus-monitor): what it tells, what it does with
// what is asked, what is heard and stored meanwhile; and the client without a bus.

#include <gtest/gtest.h>

#ifdef TUNORA_SONG_SERVICE_TESTS
#include <gio/gio.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/ProgramSettings.h"
#include "platform/text/CodePage.h"
#include "tests/app/ClientHeard.h"
#include "tests/app/NotificationServer.h"
#include "tests/app/ClientScreen.h"
#include "tests/net/http/TestHttpServer.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/window/XSession.h"

// Last: its macros (None, Status) would rename what the headers above declare.
#include <X11/Xlib.h>

namespace clienttest {
namespace {

using windowtest::XSession;

// Row 1 is a Chinese song; row 2's title holds bytes that are no text at all.
constexpr const char* kTitleUtf8 = "夏日风筝";
constexpr const char* kSingerUtf8 = "林晓";
const std::string kBrokenTitle = "Broken \xFF\x81";
constexpr int kRowOneY = 251 + 8;
constexpr int kListX = 7, kListY = 251, kListWidth = 283, kListHeight = 350;
constexpr int kVolumeX = 236, kVolumeY = 140, kVolumeWidth = 55, kVolumeHeight = 18;

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// A session bus of the test's own, the one the client and the tools talk on.
class PrivateBus {
 public:
  PrivateBus() {
    std::istringstream out(commandOutput("dbus-daemon --session --fork --print-address=1 --print-pid=1"));
    std::getline(out, address_);
    out >> pid_;
  }
  ~PrivateBus() { end(); }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;
  const std::string& address() const { return address_; }
  void end() {
    if (pid_ > 0) kill(pid_, SIGTERM);
    pid_ = 0;
  }

 private:
  std::string address_;
  pid_t pid_ = 0;
};

// Less than a fifth of a second is heard over the next 700 ms.
bool silentNow(const ProgramCopy& copy) {
  const std::uintmax_t before = capturedBytes(copy);
  settle(700);
  return capturedBytes(copy) - before < kFramesPerSecond / 5 * kFrameBytes;
}

// The states and titles the bus saw, in order, for a failure message.
std::string statesAndTitles(const std::string& signals) {
  std::string seen;
  std::istringstream lines(signals);
  bool next = false;
  for (std::string line; std::getline(lines, line);) {
    if (next) seen += line.substr(line.find('"')) + " ";
    next = line.find("\"PlaybackStatus\"") != std::string::npos || line.find("\"xesam:title\"") != std::string::npos;
  }
  return seen;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ClientOnTheBus : public ClientOnScreen {
 protected:
  void SetUp() override {
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "G_DEBUG"}) {
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
    }
    ClientOnScreen::SetUp();
    if (IsSkipped()) return;
    const std::string tools = "dbus-daemon playerctl dbus-monitor gdbus";
    ASSERT_EQ(trimmed(commandOutput("for t in " + tools + "; do command -v $t; done | wc -l")), "4")
        << "dbus-daemon, playerctl, dbus-monitor or gdbus missing (tools/debian-packages.txt)";
    ASSERT_FALSE(bus_.address().empty()) << "no private bus";
    // The client and the tools inherit it; a GLib critical (a string that is not UTF-8
    // handed to the bus, say) ends the client.
    setenv("DBUS_SESSION_BUS_ADDRESS", bus_.address().c_str(), 1);
    setenv("G_DEBUG", "fatal-criticals", 1);
  }
  void TearDown() override {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    unsetenv("G_DEBUG");
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }

  static std::string player(const std::string& args) {
    return trimmed(commandOutput("playerctl -p tunora " + args + " 2>/dev/null"));
  }
  static std::string call(const std::string& method, const std::string& args = "") {
    return trimmed(commandOutput("gdbus call --session -d org.mpris.MediaPlayer2.tunora -o /org/mpris/MediaPlayer2" +
                                 (" -m " + method) + " " + args + " 2>&1"));
  }
  static std::string property(const std::string& name) {
    return call("org.freedesktop.DBus.Properties.Get", "org.mpris.MediaPlayer2.Player " + name);
  }
  static bool waitForPlayer(const std::function<bool()>& done, int timeoutMs = 10000) {
    return XSession::pumpUntil(done, timeoutMs);
  }
  static bool onTheBus() {
    return commandOutput("playerctl -l 2>/dev/null").find("tunora") != std::string::npos;
  }

  PrivateBus bus_;
  std::vector<std::pair<std::string, std::string>> saved_;  // the test process's own settings
};

// The search, link and picture methods of the service, answered the way the client reads
// them; the songs themselves come from the demo service.
std::string searchAnswer() {
  auto row = [](const std::string& id, const std::string& title, const std::string& singer) {
    return "{\"songid\":\"" + id + "\",\"title\":\"" + title + "\",\"singer\":\"" + singer +
           "\",\"album\":\"Glass Harbour\",\"format\":\"mp3\"}";
  };
  const std::string singer = platform::text::utf8ToAnsi(kSingerUtf8);
  return "jsonp1({\"status\":1,\"total\":2,\"data\":{\"song\":[" +
         row("1", platform::text::utf8ToAnsi(kTitleUtf8), singer) + "," + row("2", kBrokenTitle, singer) + "]}})";
}

TEST_F(ClientOnTheBus, TheDesktopSeesAndDrivesThePlayer) {
  SongService media;
  ASSERT_GT(media.port(), 0) << "the song service did not start";
  const std::vector<app::SongEntry> songs = songsOf(media.port(), "Aurelia Finch");
  ASSERT_GE(songs.size(), 2u);
  const std::string firstLink = linkOf(media.port(), songs[0]);
  const std::string secondLink = linkOf(media.port(), songs[1]);
  // Slower than the song plays.
  SongService slow({"--slow", "8000"});
  ASSERT_GT(slow.port(), 0);
  const std::string slowSong = "http://127.0.0.1:" + std::to_string(slow.port()) + "/media/song-21.mp3";
  net::test::TestHttpServer service([&](httplib::Server& routes) {
    routes.Get("/api/songlist2", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(searchAnswer(), "application/javascript");
    });
    routes.Get("/api/links2", [&](const httplib::Request& request, httplib::Response& response) {
      const bool broken = request.target.find("Broken") != std::string::npos;
      response.set_content("{\"url\":\"" + (broken ? secondLink : firstLink) + "\"}", "application/json");
    });
    // A song whose address names it in Chinese.
    routes.Get("/songs/.*", [&](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(slowSong);
    });
    // An address of bytes that are not UTF-8.
    routes.Get("/new/app/i/yueku.php", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("{\"url\":\"http:\\/\\/127.0.0.1\\/singer \xC1\xD6.png\"}", "application/json");
    });
  });
  std::ofstream(copy_.folder() + "/program parameter.ini") << "[parameter]\r\nvolume size=100\r\n";
  (void)commandOutput("dbus-monitor --session \"type='signal',path='/org/mpris/MediaPlayer2'\" > '" + copy_.folder() +
                      "/signals.txt' 2>&1 & echo $! > '" + copy_.folder() + "/monitor.pid'");
  const auto started = std::chrono::steady_clock::now();
  auto client = start(service.port());
  ASSERT_TRUE(waitForPlayer(onTheBus)) << "the client did not appear on the bus";

  // Before any song: what it is, and nothing to play yet.
  const std::string root = call("org.freedesktop.DBus.Properties.GetAll", "org.mpris.MediaPlayer2");
  for (const char* part : {"'Identity': <'Tunora'>", "'DesktopEntry': <'tunora'>", "'CanQuit': <true>",
                           "'CanRaise': <true>", "'HasTrackList': <false>",
                           "'SupportedUriSchemes': <['http', 'https']>", "'audio/mpeg'"}) {
    EXPECT_NE(root.find(part), std::string::npos) << root;
  }
  EXPECT_EQ(player("status"), "Stopped");
  EXPECT_EQ(property("CanPlay"), "(<false>,)");
  EXPECT_EQ(property("MaximumRate"), "(<1.0>,)");

  // A song played from the window: the desktop knows it, in UTF-8.
  const auto emptyList = grabArea(kListX, kListY, kListWidth, kListHeight);
  search("Finch");
  ASSERT_TRUE(XSession::pumpUntil(
      [&] { return differingPixels(grabArea(kListX, kListY, kListWidth, kListHeight), emptyList) > 1000; }, 10000))
      << "no results listed";
  settle(200);
  clickAt(120, kRowOneY, 2);
  ASSERT_TRUE(hearMore(copy_, 2.0)) << "the song did not start";
  EXPECT_EQ(player("status"), "Playing");
  EXPECT_EQ(player("metadata xesam:title"), kTitleUtf8);
  EXPECT_EQ(player("metadata xesam:artist"), kSingerUtf8);
  EXPECT_TRUE(waitForPlayer([] { return !player("metadata mpris:artUrl").empty(); }, 5000));
  EXPECT_EQ(player("metadata mpris:artUrl"), "http://127.0.0.1/singer%20%C1%D6.png");
  const auto song = samplesOf(reference(firstLink));
  const double songSeconds = static_cast<double>(song.size() / 2) / kFramesPerSecond;
  EXPECT_NEAR(std::atof(player("metadata mpris:length").c_str()) / 1e6, songSeconds, 0.1);
  const std::string firstTrack = player("metadata mpris:trackid");
  EXPECT_EQ(firstTrack.rfind("'/org/", 0), 0u) << firstTrack;  // an object path
  EXPECT_EQ(property("CanGoNext"), "(<true>,)");

  // Pause and play act on what is heard.
  player("pause");
  EXPECT_EQ(player("status"), "Paused");
  EXPECT_TRUE(silentNow(copy_)) << "still heard while paused";
  player("play");
  EXPECT_EQ(player("status"), "Playing");
  ASSERT_TRUE(hearMore(copy_, 1.0));

  // The volume: heard, shown on the slider, stored.
  const auto fullSlider = grabArea(kVolumeX, kVolumeY, kVolumeWidth, kVolumeHeight);
  player("volume 0.5");
  EXPECT_EQ(player("volume"), "0.500000");
  ASSERT_TRUE(hearMore(copy_, 1.5));
  movePointerAway();
  EXPECT_GT(differingPixels(grabArea(kVolumeX, kVolumeY, kVolumeWidth, kVolumeHeight), fullSlider), 20)
      << "the volume slider did not move";

  // A seek, then the position as asked for.
  player("position 10");
  const double position = std::atof(player("position").c_str());
  EXPECT_GE(position, 10.0);
  EXPECT_LT(position, 11.0);
  ASSERT_TRUE(hearMore(copy_, 1.5));
  player("position 3+");
  EXPECT_GE(std::atof(player("position").c_str()), position + 3.0 + 1.5);
  screenshot("client-mpris-playing.png");

  // Next and previous walk the result list; a title of broken bytes reaches the bus as text.
  player("next");
  ASSERT_TRUE(waitForPlayer([] { return player("metadata xesam:title") == "Broken \xEF\xBF\xBD\xEF\xBF\xBD"; }))
      << player("metadata xesam:title");
  EXPECT_EQ(property("CanGoNext"), "(<false>,)");
  EXPECT_NE(player("metadata mpris:trackid"), firstTrack);
  player("previous");
  ASSERT_TRUE(waitForPlayer([] { return player("metadata xesam:title") == kTitleUtf8; }));
  ASSERT_TRUE(hearMore(copy_, 0.5));
  // A song that ends gives way to the next row without looking stopped in between.
  player("position " + std::to_string(songSeconds - 1.0));
  ASSERT_TRUE(waitForPlayer([] { return player("metadata xesam:title").rfind("Broken", 0) == 0; }));

  // Stop acts at once; play starts the song again.
  player("stop");
  EXPECT_EQ(player("status"), "Stopped");
  EXPECT_TRUE(silentNow(copy_)) << "still heard after stop";
  EXPECT_EQ(property("CanPlay"), "(<true>,)");

  // An address of the desktop's (its scheme in any case), from a service slower than the
  // song: it stays playing while it waits for data, and pause and stop still act at once.
  player("open 'HTTP://127.0.0.1:" + std::to_string(service.port()) + "/songs/%E5%A4%8F%E6%97%A5.mp3?from=desk'");
  ASSERT_TRUE(waitForPlayer([] { return player("status") == "Playing"; }, 15000));
  EXPECT_EQ(player("metadata xesam:title"), "夏日.mp3");
  EXPECT_TRUE(silentNow(copy_)) << "a song waiting for data was heard";
  EXPECT_EQ(player("status"), "Playing");
  player("pause");
  EXPECT_EQ(player("status"), "Paused");
  player("stop");
  EXPECT_EQ(player("status"), "Stopped");
  // Only web addresses play.
  const std::string refused = call("org.mpris.MediaPlayer2.Player.OpenUri", "\"'file:///etc/passwd'\"");
  EXPECT_NE(refused.find("InvalidArgs"), std::string::npos) << refused;

  // Raise brings the minimized window back; Quit closes it as its close button does.
  xdotool("windowminimize --sync " + windowId_);
  ASSERT_TRUE(XSession::pumpUntil([] { return waitForWindow(0).empty(); }, 5000));
  EXPECT_EQ(call("org.mpris.MediaPlayer2.Raise"), "()");
  EXPECT_EQ(waitForWindow(5000), windowId_);
  EXPECT_EQ(call("org.mpris.MediaPlayer2.Quit"), "()");
  EXPECT_EQ(client->waitForExit(10000), 0);
  std::printf("client on the bus for %.1f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  (void)commandOutput("kill $(cat '" + copy_.folder() + "/monitor.pid')");

  EXPECT_NE(fileText(copy_.folder() + "/program parameter.ini").find("volume size=50"), std::string::npos);

  // The signals a desktop follows.
  const std::string signals = fileText(copy_.folder() + "/signals.txt");
  const std::vector<std::string> parts{"string \"PlaybackStatus\"\n         variant             string \"Paused\"",
                                       "string \"Volume\"\n         variant             double 0.5",
                                       "member=Seeked\n   int64 10", std::string("string \"") + kTitleUtf8,
                                       "string \"PlaybackStatus\"\n         variant             string \"Stopped\""};
  for (const std::string& part : parts) {
    EXPECT_NE(signals.find(part), std::string::npos) << part;
  }
  // Stopped twice, by the two stops; never between songs.
  std::size_t stops = 0;
  for (std::size_t at = 0; (at = signals.find(parts.back(), at)) != std::string::npos; at += parts.back().size()) {
    ++stops;
  }
  EXPECT_EQ(stops, 2u) << statesAndTitles(signals);

  // Heard: the song at full volume across the pause (2 s in), then at half, then from 10 s
  // on. Compared from 1 s in: on a loaded machine the slide up from silence starts late.
  const auto heard = samplesOf(audiotest::wavData(copy_.capturePath()));
  const std::size_t volumeChange = firstDeparture(heard, song, kFramesPerSecond, 1.0);
  ASSERT_GT(volumeChange, 5 * kFramesPerSecond / 2) << "not the song at full volume across the pause";
  const std::size_t half = volumeChange + kFramesPerSecond / 4;
  const double gain = gainBetween(heard, song, half, half + kFramesPerSecond / 2);
  EXPECT_NEAR(gain, 0.5, 0.01);
  const std::size_t jump = firstDeparture(heard, song, half, gain);
  ASSERT_LT(jump + kFramesPerSecond, heard.size() / 2);
  const long long landed = findFrames(heard, jump + kFramesPerSecond / 2, 2048, song, gain);
  ASSERT_GE(landed, 0) << "what was heard after the seek is not from the song";
  EXPECT_NEAR(static_cast<double>(landed) / kFramesPerSecond - 0.5, 10.0, 0.1);
}

TEST_F(ClientOnTheBus, TheSongKeptFromTheLastRunShowsStoppedWithItsMetadata) {
  app::ProgramSettings settings;
  settings.song = app::KeptSong{app::SongList::Results, 0, platform::text::utf8ToAnsi(kTitleUtf8),
                                platform::text::utf8ToAnsi(kSingerUtf8), "", 31.0, 7.0};
  ASSERT_TRUE(app::WriteProgramSettings(copy_.folder() + "/program parameter.ini", settings));
  auto client = start();
  ASSERT_TRUE(waitForPlayer(onTheBus)) << "the client did not appear on the bus";
  EXPECT_EQ(player("status"), "Stopped");
  EXPECT_EQ(player("metadata xesam:title"), kTitleUtf8);
  EXPECT_EQ(player("metadata xesam:artist"), kSingerUtf8);
  EXPECT_EQ(player("metadata mpris:length"), "31000000");
  EXPECT_EQ(property("CanPlay"), "(<true>,)");
  closeAndExpectZero(*client);
}

// A window of the test's own, to be the active one instead of the client's.
class OtherWindow {
 public:
  OtherWindow() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 500, 100, 200, 100, 0, 0, 0xFFFFFF);
    XStoreName(display_, window_, "another program");
    XMapWindow(display_, window_);
    XFlush(display_);
  }
  ~OtherWindow() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  void activate() { xdotool("windowactivate --sync " + std::to_string(window_)); }

 private:
  Display* display_;
  Window window_ = 0;
};

// Runs the test's main context, where its notification server answers, until done holds.
bool serveUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    g_main_context_iteration(nullptr, FALSE);
    settle(5);
  }
  return true;
}

TEST_F(ClientOnTheBus, ASongChangeWhileAnotherWindowIsActiveIsToldOnceEachReplacingTheLast) {
  SongService service;
  ASSERT_GT(service.port(), 0) << "the song service did not start";
  const std::vector<app::SongEntry> songs = songsOf(service.port(), "Aurelia Finch");
  ASSERT_GE(songs.size(), 6u);
  OtherWindow other;
  const std::string settingsPath = copy_.folder() + "/program parameter.ini";
  std::ofstream(settingsPath) << "[parameter]\r\nvolume size=100\r\n";
  std::unique_ptr<clienttest::NotificationServer> server;
  auto playFirstRow = [&] {
    const auto emptyList = grabArea(kListX, kListY, kListWidth, kListHeight);
    search("Aurelia Finch");
    ASSERT_TRUE(XSession::pumpUntil(
        [&] { return differingPixels(grabArea(kListX, kListY, kListWidth, kListHeight), emptyList) > 1000; }, 10000))
        << "no results listed";
    settle(200);
    clickAt(120, kRowOneY, 2);
    ASSERT_TRUE(hearMore(copy_, 0.5)) << "the song did not start";
  };
  {
    auto client = start(service.port());
    ASSERT_TRUE(waitForPlayer(onTheBus)) << "the client did not appear on the bus";
    playFirstRow();
    other.activate();
    // No notification server yet: the song changes all the same, at once.
    player("next");
    ASSERT_TRUE(XSession::pumpUntil([&] { return player("metadata xesam:title") == songs[1].title; }, 5000));
    server = std::make_unique<clienttest::NotificationServer>(bus_.address());
    ASSERT_TRUE(server->serving());
    for (std::size_t told = 1; told <= 2; ++told) {
      player("next");
      ASSERT_TRUE(serveUntil([&] { return server->shown.size() == told; })) << "song change " << told << " not told";
    }
    xdotool("windowactivate --sync " + windowId_);
    player("next");
    ASSERT_TRUE(XSession::pumpUntil([&] { return player("metadata xesam:title") == songs[4].title; }, 10000));
    other.activate();
    player("next");
    ASSERT_TRUE(serveUntil([&] { return server->shown.size() == 3; })) << "the last song change not told";
    closeAndExpectZero(*client);
  }
  // Rows 3, 4 and 6: row 1 started, and row 5 came, while the client's window was active.
  const std::vector<clienttest::Shown> shown = server->shown;
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(shown[i].summary, songs[i < 2 ? i + 2 : 5].title);
    EXPECT_EQ(shown[i].body, "Aurelia Finch");
    EXPECT_EQ(shown[i].app, "Tunora");
    EXPECT_EQ(shown[i].replaces, i);  // the id of the one before; the first replaces none
    EXPECT_TRUE(shown[i].silent);
    EXPECT_EQ(shown[i].imageWidth, 120) << "no singer picture";
  }

  // Switched off in the settings file.
  app::ProgramSettings settings = app::ReadProgramSettings(settingsPath);
  settings.notify = false;
  ASSERT_TRUE(app::WriteProgramSettings(settingsPath, settings));
  auto client = start(service.port());
  ASSERT_TRUE(waitForPlayer(onTheBus)) << "the client did not appear on the bus";
  playFirstRow();
  other.activate();
  player("next");
  ASSERT_TRUE(XSession::pumpUntil([&] { return player("metadata xesam:title") == songs[1].title; }, 10000));
  serveUntil([] { return false; }, 1000);
  EXPECT_EQ(server->shown.size(), 3u) << "told with notify=0";
  closeAndExpectZero(*client);
}

TEST_F(ClientOnTheBus, WithoutTheBusOrItsNameTheClientRunsOnSilently) {
  // A bus address where no bus answers.
  setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + copy_.folder() + "/no-bus").c_str(), 1);
  // Each client is closed with the pointer on the close button; xdotool waits long for a
  // move to where the pointer already is.
  {
    auto client = start();
    settle(500);
    EXPECT_TRUE(client->running());
    closeAndExpectZero(*client);
    movePointerAway();
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", bus_.address().c_str(), 1);

  // The name held by someone else: the client does not take it and runs on.
  GDBusConnection* holder = g_dbus_connection_new_for_address_sync(
      bus_.address().c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  ASSERT_NE(holder, nullptr);
  GVariant* reply = g_dbus_connection_call_sync(holder, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "RequestName",
                                                g_variant_new("(su)", "org.mpris.MediaPlayer2.tunora", 4u), nullptr,
                                                G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
  ASSERT_NE(reply, nullptr);
  g_variant_unref(reply);
  {
    auto client = start();
    settle(1000);
    EXPECT_TRUE(client->running());
    const std::string owner = trimmed(commandOutput(
        "gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.GetNameOwner "
        "org.mpris.MediaPlayer2.tunora"));
    EXPECT_NE(owner.find(g_dbus_connection_get_unique_name(holder)), std::string::npos) << owner;
    closeAndExpectZero(*client);
    movePointerAway();
  }
  g_dbus_connection_close_sync(holder, nullptr, nullptr);
  g_object_unref(holder);

  // On the bus, and the bus goes away: the music player stays.
  auto client = start();
  ASSERT_TRUE(waitForPlayer(onTheBus));
  bus_.end();
  settle(1000);
  EXPECT_TRUE(client->running()) << "the client ended with the bus";
  EXPECT_FALSE(waitForWindow(0).empty());
  closeAndExpectZero(*client);
}

}  // namespace
}  // namespace clienttest
#endif
