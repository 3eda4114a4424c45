#include "platform/window/win32/Win32Native.h"

namespace platform::window::win32 {

namespace {

template <typename Fn>
Fn user32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 == nullptr ? nullptr : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

void becomeDpiAware() {
  static const bool done = [] {
    // Per-monitor v2 came with Windows 10 1703; older systems get system awareness, which
    // still keeps the system from stretching our pixels.
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (auto set = user32Function<SetContext>("SetProcessDpiAwarenessContext")) {
      if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return true;
    }
    SetProcessDPIAware();
    return true;
  }();
  (void)done;
}

UINT desktopDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT dpiOf(::HWND native) {
  using GetForWindow = UINT(WINAPI*)(::HWND);
  static const auto get = user32Function<GetForWindow>("GetDpiForWindow");
  if (get != nullptr && native != nullptr) {
    const UINT dpi = get(native);
    if (dpi > 0) return dpi;
  }
  return desktopDpi();
}

}  // namespace platform::window::win32
