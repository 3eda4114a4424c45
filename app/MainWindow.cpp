#include "app/MainWindow.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/EngineStart.h"
#include "app/MainWindowBuild.h"
#include "app/MainWindowParts.h"
#include "app/MainWindowStart.h"
#include "app/MainWindowTabs.h"
#include "app/Playback.h"
#include "app/SkinDialog.h"
#include "app/SongSearch.h"
#include "platform/system/ProgramFiles.h"
#include "platform/system/WorkingSet.h"
#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/WindowClass.h"
#include "ui/framework/ExWindow.h"

namespace app {
namespace {

namespace pw = platform::window;

constexpr const char* kClassName = "TunoraMainWindow";

pw::LRESULT mainWindowProcedure(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  switch (message) {
    case pw::WM_CREATE:
      OnMainWindowCreated(hwnd);
      return 0;
    case pw::WM_KEYDOWN:
      OnKeyDown(wParam, (pw::GetKeyState(pw::VK_SHIFT) < 0 ? 1 : 0) | (pw::GetKeyState(pw::VK_CONTROL) < 0 ? 2 : 0));
      break;
    case pw::WM_TIMER:
      if (wParam == kProgressTimer) {
        OnTimer();
        return 0;
      }
      break;
    case pw::WM_CLOSE:
      if (!OnCloseQuery()) return 0;
      break;
    case pw::WM_DESTROY:
      pw::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

// Space and Enter click the focused control too; a key on the search box must not empty
// what was typed (Enter would then always search for nothing).
bool clickFromKeyboard() { return pw::GetKeyState(pw::VK_RETURN) < 0 || pw::GetKeyState(pw::VK_SPACE) < 0; }

void onImageButton(MainWindowParts& parts, int controlId) {
  if (controlId == parts.playPause.id()) {
    TogglePause();
  } else if (controlId == parts.tab1.id()) {
    ClickTab1(parts);
  } else if (controlId == parts.tab2.id()) {
    ClickTab2(parts);
  } else if (controlId == parts.tab3.id()) {
    ClickTab3(parts);
  } else if (controlId == parts.groupHeader1.id()) {
    ClickGroupHeader1(parts);
  } else if (controlId == parts.groupHeader2.id()) {
    ClickGroupHeader2(parts);
  } else if (controlId == parts.searchButton.id()) {
    OnSearchButton();
  }
}

}  // namespace

const std::string& MainWindowTitle() {
  static const std::string title = platform::text::utf8ToAnsi("Tunora音乐，聆听世界");
  return title;
}

pw::HWND CreateMainWindow() {
  pw::WNDCLASSEXA wc;
  // The framework's class routine gives it the program's icon for the icon panel and the
  // desktop's task list.
  if (!pw::GetClassInfoExA(kClassName, &wc) && !ui::registerWindowClass(mainWindowProcedure, kClassName)) {
    return nullptr;
  }
  return pw::CreateWindowExA(pw::WS_EX_APPWINDOW, kClassName, "", pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX,
                             kMainWindowLeft, kMainWindowTop, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr);
}

void OnMainWindowCreated(pw::HWND hwnd) {
  namespace sys = platform::system;
  // This window has no title yet, so it cannot find itself.
  if (pw::HWND running = pw::FindWindowA(nullptr, MainWindowTitle().c_str()); running != nullptr) {
    pw::ShowWindow(running, pw::SW_SHOWNORMAL);
    std::fflush(nullptr);
    std::_Exit(0);
  }
  pw::SetWindowTextA(hwnd, MainWindowTitle().c_str());
  MainWindowParts& parts = mainParts();
  LoadButtonImages(parts, audioEngine(), sys::programFiles().dataPath("\\Resource\\Resu.rdb"));
  parts.hwnd = hwnd;

  parts.host.onClick(OnControlEvent);
  parts.host.onDoubleClick(OnListDoubleClick);
  parts.positionSlider.setOnChange(SeekToPercent);
  parts.volumeSlider.setOnChange(ChangeVolume);

  const sys::ByteBlock skin = ReadSkinPicture(sys::programFiles().readPath("\\Resource\\skin.png"));
  AttachMainWindow(parts, hwnd, skin);

  EnsureFolder(sys::programFiles().userPath("\\plugins\\"));
  StartAudioEngine();
  StartInitThread();
  pw::SetTimer(hwnd, kProgressTimer, kProgressInterval);
}

pw::LRESULT OnControlEvent(pw::HWND, int controlId, ui::ControlObject*, int kind) {
  MainWindowParts& parts = mainParts();
  switch (kind) {
    case ui::kKindImageButton:
      onImageButton(parts, controlId);
      break;
    case ui::kKindCaptionButton: {
      const int bit = parts.host.captionButtonBit(controlId);
      if (bit == ui::kCaptionSkin) OpenChangeAppearanceWindow();
      if (bit == ui::kCaptionMinimize) platform::system::trimWorkingSet();
      break;
    }
    case ui::kKindEdit:
      if (controlId == parts.searchBox.id() && !clickFromKeyboard()) parts.searchBox.text(std::string{});
      break;
    default:
      break;
  }
  return 0;
}

void OnKeyDown(pw::WPARAM key, int) {
  if (key == pw::VK_RETURN) OnSearchEnter();
}

void OnTimer() { UpdateProgress(); }

bool OnCloseQuery() {
  WaitForAudioEngine();
  CloseCurrentStream();
  audioEngine().Free();
  platform::system::trimWorkingSet();
  pw::processPendingMessages();
  return true;
}

void OpenChangeAppearanceWindow() {
  // Constructed after the framework's tables, so it goes before them at exit.
  static std::unique_ptr<SkinDialog> dialog;
  OpenSkinDialog(dialog, mainParts().host, platform::system::programFiles());
}

}  // namespace app
