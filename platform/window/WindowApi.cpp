#include "platform/window/WindowApi.h"

#include <chrono>
#include <thread>

#include "platform/window/Icons.h"
#include "platform/window/WindowSystem.h"

namespace platform::window {
namespace {

WindowSystem& sys() { return WindowSystem::instance(); }

// Runs f on the UI thread and hands back its result.
template <typename F>
auto onUi(F f) -> decltype(f()) {
  if (sys().onUiThread()) return f();
  using R = decltype(f());
  if constexpr (std::is_void_v<R>) {
    sys().invoke(f);
  } else {
    R result{};
    sys().invoke([&] { result = f(); });
    return result;
  }
}

}  // namespace

UINT RegisterClassExA(const WNDCLASSEXA* wc) {
  if (wc == nullptr) return 0;
  return onUi([&] { return sys().registerClass(*wc); });
}

bool UnregisterClassA(const char* className) {
  if (className == nullptr) return false;
  return onUi([&] { return sys().unregisterClass(className); });
}

bool GetClassInfoExA(const char* className, WNDCLASSEXA* out) {
  if (className == nullptr || out == nullptr) return false;
  return onUi([&] { return sys().classInfo(className, *out); });
}

UINT_PTR GetClassLongPtrA(HWND hwnd, int index) {
  return onUi([&] { return sys().classLong(hwnd, index); });
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND owner, void* param) {
  return onUi([&] {
    return sys().createWindow(exStyle, className, windowName, style, x, y, width, height, owner,
                              param);
  });
}

bool DestroyWindow(HWND hwnd) { return onUi([&] { return sys().destroyWindow(hwnd); }); }
bool IsWindow(HWND hwnd) { return onUi([&] { return sys().isWindow(hwnd); }); }
bool IsWindowVisible(HWND hwnd) { return onUi([&] { return sys().isVisible(hwnd); }); }
bool IsWindowEnabled(HWND hwnd) { return onUi([&] { return sys().isEnabled(hwnd); }); }
bool EnableWindow(HWND hwnd, bool enable) {
  return onUi([&] { return sys().enableWindow(hwnd, enable); });
}
long GetWindowLongA(HWND hwnd, int index) { return onUi([&] { return sys().windowLong(hwnd, index); }); }
long SetWindowLongA(HWND hwnd, int index, long value) {
  return onUi([&] { return sys().setWindowLong(hwnd, index, value); });
}
WNDPROC GetWindowProc(HWND hwnd) { return onUi([&] { return sys().windowProc(hwnd); }); }
WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) {
  return onUi([&] { return sys().setWindowProc(hwnd, proc); });
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return onUi([&] { return proc(hwnd, message, wParam, lParam); });
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return onUi([&] { return sys().defaultProc(hwnd, message, wParam, lParam); });
}

HWND GetOwner(HWND hwnd) { return onUi([&] { return sys().owner(hwnd); }); }

bool SetPropA(HWND hwnd, const char* name, std::intptr_t value) {
  if (name == nullptr) return false;
  return onUi([&] { return sys().setProp(hwnd, name, value); });
}
std::intptr_t GetPropA(HWND hwnd, const char* name) {
  if (name == nullptr) return 0;
  return onUi([&] { return sys().prop(hwnd, name); });
}
std::intptr_t RemovePropA(HWND hwnd, const char* name) {
  if (name == nullptr) return 0;
  return onUi([&] { return sys().removeProp(hwnd, name); });
}

bool SetWindowTextA(HWND hwnd, const char* text) {
  return onUi([&] {
    // Another process's window takes no message: send() answers 0.
    if (!sys().isWindow(hwnd)) return false;
    return sys().send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0;
  });
}
std::string GetWindowTextA(HWND hwnd) { return onUi([&] { return sys().title(hwnd); }); }

bool ShowWindow(HWND hwnd, int command) { return onUi([&] { return sys().showWindow(hwnd, command); }); }

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
  return onUi([&] {
    const bool ok = sys().setWindowRect(hwnd, {x, y, x + width, y + height}, true, true);
    if (ok && repaint) sys().invalidate(hwnd, nullptr);
    return ok;
  });
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return onUi([&] {
    if (!sys().isWindow(hwnd)) return false;
    if ((flags & SWP_NOZORDER) == 0) {
      if (insertAfter == HWND_TOPMOST) sys().setTopmost(hwnd, true);
      else if (insertAfter == HWND_NOTOPMOST) sys().setTopmost(hwnd, false);
    }
    const bool move = (flags & SWP_NOMOVE) == 0;
    const bool size = (flags & SWP_NOSIZE) == 0;
    if (move || size) sys().setWindowRect(hwnd, {x, y, x + width, y + height}, move, size);
    const bool activate = (flags & SWP_NOACTIVATE) == 0;
    if (flags & SWP_SHOWWINDOW) sys().showWindow(hwnd, activate ? SW_SHOW : SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW) sys().showWindow(hwnd, SW_HIDE);
    return true;
  });
}

bool GetWindowRect(HWND hwnd, RECT* out) {
  if (out == nullptr) return false;
  return onUi([&] { return sys().windowRect(hwnd, *out); });
}

bool GetClientRect(HWND hwnd, RECT* out) {
  if (out == nullptr) return false;
  return onUi([&] {
    RECT r;
    if (!sys().windowRect(hwnd, r)) return false;
    *out = {0, 0, r.width(), r.height()};
    return true;
  });
}

bool ClientToScreen(HWND hwnd, POINT* point) {
  if (point == nullptr) return false;
  return onUi([&] {
    RECT r;
    if (!sys().windowRect(hwnd, r)) return false;
    point->x += r.left;
    point->y += r.top;
    return true;
  });
}

bool ScreenToClient(HWND hwnd, POINT* point) {
  if (point == nullptr) return false;
  return onUi([&] {
    RECT r;
    if (!sys().windowRect(hwnd, r)) return false;
    point->x -= r.left;
    point->y -= r.top;
    return true;
  });
}

bool IsZoomed(HWND hwnd) { return onUi([&] { return sys().isZoomed(hwnd); }); }
bool IsIconic(HWND hwnd) { return onUi([&] { return sys().isIconic(hwnd); }); }

HWND FindWindowA(const char* className, const char* title) {
  return onUi([&] { return sys().findWindow(className, title); });
}

Region CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                          int ellipseHeight) {
  return Region::roundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
}

bool SetWindowRgn(HWND hwnd, std::optional<Region> region, bool redraw) {
  return onUi([&] {
    const bool ok = sys().setRegion(hwnd, std::move(region));
    if (ok && redraw) sys().invalidate(hwnd, nullptr);
    return ok;
  });
}

std::optional<Region> GetWindowRgn(HWND hwnd) { return onUi([&] { return sys().region(hwnd); }); }

bool SetLayeredWindowAttributes(HWND hwnd, DWORD, BYTE alpha, DWORD flags) {
  return onUi([&] {
    if ((flags & LWA_ALPHA) == 0) return sys().isWindow(hwnd);
    return sys().setAlpha(hwnd, alpha);
  });
}

bool UpdateLayeredWindow(HWND hwnd, const POINT* position, const SIZE* size, PixelView source,
                         POINT sourceOrigin, BYTE constantAlpha, const RECT* dirty) {
  return onUi([&] {
    return sys().updateLayered(hwnd, position, size, source, sourceOrigin, constantAlpha, dirty);
  });
}

bool PaintPixels(HWND hwnd, PixelView source, const RECT& rect) {
  return onUi([&] { return sys().copyPixels(hwnd, source, rect); });
}

double GetWindowScale(HWND hwnd) {
  return onUi([&] { return sys().scale(hwnd); });
}

bool InvalidateRect(HWND hwnd, const RECT* rect, bool) {
  return onUi([&] { return sys().invalidate(hwnd, rect); });
}

bool ValidateRect(HWND hwnd, const RECT* rect) {
  return onUi([&] { return sys().validate(hwnd, rect); });
}

bool GetUpdateRect(HWND hwnd, RECT* out) {
  if (out == nullptr) return false;
  return onUi([&] { return sys().updateRect(hwnd, *out); });
}

RECT BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  return onUi([&] {
    RECT r;
    sys().updateRect(hwnd, r);
    sys().validate(hwnd, nullptr);
    if (ps != nullptr) ps->rcPaint = r;
    return r;
  });
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT*) { return IsWindow(hwnd); }

bool UpdateWindow(HWND hwnd) {
  return onUi([&] {
    RECT r;
    if (!sys().isWindow(hwnd)) return false;
    if (sys().updateRect(hwnd, r) && sys().isVisible(hwnd)) {
      sys().send(hwnd, WM_PAINT, 0, 0);
      sys().validate(hwnd, nullptr);
    }
    return true;
  });
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return sys().send(hwnd, message, wParam, lParam);
}

bool PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return sys().post(hwnd, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) { onUi([&] { sys().postQuit(exitCode); }); }

int GetMessageA(MSG* msg, HWND, UINT, UINT) {
  if (msg == nullptr) return -1;
  return sys().getMessage(*msg);
}

bool PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
  if (msg == nullptr) return false;
  return sys().peekMessage(*msg, (removeFlags & PM_REMOVE) != 0);
}

bool TranslateMessage(const MSG* msg) {
  return msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN);
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr) return 0;
  return onUi([&] { return sys().dispatch(*msg); });
}

void processPendingMessages() { sys().processPending(); }

void invokeOnUiThread(const std::function<void()>& fn) {
  if (fn) sys().invoke(fn);
}

bool isUiThread() { return sys().onUiThread(); }

void Sleep(DWORD ms) {
  if (sys().onUiThread()) {
    sys().backend().sleep(ms);
  } else {
    // Workers keep real time: the test clock belongs to the UI thread.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

DWORD GetTickCount() { return static_cast<DWORD>(sys().now()); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT intervalMs, void*) {
  return onUi([&] { return sys().setTimer(hwnd, id, intervalMs); });
}

bool KillTimer(HWND hwnd, UINT_PTR id) { return onUi([&] { return sys().killTimer(hwnd, id); }); }

short GetKeyState(int virtualKey) { return onUi([&] { return sys().keyState(virtualKey); }); }

bool GetCursorPos(POINT* out) {
  if (out == nullptr) return false;
  return onUi([&] {
    *out = sys().cursorPos();
    return true;
  });
}

HWND SetCapture(HWND hwnd) { return onUi([&] { return sys().setCapture(hwnd); }); }
bool ReleaseCapture() { return onUi([&] { return sys().releaseCapture(); }); }
HWND GetCapture() { return onUi([&] { return sys().capture(); }); }
HWND SetFocus(HWND hwnd) { return onUi([&] { return sys().setFocus(hwnd); }); }
HWND GetFocus() { return onUi([&] { return sys().focus(); }); }
HWND GetActiveWindow() { return onUi([&] { return sys().activeWindow(); }); }
HWND GetForegroundWindow() { return GetActiveWindow(); }

bool SetForegroundWindow(HWND hwnd) {
  return onUi([&] {
    if (!sys().isWindow(hwnd)) return false;
    if (sys().isForeign(hwnd)) {
      sys().showWindow(hwnd, SW_SHOW);
      return true;
    }
    return sys().setFocus(hwnd) != nullptr || sys().activeWindow() == hwnd;
  });
}

bool TrackMouseEvent(TRACKMOUSEEVENT* request) {
  if (request == nullptr) return false;
  return onUi([&] {
    if ((request->dwFlags & TME_LEAVE) == 0) return false;
    return sys().trackMouseLeave(request->hwndTrack, (request->dwFlags & TME_CANCEL) != 0);
  });
}

HCURSOR SetCursor(HCURSOR cursor) {
  return onUi([&] {
    const int old = sys().setCursor(cursor == nullptr ? 0 : cursorIdOf(cursor));
    return LoadCursorA(nullptr, old);
  });
}

HMENU GetSystemMenu(HWND hwnd, bool) {
  return onUi([&] {
    return sys().isWindow(hwnd) && !sys().isForeign(hwnd) ? reinterpret_cast<HMENU>(hwnd) : nullptr;
  });
}

bool TrackPopupMenu(HMENU menu, UINT, int x, int y, int, HWND owner, const RECT*) {
  return onUi([&] {
    HWND target = owner != nullptr ? owner : reinterpret_cast<HWND>(menu);
    if (menu == nullptr || !sys().isWindow(reinterpret_cast<HWND>(menu))) return false;
    return sys().showSystemMenu(target, x, y);
  });
}

}  // namespace platform::window
