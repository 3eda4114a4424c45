#include "app/MainWindow.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/MainWindowControls.h"
#include "app/MainWindowStart.h"
#include "app/MainWindowTabs.h"
#include "app/PresetFile.h"
#include "app/PresetList.h"
#include "app/ProgramTexts.h"
#include "platform/system/ProgramFiles.h"
#include "platform/system/WorkingSet.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/WindowClass.h"

namespace app {
namespace {

namespace pw = platform::window;

constexpr const char* kClassName = "TunoraMainWindow";
constexpr const char* kObjectProperty = "tunora.main-window";

// Space and Enter click the focused control too; a key on the search box must not empty
// what was typed (Enter would then always search for nothing).
bool clickFromKeyboard() { return pw::GetKeyState(pw::VK_RETURN) < 0 || pw::GetKeyState(pw::VK_SPACE) < 0; }

}  // namespace

MainWindow::MainWindow(Player& player, audio::AudioEngine& engine, platform::system::ProgramFiles files,
                       BackgroundWriter& skinWriter, ServiceLauncher* launcher)
    : player_(player), engine_(engine), files_(std::move(files)), skinWriter_(skinWriter), launcher_(launcher) {}

MainWindow::~MainWindow() {
  finishInitThread();
  player_.faces().setView(nullptr);
  player_.useLists(nullptr);
}

pw::LRESULT MainWindow::procedure(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  if (message == pw::WM_CREATE) {
    const auto* create = reinterpret_cast<const pw::CREATESTRUCTA*>(lParam);
    if (create == nullptr || create->lpCreateParams == nullptr) return -1;
    auto* window = static_cast<MainWindow*>(create->lpCreateParams);
    pw::SetPropA(hwnd, kObjectProperty, reinterpret_cast<std::intptr_t>(window));
    window->onCreated(hwnd);
    return 0;
  }
  auto* window = reinterpret_cast<MainWindow*>(pw::GetPropA(hwnd, kObjectProperty));
  if (window != nullptr) {
    switch (message) {
      case pw::WM_KEYDOWN:
        window->onKeyDown(wParam);
        break;
      case pw::WM_TIMER:
        if (wParam == kProgressTimer) {
          window->onTimer();
          return 0;
        }
        break;
      case kMsgCloseLater:
        window->parts_.host.close();
        return 0;
      case pw::WM_CLOSE:
        if (!window->onCloseQuery()) return 0;
        break;
      case pw::WM_DPICHANGED:
        ReloadForScale(window->parts_, window->engine_, window->files_.dataPath("\\Resource\\Resu.rdb"),
                       window->files_.readPath("\\Resource\\skin.png"), pw::GetWindowScale(hwnd));
        return 0;
      case pw::WM_DESTROY:
        pw::PostQuitMessage(0);
        return 0;
      default:
        break;
    }
  }
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

pw::HWND MainWindow::create() {
  pw::WNDCLASSEXA wc;
  // The framework's class routine gives it the program's icon for the icon panel and the
  // desktop's task list.
  if (!pw::GetClassInfoExA(kClassName, &wc) && !ui::registerWindowClass(procedure, kClassName)) return nullptr;
  return pw::CreateWindowExA(pw::WS_EX_APPWINDOW, kClassName, "", pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX,
                             kMainWindowLeft, kMainWindowTop, kMainWindowWidth, kMainWindowHeight, nullptr, this);
}

void MainWindow::onCreated(pw::HWND hwnd) {
  // This window has no title yet, so it cannot find itself.
  if (pw::HWND running = pw::FindWindowA(nullptr, MainWindowTitle().c_str()); running != nullptr) {
    pw::ShowWindow(running, pw::SW_SHOWNORMAL);
    std::fflush(nullptr);
    std::_Exit(0);
  }
  pw::SetWindowTextA(hwnd, MainWindowTitle().c_str());
  const double scale = pw::GetWindowScale(hwnd);
  LoadButtonImages(parts_, engine_, files_.dataPath("\\Resource\\Resu.rdb"), scale);
  connect(hwnd);

  AttachMainWindow(parts_, hwnd, ReadPictureForScale(files_.readPath("\\Resource\\skin.png"), scale));

  EnsureFolder(files_.userPath("\\plugins\\"));
  player_.startEngine();
  initDone_ = false;
  initThread_ = std::thread([this] {
    buildControls();
    initDone_ = true;
  });
  pw::SetTimer(hwnd, kProgressTimer, kProgressInterval);
}

void MainWindow::connect(pw::HWND hwnd) {
  parts_.hwnd = hwnd;
  parts_.host.onClick([this](pw::HWND, int controlId, ui::ControlObject*, int kind) {
    return onControlEvent(controlId, kind);
  });
  parts_.host.onDoubleClick([this](pw::HWND, int controlId, ui::ControlObject*, int kind) {
    return onListDoubleClick(controlId, kind);
  });
  parts_.positionSlider.setOnChange([this](int percent) { player_.seekToPercent(percent); });
  parts_.volumeSlider.setOnChange([this](int volume) { player_.setVolume(volume); });
  player_.faces().setView(this);
  player_.useLists(this);
}

void MainWindow::buildControls() {
  const int volume = player_.volume();
  // One trip to the UI thread for all twenty: a trip each made the window wait for this
  // thread to be scheduled twenty times while it came up.
  pw::invokeOnUiThread([&] {
    // Pushed one by one, the controls appeared piece by piece over the window as it came up,
    // and each push cost a copy to the screen.
    parts_.host.holdScreenUpdates();
    CreateMainWindowControls(parts_, [volume] { return volume; });
    if (!startKeyword_.empty()) parts_.searchBox.text(startKeyword_);
    showKeptSong();
    parts_.host.releaseScreenUpdates();
  });
  // The list is hidden until its group opens, so it can wait for a song service started
  // beside the window. Its first scan of a large library may take minutes: the list is
  // filled again once the service has written the file, rather than holding the window.
  if (launcher_ != nullptr) launcher_->waitUntilReady();
  pw::invokeOnUiThread([&] {
    loadPresetList();
    presetsAwaited_ = launcher_ != nullptr && !launcher_->waitForPresets(std::chrono::milliseconds(0));
  });
  platform::system::trimWorkingSet();
  pw::invokeOnUiThread([&] { parts_.activeTab = 1; });
}

void MainWindow::loadPresetList() {
  const std::string path = presetFile();
  // Before the read, so a file written during it is read again.
  presetStamp_ = StampOfPresetFile(path);
  auto lines = PresetLinesOfFile(path);
  // The same rows again would count as a new list, and a playing row would lose its place.
  if (presetLines_ == lines) return;
  parts_.presetList.clear();
  ++parts_.presetsVersion;
  LoadPresetList(lines, files_.dataPath("\\Resource\\rilu.jpg"), parts_.presetList, parts_.presetImages);
  presetLines_ = std::move(lines);
}

void MainWindow::onTimer() {
  player_.tick();
  if (presetsAwaited_ && launcher_->waitForPresets(std::chrono::milliseconds(0))) {
    presetsAwaited_ = false;
    loadPresetList();
  }
  followPresetFile();
}

void MainWindow::followPresetFile() {
  // The song service writes the file anew whenever the library changes; rows left as they
  // were would show songs on other lines than the file's.
  const auto now = std::chrono::steady_clock::now();
  if (!presetLines_ || now < nextPresetLook_) return;
  nextPresetLook_ = now + std::chrono::seconds(1);
  if (StampOfPresetFile(presetFile()) != presetStamp_) loadPresetList();
}

std::string MainWindow::presetFile() const {
  return launcher_ != nullptr ? launcher_->presetFile(files_) : PresetFilePath(files_);
}

void MainWindow::finishInitThread() {
  if (!initThread_.joinable()) return;
  while (!initDone_) {
    pw::processPendingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  initThread_.join();
}

void MainWindow::onImageButton(int controlId) {
  if (controlId == parts_.playPause.id()) {
    player_.togglePause();
  } else if (controlId == parts_.previous.id()) {
    player_.previous();
  } else if (controlId == parts_.next.id()) {
    player_.next();
  } else if (controlId == parts_.tab1.id()) {
    ClickTab1(parts_);
  } else if (controlId == parts_.tab2.id()) {
    ClickTab2(parts_);
  } else if (controlId == parts_.tab3.id()) {
    ClickTab3(parts_);
  } else if (controlId == parts_.groupHeader1.id()) {
    ClickGroupHeader1(parts_);
  } else if (controlId == parts_.groupHeader2.id()) {
    ClickGroupHeader2(parts_);
  } else if (controlId == parts_.searchButton.id()) {
    search_.onButton();
  }
}

pw::LRESULT MainWindow::onControlEvent(int controlId, int kind) {
  switch (kind) {
    case ui::kKindImageButton:
      onImageButton(controlId);
      break;
    case ui::kKindCaptionButton: {
      const int bit = parts_.host.captionButtonBit(controlId);
      if (bit == ui::kCaptionSkin) openChangeAppearanceWindow();
      if (bit == ui::kCaptionMinimize) platform::system::trimWorkingSet();
      break;
    }
    case ui::kKindEdit:
      if (controlId == parts_.searchBox.id() && !clickFromKeyboard()) parts_.searchBox.text(std::string{});
      break;
    default:
      break;
  }
  return 0;
}

pw::LRESULT MainWindow::onListDoubleClick(int controlId, int kind) {
  if (kind == ui::kKindList && controlId != 0) {
    if (controlId == parts_.resultList.id()) {
      const int row = parts_.resultList.selectedRow();
      if (parts_.resultList.validRow(row)) player_.playRow(SongList::Results, row);
    } else if (controlId == parts_.presetList.id()) {
      const int row = parts_.presetList.selectedRow();
      if (parts_.presetList.validRow(row)) player_.playRow(SongList::Presets, row);
    }
  }
  platform::system::trimWorkingSet();
  return 0;
}

bool MainWindow::onCloseQuery() {
  player_.close();
  platform::system::trimWorkingSet();
  pw::processPendingMessages();
  return true;
}

void MainWindow::openChangeAppearanceWindow() {
  OpenSkinDialog(skinDialog_, parts_.host, files_, engine_, skinWriter_);
}

bool MainWindow::active() const { return parts_.hwnd != nullptr && pw::GetActiveWindow() == parts_.hwnd; }

void MainWindow::raise() {
  if (parts_.hwnd == nullptr) return;
  pw::ShowWindow(parts_.hwnd, pw::SW_SHOWNORMAL);
  pw::SetForegroundWindow(parts_.hwnd);
}

void MainWindow::closeLater() {
  if (parts_.hwnd != nullptr) pw::PostMessageA(parts_.hwnd, kMsgCloseLater, 0, 0);
}

}  // namespace app
