#pragma once
// Handles, message parameters and structures of the window layer, shaped like their
// user32 namesakes so that code written against those calls reads the same here.

#include <cstdint>

namespace platform::window {

struct WindowHandleTag;
struct IconHandleTag;
struct CursorHandleTag;
struct MenuHandleTag;

// Opaque handles. A window handle is never reused within a process, so a stale one is
// simply no longer a window (IsWindow false) and calls on it do nothing.
using HWND = WindowHandleTag*;
using HICON = IconHandleTag*;
using HCURSOR = CursorHandleTag*;
using HMENU = MenuHandleTag*;

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using BYTE = std::uint8_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
  int x = 0;
  int y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const SIZE&, const SIZE&) = default;
};

// Right and bottom are exclusive.
struct RECT {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const RECT&, const RECT&) = default;
};

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct CREATESTRUCTA {
  void* lpCreateParams = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  DWORD style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct PAINTSTRUCT {
  RECT rcPaint;
};

struct WNDCLASSEXA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  int hbrBackground = 0;  // a system colour index + 1, kept for the class query only
  const char* lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};

// A read-only view of premultiplied ARGB32 pixels
// (one native-endian 32-bit word per pixel, alpha in the top byte), rows strideBytes apart.
// Width and height count pixels; scale says how many make a window unit.
struct PixelView {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int strideBytes = 0;
  double scale = 1;

  std::uint32_t at(int x, int y) const {
    return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                  static_cast<std::intptr_t>(y) * strideBytes)[x];
  }
};

constexpr int loWordSigned(LPARAM v) { return static_cast<std::int16_t>(v & 0xFFFF); }
constexpr int hiWordSigned(LPARAM v) { return static_cast<std::int16_t>((v >> 16) & 0xFFFF); }
constexpr unsigned loWord(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFF); }
constexpr unsigned hiWord(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFF); }
// Packs two signed 16-bit halves (client coordinates) the way mouse messages carry them.
constexpr LPARAM makeLParam(int low, int high) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint32_t>(high) & 0xFFFF) << 16 |
                                                        (static_cast<std::uint32_t>(low) & 0xFFFF)));
}

}  // namespace platform::window
