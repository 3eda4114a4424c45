#include <algorithm>
#include <chrono>

#include "platform/window/win32/Win32Native.h"

namespace platform::window {

std::int64_t Win32Backend::nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void Win32Backend::sleep(std::int64_t ms) { Sleep(static_cast<::DWORD>(std::max<std::int64_t>(ms, 0))); }

void Win32Backend::wait(std::optional<std::int64_t> deadlineMs) {
  ::DWORD timeout = INFINITE;
  if (deadlineMs) {
    const std::int64_t ms = std::max<std::int64_t>(0, *deadlineMs - nowMs());
    timeout = static_cast<::DWORD>(std::min<std::int64_t>(ms, 0x7FFFFFFF));
  }
  HANDLE wake = static_cast<HANDLE>(wakeEvent_);
  MsgWaitForMultipleObjectsEx(wake != nullptr ? 1 : 0, wake != nullptr ? &wake : nullptr, timeout, QS_ALLINPUT,
                              MWMO_INPUTAVAILABLE);
  poll();
}

void Win32Backend::poll() {
  // Inside the system's modal loop that loop pumps; pumping here too would nest it.
  if (servingModal_) return;
  ::MSG msg;
  for (int i = 0; i < 200 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32Backend::wake() {
  if (wakeEvent_ != nullptr) SetEvent(static_cast<HANDLE>(wakeEvent_));
}

}  // namespace platform::window
