// The window procedure: what the system reports becomes the layer's events.

#include <algorithm>
#include <optional>

#include "platform/window/win32/Win32Native.h"

#include <windowsx.h>

namespace platform::window::win32 {

namespace {

using Native = Win32Backend::Native;

Modifiers modifiersNow() {
  auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
  Modifiers m;
  m.shift = down(VK_SHIFT);
  m.control = down(VK_CONTROL);
  m.alt = down(VK_MENU);
  m.left = down(VK_LBUTTON);
  m.right = down(VK_RBUTTON);
  m.middle = down(VK_MBUTTON);
  return m;
}

POINT clientUnits(const Native& n, LPARAM lParam) {
  return {toUnits(GET_X_LPARAM(lParam), n.scale), toUnits(GET_Y_LPARAM(lParam), n.scale)};
}

void queueButton(Native& n, MouseButton button, bool down, LPARAM lParam) {
  const POINT p = clientUnits(n, lParam);
  n.owner->queue(event::Button{n.hwnd, button, down, p.x, p.y, n.owner->nowMs(), modifiersNow()});
}

void queueMotion(Native& n, LPARAM lParam) {
  if (!n.tracking) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, n.native, 0};
    n.tracking = TrackMouseEvent(&track) != FALSE;
  }
  const POINT p = clientUnits(n, lParam);
  n.owner->queue(event::Motion{n.hwnd, p.x, p.y, modifiersNow()});
}

void queueWheel(Native& n, WPARAM wParam, LPARAM lParam) {
  // Fine-grained wheels send fractions of a notch: whole notches only, the rest kept.
  n.wheelRemainder += GET_WHEEL_DELTA_WPARAM(wParam);
  const int notches = n.wheelRemainder / WHEEL_DELTA;
  n.wheelRemainder -= notches * WHEEL_DELTA;
  if (notches == 0) return;
  ::POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // screen pixels
  ScreenToClient(n.native, &p);
  n.owner->queue(event::Wheel{n.hwnd, notches, toUnits(p.x, n.scale), toUnits(p.y, n.scale), modifiersNow()});
}

void queueKey(Native& n, WPARAM wParam, LPARAM lParam, bool down) {
  const bool repeat = down && (lParam & (1 << 30)) != 0;
  const int scanCode = static_cast<int>((lParam >> 16) & 0xFF);
  const int vk = static_cast<int>(wParam);
  n.owner->queue(event::Key{n.hwnd, vk, down, repeat, scanCode, vk == VK_PROCESSKEY, modifiersNow()});
}

// The media keys, however they came: a remote or a keyboard hook sends only the command.
std::optional<int> mediaKeyOf(int command) {
  switch (command) {
    case APPCOMMAND_MEDIA_PLAY_PAUSE: return VK_MEDIA_PLAY_PAUSE;
    case APPCOMMAND_MEDIA_NEXTTRACK: return VK_MEDIA_NEXT_TRACK;
    case APPCOMMAND_MEDIA_PREVIOUSTRACK: return VK_MEDIA_PREV_TRACK;
    case APPCOMMAND_MEDIA_STOP: return VK_MEDIA_STOP;
    default: return std::nullopt;
  }
}

void queueConfigured(Native& n) {
  ::RECT px{};
  GetWindowRect(n.native, &px);
  const event::Placement placement = IsIconic(n.native)  ? event::Placement::Minimized
                                     : IsZoomed(n.native) ? event::Placement::Maximized
                                                          : event::Placement::Normal;
  n.owner->queue(event::Configured{n.hwnd, toUnits(px, n.scale), placement});
}

void limitSize(const Native& n, MINMAXINFO* info) {
  if (n.minimum.cx > 0) info->ptMinTrackSize.x = toPixels(n.minimum.cx, n.scale);
  if (n.minimum.cy > 0) info->ptMinTrackSize.y = toPixels(n.minimum.cy, n.scale);
  if (n.maximum.cx > 0) info->ptMaxTrackSize.x = toPixels(n.maximum.cx, n.scale);
  if (n.maximum.cy > 0) info->ptMaxTrackSize.y = toPixels(n.maximum.cy, n.scale);
}

// The window moved to a monitor of another DPI: take the size the system suggests, then
// let the layer redraw at the new scale. The image shown is still the old scale's, and
// pushing it now would size the window back.
void changeDpi(Native& n, WPARAM wParam, LPARAM lParam) {
  n.scale = HIWORD(wParam) / 96.0;
  const auto* suggested = reinterpret_cast<const ::RECT*>(lParam);
  SetWindowPos(n.native, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  cutRegion(n);
  n.owner->queue(event::ScaleChanged{n.hwnd});
}

void queueCharacter(Native& n, wchar_t c) {
  if (IS_HIGH_SURROGATE(c)) {
    n.highSurrogate = c;
    return;
  }
  std::wstring text;
  if (IS_LOW_SURROGATE(c)) {
    if (n.highSurrogate == 0) return;
    text = {n.highSurrogate, c};
  } else if (c >= 0x20 && c != 0x7F) {
    text = {c};
  }
  n.highSurrogate = 0;
  // Control characters travel as keys only.
  if (!text.empty()) n.owner->queue(event::Text{n.hwnd, utf8(text)});
}

LRESULT handle(Native& n, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT imeResult = 0;
  if (handleInputMethod(n, message, wParam, lParam, &imeResult)) return imeResult;
  switch (message) {
    case WM_MOUSEMOVE: queueMotion(n, lParam); return 0;
    case WM_MOUSELEAVE:
      n.tracking = false;
      n.owner->queue(event::PointerLeft{n.hwnd});
      return 0;
    case WM_LBUTTONDOWN: queueButton(n, MouseButton::Left, true, lParam); return 0;
    case WM_LBUTTONUP: queueButton(n, MouseButton::Left, false, lParam); return 0;
    case WM_RBUTTONDOWN: queueButton(n, MouseButton::Right, true, lParam); return 0;
    case WM_RBUTTONUP: queueButton(n, MouseButton::Right, false, lParam); return 0;
    case WM_MBUTTONDOWN: queueButton(n, MouseButton::Middle, true, lParam); return 0;
    case WM_MBUTTONUP: queueButton(n, MouseButton::Middle, false, lParam); return 0;
    case WM_MOUSEWHEEL: queueWheel(n, wParam, lParam); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      queueKey(n, wParam, lParam, message == WM_KEYDOWN);
      // Taken here, a media key does not come back as a command as well.
      return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      queueKey(n, wParam, lParam, message == WM_SYSKEYDOWN);
      break;  // Alt+F4 and the system menu's keys stay the system's
    case WM_APPCOMMAND:
      if (auto vk = mediaKeyOf(GET_APPCOMMAND_LPARAM(lParam))) {
        n.owner->queue(event::Key{n.hwnd, *vk, true, false, 0, false, modifiersNow()});
        n.owner->queue(event::Key{n.hwnd, *vk, false, false, 0, false, modifiersNow()});
        return TRUE;
      }
      break;
    case WM_CHAR: queueCharacter(n, static_cast<wchar_t>(wParam)); return 0;
    case WM_SYSCHAR: return 0;  // no beep for Alt+letter
    case WM_ACTIVATE:
      n.owner->queue(event::Activation{n.hwnd, LOWORD(wParam) != WA_INACTIVE});
      break;
    case WM_MOUSEACTIVATE:
      if (GetWindowLongW(n.native, GWL_EXSTYLE) & WS_EX_NOACTIVATE) return MA_NOACTIVATE;
      break;
    case WM_CLOSE: n.owner->queue(event::CloseRequest{n.hwnd}); return 0;
    case WM_WINDOWPOSCHANGED: queueConfigured(n); return 0;
    case WM_GETMINMAXINFO: limitSize(n, reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_DPICHANGED: changeDpi(n, wParam, lParam); return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(n.cursorId != 0 ? n.cursorId : 32512)));
        return TRUE;
      }
      break;
    case WM_ENTERSIZEMOVE:
    case WM_ENTERMENULOOP:
      // The system's loop owns the thread until the drag or menu ends; a native timer keeps
      // the layer's timers (progress ticks, fades) running meanwhile.
      SetTimer(n.native, kModalTimerId, USER_TIMER_MINIMUM, nullptr);
      break;
    case WM_EXITSIZEMOVE:
    case WM_EXITMENULOOP:
      KillTimer(n.native, kModalTimerId);
      if (message == WM_EXITSIZEMOVE) n.owner->queue(event::SizeMoveEnded{n.hwnd});
      break;
    case WM_TIMER:
      if (wParam == kModalTimerId) {
        n.owner->serveModalLoop();
        return 0;
      }
      break;
    case WM_ERASEBKGND: return 1;
    default: break;
  }
  return DefWindowProcW(n.native, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK windowProc(::HWND native, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* n = static_cast<Native*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    n->native = native;
    SetWindowLongPtrW(native, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(n));
  }
  auto* n = reinterpret_cast<Native*>(GetWindowLongPtrW(native, GWLP_USERDATA));
  if (n == nullptr) return DefWindowProcW(native, message, wParam, lParam);
  return handle(*n, message, wParam, lParam);
}

}  // namespace platform::window::win32
