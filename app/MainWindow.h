#pragma once
// The main window: its class and procedure, its start-up, its controls (the parts), and
// the handlers of its controls, keys, timer and closing. It is the Player's view and the
// source of the song lists next and previous walk. UI thread only, but for the init
// thread that builds the controls.

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/BackgroundWriter.h"
#include "app/MainWindowParts.h"
#include "app/Player.h"
#include "app/PlayerView.h"
#include "app/PresetFile.h"
#include "app/ServiceLauncher.h"
#include "app/SkinDialog.h"
#include "app/SongSearch.h"
#include "audio/AudioEngine.h"
#include "platform/system/ProgramFiles.h"
#include "platform/window/WindowTypes.h"
#include "ui/framework/ControlObject.h"

namespace app {

inline constexpr int kMainWindowLeft = 50;
inline constexpr int kMainWindowTop = 50;
inline constexpr int kMainWindowWidth = 296;
inline constexpr int kMainWindowHeight = 657;
// Above the ids the host gives its controls' timers.
inline constexpr platform::window::UINT_PTR kProgressTimer = platform::window::UINT_PTR{1} << 32;
inline constexpr unsigned kProgressInterval = 150;  // ms
// Asks the window to close as its close button does, once the caller has returned.
inline constexpr platform::window::UINT kMsgCloseLater = platform::window::WM_USER + 0x100;
// Keyboard steps.
inline constexpr double kSeekStepSeconds = 5.0;
inline constexpr int kVolumeStep = 5;

class MainWindow : public PlayerView, public SongLists {
 public:
  // engine carries the resource package reader; files tell where the program's files are;
  // skinWriter stores the skins chosen in the change-appearance window and must outlive
  // this object; launcher, when given, may be starting the song service that writes the
  // preset file.
  MainWindow(Player& player, audio::AudioEngine& engine, platform::system::ProgramFiles files,
             BackgroundWriter& skinWriter, ServiceLauncher* launcher = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window (untitled until its start-up names it) at its place; creating it
  // runs onCreated, which ends the process when another instance runs. nullptr when the
  // window cannot be made.
  platform::window::HWND create();
  // The start-up on WM_CREATE: pictures, callbacks, skin, the engine and the init thread.
  void onCreated(platform::window::HWND hwnd);
  // Lets a still running init thread finish (serving its calls on the UI thread) and joins
  // it. After the message loop.
  void finishInitThread();
  // The init thread's whole work: the controls, the preset list, a working-set trim, then
  // tab 1 becomes active. Any thread; the control work runs on the UI thread.
  void buildControls();
  // Hands the controls' changes to the Player and the window's events to this object;
  // part of the start-up, and of tests that make the parts themselves.
  void connect(platform::window::HWND hwnd);

  // The keyword the last run searched for: back in the search box once it is built, not
  // searched. Before create().
  void startWithKeyword(std::string keyword) { startKeyword_ = std::move(keyword); }
  // The song the Player kept from the last run, in the not-playing look: its labels, its
  // length and the slider at its position. Part of building the controls.
  void showKeptSong();
  // The main window is the active window.
  bool active() const;

  MainWindowParts& parts() { return parts_; }
  SongSearch& search() { return search_; }
  platform::window::HWND handle() const { return parts_.hwnd; }

  // The host's callbacks.
  platform::window::LRESULT onControlEvent(int controlId, int kind);
  platform::window::LRESULT onListDoubleClick(int controlId, int kind);
  // The window's key-down: keyboard reach and the search on Enter.
  void onKeyDown(platform::window::WPARAM key);
  void onTimer();
  // Ends playback and audio before the window goes; always allows the close.
  bool onCloseQuery();
  // The skin caption button: opens the change-appearance window, or brings it forward.
  void openChangeAppearanceWindow();
  // Shows the window and brings it to the front.
  void raise();
  // Closes the window as its close button does, after the caller has returned.
  void closeLater();

  // PlayerView
  void resetPosition() override;
  void songStarted(const std::string& label, const std::string& lengthText) override;
  void rowPlaying(SongList list, int row, std::uint64_t listVersion) override;
  void showPlaying(bool playing) override;
  void songUnplayable() override;
  void showLength(const std::string& lengthText) override;
  void showProgress(const std::string& elapsedText, double positionPercent, double bufferedPercent) override;
  void positionRefused() override;
  void showStopped() override;
  void showVolume(int volume) override;

  // SongLists
  int rowCount(SongList list) override;
  std::uint64_t listVersion(SongList list) override;
  Row rowAt(SongList list, int row) override;

 private:
  static platform::window::LRESULT procedure(platform::window::HWND hwnd, platform::window::UINT message,
                                             platform::window::WPARAM wParam, platform::window::LPARAM lParam);
  void onImageButton(int controlId);
  // A key on a focused list or slider; true when it was theirs.
  bool listOrSliderKey(int focused, platform::window::WPARAM key);
  bool mediaKey(platform::window::WPARAM key);
  ui::controls::ExList* listOf(SongList list);
  // Fills the preset list from its file again. UI thread.
  void loadPresetList();
  // The file the preset list comes from.
  std::string presetFile() const;
  // Fills it again when its file has changed, looking at most once a second. UI thread.
  void followPresetFile();

  Player& player_;
  audio::AudioEngine& engine_;
  const platform::system::ProgramFiles files_;
  BackgroundWriter& skinWriter_;
  ServiceLauncher* const launcher_;
  MainWindowParts parts_;
  SongSearch search_{parts_};
  std::unique_ptr<SkinDialog> skinDialog_;
  std::thread initThread_;
  std::atomic<bool> initDone_{true};
  std::string startKeyword_;
  // UI thread: the service started beside the window has yet to write the preset file.
  bool presetsAwaited_ = false;
  std::optional<std::vector<std::string>> presetLines_;
  PresetFileStamp presetStamp_;
  std::chrono::steady_clock::time_point nextPresetLook_;
};

}  // namespace app
