#pragma once
// What the win32 files share. Our own headers come first: the system's headers define
// macros (IDC_ARROW, WM_TIMER, ...) that would rewrite the layer's names.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/ShownImage.h"
#include "platform/window/win32/Win32Backend.h"

#include <windows.h>

namespace platform::window::win32 {

inline constexpr wchar_t kClassName[] = L"Ex_DirectUI";
// A timer of the native window that serves the layer while the system's modal loop runs.
inline constexpr UINT_PTR kModalTimerId = 0x7E57;

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// Device pixels <-> window units at a scale.
int toPixels(int units, double scale);
int toUnits(int pixels, double scale);
::RECT toPixels(const RECT& units, double scale);
RECT toUnits(const ::RECT& pixels, double scale);

// Per-monitor awareness for the process, once; the DPI of a window or of the desktop.
void becomeDpiAware();
UINT dpiOf(::HWND native);
UINT desktopDpi();

LRESULT CALLBACK windowProc(::HWND native, UINT message, WPARAM wParam, LPARAM lParam);
// The input method's messages; true when handled, with the result in *result.
bool handleInputMethod(Win32Backend::Native& n, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result);
// Opens the candidate window at the caret, and moves an open one along with it.
void placeCandidateWindow(Win32Backend::Native& n);
// Puts the image on the screen through the layered update: the whole of it, or only the
// pixels of dirty (window units) where the window kept its size since the last push.
void pushImage(Win32Backend::Native& n, const RECT* dirty = nullptr);
void applyRegion(Win32Backend::Native& n);
// The native region alone, at the window's scale: the pixels follow with the next push.
void cutRegion(Win32Backend::Native& n);

}  // namespace platform::window::win32

namespace platform::window {

struct Win32Backend::Native {
  Win32Backend* owner = nullptr;
  HWND hwnd = nullptr;
  ::HWND native = nullptr;
  ShownImage image;
  double scale = 1;
  BYTE alpha = 255;
  std::optional<Region> region;
  std::vector<std::uint8_t> regionMask;  // per image pixel, 1 inside; empty when stale
  SIZE minimum{0, 0};
  SIZE maximum{0, 0};
  int cursorId = 0;
  bool tracking = false;  // leave notification requested
  int wheelRemainder = 0;
  wchar_t highSurrogate = 0;
  std::optional<RECT> caret;
  ::HICON icon = nullptr;
  HBITMAP dib = nullptr;
  void* dibBits = nullptr;
  int dibWidth = 0;
  int dibHeight = 0;
  bool everPushed = false;
};

}  // namespace platform::window
