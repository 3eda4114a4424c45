#pragma once
// A recording window class for tests of the window layer.

#include <string>
#include <vector>

#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"

namespace windowtest {

using namespace platform::window;

struct Seen {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message that reaches recordingProc, in order.
std::vector<Seen>& seen();
LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
std::vector<UINT> messagesOf(HWND hwnd, std::initializer_list<UINT> only);

// Installs a fresh headless desktop and registers "Rec" (CS_DBLCLKS) and "RecNoDbl".
HeadlessBackend& freshDesktop();
HWND makeWindow(const char* cls = "Rec", int x = 100, int y = 50, int w = 300, int h = 200,
                HWND owner = nullptr, DWORD exStyle = 0);

}  // namespace windowtest
