#include "tests/window/WindowTestSupport.h"

#include <algorithm>

namespace windowtest {

std::vector<Seen>& seen() {
  static std::vector<Seen> log;
  return log;
}

LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  seen().push_back({hwnd, message, wParam, lParam});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::vector<UINT> messagesOf(HWND hwnd, std::initializer_list<UINT> only) {
  std::vector<UINT> out;
  for (const Seen& s : seen()) {
    if (s.hwnd == hwnd && std::find(only.begin(), only.end(), s.message) != only.end()) {
      out.push_back(s.message);
    }
  }
  return out;
}

HeadlessBackend& freshDesktop() {
  HeadlessBackend& desk = HeadlessBackend::install();
  seen().clear();
  WNDCLASSEXA wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = recordingProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "Rec";
  RegisterClassExA(&wc);
  wc.style = 0;
  wc.lpszClassName = "RecNoDbl";
  RegisterClassExA(&wc);
  return desk;
}

HWND makeWindow(const char* cls, int x, int y, int w, int h, HWND owner, DWORD exStyle) {
  return CreateWindowExA(exStyle, cls, "test", WS_POPUP, x, y, w, h, owner, nullptr);
}

}  // namespace windowtest
