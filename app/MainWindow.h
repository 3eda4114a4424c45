#pragma once
// The main window: its class and procedure, the start-up when it is created, and the
// handlers of its controls, keys, timer and closing. UI thread only.

#include <string>

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

// "Tunora音乐，聆听世界" as a program text.
const std::string& MainWindowTitle();

// Creates the main window (untitled until its start-up names it) at its place; creating
// it runs OnMainWindowCreated, which ends the process when another instance runs.
// nullptr when the window cannot be made.
platform::window::HWND CreateMainWindow();

void OnMainWindowCreated(platform::window::HWND hwnd);

// The host's click callback: buttons, caption buttons and the search box.
platform::window::LRESULT OnControlEvent(platform::window::HWND hwnd, int controlId, ui::ControlObject* control,
                                         int kind);
void OnKeyDown(platform::window::WPARAM key, int shift);
void OnTimer();
// Ends playback and audio before the window goes; always allows the close.
bool OnCloseQuery();

// The skin caption button: opens the change-appearance window, or brings it forward.
void OpenChangeAppearanceWindow();

}  // namespace app
