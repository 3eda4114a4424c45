#pragma once
// What the search and playback tests share: the main window's parts created on a
// headless desktop, and a song service of our own on 127.0.0.1.

#include <httplib.h>

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/BackgroundWriter.h"
#include "app/ProgramSettings.h"
#include "app/VolumeSetting.h"
#include "app/MainWindow.h"
#include "app/Player.h"
#include "audio/AudioEngine.h"
#include "platform/window/headless/HeadlessBackend.h"

namespace clienttest {

namespace pw = platform::window;

// The program's objects as its composition root wires them, with the files of the test
// program's folder. The engine's device is the test's to open and free. The writers are
// made first so that they outlive what writes through them.
struct TestClient {
  TestClient();
  app::BackgroundWriter settingsWriter;
  app::BackgroundWriter skinWriter;
  app::SettingsKeeper settings{settingsWriter, app::VolumeSettingPath(), {}};
  audio::AudioEngine engine;
  app::Player player;
  app::MainWindow window;
  app::MainWindowParts& parts() { return window.parts(); }
};

// Installs the desktop once per test program and creates the client and the parts the
// search and the playback drive; button picture i is i + 1 pixels wide, so a button's look
// tells which.
void createMainWindowParts();
pw::HeadlessBackend& desk();
TestClient& client();
app::MainWindowParts& mainParts();
// Back to the state after start: lists empty, tab 1, labels and sliders cleared.
void resetMainWindowParts();

// GBK bytes of a UTF-8 literal.
std::string gbk(const char* utf8);

struct Song {
  std::string title;   // UTF-8
  std::string singer;  // UTF-8
  std::string media;   // file name in the test media folder
};

// A song service: /api/songlist2 answers every song whose title or singer holds the
// keyword, /api/links2 the link of the song asked for by title + singer, /media/NAME the
// test media with ranges. Every request's raw query is kept.
class SongServer {
 public:
  explicit SongServer(std::vector<Song> songs);
  ~SongServer();
  SongServer(const SongServer&) = delete;
  SongServer& operator=(const SongServer&) = delete;

  int port() const { return port_; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string mediaUrl(const std::string& name) const;
  // The raw query strings received on a path, in order.
  std::vector<std::string> queries(const std::string& path) const;
  // Answer every search with this text instead (GBK bytes), or go back to the catalogue.
  void setSearchAnswer(std::optional<std::string> answer);
  void setSearchDelayMs(int ms) { searchDelayMs_ = ms; }
  void setLinksStatus(int status) { linksStatus_ = status; }
  void setLinksDelayMs(int ms) { linksDelayMs_ = ms; }

 private:
  std::string searchAnswer(const std::string& keywordUtf8) const;

  std::vector<Song> songs_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<std::string, std::vector<std::string>> queries_;  // guarded by mutex_
  std::optional<std::string> searchOverride_;                 // guarded by mutex_
  std::atomic<int> searchDelayMs_{0};
  std::atomic<int> linksStatus_{200};
  std::atomic<int> linksDelayMs_{0};
};

// Points the client at the server for the life of the object.
class ServiceAddressScope {
 public:
  explicit ServiceAddressScope(const std::string& address);
  ~ServiceAddressScope();
};

// What a scheduled closer saw of the message box it closed.
struct SeenBox {
  bool opened = false;
  std::string title;  // GBK
  pw::HWND owner = nullptr;
};
// Closes every message box that opens from now on (clock-driven), noting the last.
void closeMessageBoxes(SeenBox& seen);

}  // namespace clienttest
