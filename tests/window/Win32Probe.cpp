#include "tests/window/Win32Probe.h"

#include <windows.h>
#include <imm.h>

namespace win32probe {

namespace {

HWND h(void* native) { return static_cast<HWND>(native); }

LPARAM point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

bool canCreateWindows() {
  HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  if (w == nullptr) return false;
  DestroyWindow(w);
  return true;
}

void* findWindow(const std::u16string& title) {
  return FindWindowW(L"Ex_DirectUI", reinterpret_cast<const wchar_t*>(title.c_str()));
}

std::u16string titleOf(void* native) {
  wchar_t buffer[256] = {};
  const int n = GetWindowTextW(h(native), buffer, 256);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(n > 0 ? n : 0));
}

unsigned dpiOf(void* native) {
  using GetForWindow = UINT(WINAPI*)(HWND);
  auto get = reinterpret_cast<GetForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return get != nullptr ? get(h(native)) : 96;
}

void postButton(void* native, bool left, bool down, int x, int y) {
  const UINT message = left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
  PostMessageW(h(native), message, down ? (left ? MK_LBUTTON : MK_RBUTTON) : 0, point(x, y));
}

void postKey(void* native, int virtualKey, bool down) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  LPARAM l = 1 | (static_cast<LPARAM>(scan) << 16);
  if (!down) l |= (1LL << 30) | (1LL << 31);
  PostMessageW(h(native), down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), l);
}

void postChar(void* native, char16_t unit) { PostMessageW(h(native), WM_CHAR, unit, 1); }

void postImeChar(void* native, char16_t unit) { PostMessageW(h(native), WM_IME_CHAR, unit, 1); }

void postWheel(void* native, int delta, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h(native), &p);
  PostMessageW(h(native), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), point(p.x, p.y));
}

void postEscape(void* native) { postKey(native, VK_ESCAPE, true); }

bool completeComposition(void* native, const std::u16string& text) {
  HIMC context = ImmGetContext(h(native));
  if (context == nullptr) return false;
  ImmSetOpenStatus(context, TRUE);
  const bool done =
      ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<char16_t*>(text.data()),
                               static_cast<DWORD>(text.size() * sizeof(char16_t)), nullptr, 0) &&
      ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
  ImmReleaseContext(h(native), context);
  return done;
}

void sendDpiChanged(void* native, unsigned dpi, int left, int top, int right, int bottom) {
  RECT suggested{left, top, right, bottom};
  SendMessageW(h(native), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

std::uint32_t screenColourAt(void* native, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h(native), &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void frameOf(void* native, int& left, int& top, int& right, int& bottom) {
  RECT r{};
  GetWindowRect(h(native), &r);
  left = r.left;
  top = r.top;
  right = r.right;
  bottom = r.bottom;
}

}  // namespace win32probe
