// From back-end events to input messages: routing by capture, double clicks, keys and
// committed text, activation and focus, the pointer leaving, cursors.

#include <cstdlib>

#include "platform/text/CodePage.h"
#include "platform/window/Icons.h"
#include "platform/window/Tooltips.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/WindowSystem.h"

namespace platform::window {

void WindowSystem::queueEvent(BackendEvent e) {
  events_.push_back(std::move(e));
}

void WindowSystem::drainEvents() {
  if (draining_) return;  // a procedure pumping from inside an event sees it next round
  draining_ = true;
  while (!events_.empty()) {
    std::vector<BackendEvent> batch;
    batch.swap(events_);
    for (const BackendEvent& e : batch) handle(e);
  }
  draining_ = false;
}

void WindowSystem::handle(const BackendEvent& e) {
  if (auto* b = std::get_if<event::Button>(&e)) handleButton(*b);
  else if (auto* m = std::get_if<event::Motion>(&e)) handleMotion(*m);
  else if (auto* wh = std::get_if<event::Wheel>(&e)) handleWheel(*wh);
  else if (auto* l = std::get_if<event::PointerLeft>(&e)) handlePointerLeft(*l);
  else if (auto* k = std::get_if<event::Key>(&e)) handleKey(*k);
  else if (auto* t = std::get_if<event::Text>(&e)) handleText(*t);
  else if (auto* a = std::get_if<event::Activation>(&e)) activate(a->hwnd, a->active);
  else if (auto* c = std::get_if<event::CloseRequest>(&e)) {
    // A disabled window (the owner of a modal box) cannot be closed under the box.
    if (isWindow(c->hwnd) && isEnabled(c->hwnd)) send(c->hwnd, WM_CLOSE, 0, 0);
  } else if (auto* cf = std::get_if<event::Configured>(&e)) handleConfigured(*cf);
  else if (auto* sc = std::get_if<event::ScaleChanged>(&e)) handleScaleChanged(*sc);
  else if (auto* s = std::get_if<event::SizeMoveEnded>(&e)) {
    if (Window* w = find(s->hwnd); w != nullptr && w->inSizeMove) {
      w->inSizeMove = false;
      const int command = w->commandAfterSizeMove;
      w->commandAfterSizeMove = -1;
      send(s->hwnd, WM_EXITSIZEMOVE, 0, 0);
      if (command >= 0 && isWindow(s->hwnd)) showWindow(s->hwnd, command);
    }
  }
}

WPARAM WindowSystem::mouseKeys(const Modifiers& modifiers) const {
  WPARAM keys = 0;
  if (modifiers.shift) keys |= MK_SHIFT;
  if (modifiers.control) keys |= MK_CONTROL;
  // From the event, not from what we last saw: a release taken by the window manager
  // during a move or resize never reaches us.
  if (modifiers.left) keys |= MK_LBUTTON;
  if (modifiers.right) keys |= MK_RBUTTON;
  if (modifiers.middle) keys |= MK_MBUTTON;
  return keys;
}

// The window that gets a pointer event at (x, y) of hwnd, with (x, y) turned into its
// client coordinates; null when the event is dropped.
HWND WindowSystem::inputTarget(HWND hwnd, int& x, int& y) {
  Window* source = find(hwnd);
  if (source == nullptr) return nullptr;
  HWND target = hwnd;
  if (capture_ != nullptr && capture_ != hwnd && find(capture_) != nullptr) {
    const Window* c = find(capture_);
    x += source->rect.left - c->rect.left;
    y += source->rect.top - c->rect.top;
    target = capture_;
  }
  if (!isEnabled(target)) return nullptr;
  return target;
}

void WindowSystem::handleButton(const event::Button& e) {
  int x = e.x;
  int y = e.y;
  HWND target = inputTarget(e.hwnd, x, y);
  if (target == nullptr) return;
  const Window* w = find(target);
  UINT message = 0;
  WPARAM keyBit = MK_LBUTTON;
  switch (e.button) {
    case MouseButton::Left: message = e.down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case MouseButton::Right:
      message = e.down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      keyBit = MK_RBUTTON;
      break;
    case MouseButton::Middle:
      message = e.down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      keyBit = MK_MBUTTON;
      break;
  }
  if (e.down && e.button != MouseButton::Middle) {
    const POINT screen{w->rect.left + x, w->rect.top + y};
    const SIZE box = requireBackend().doubleClickSize();
    const bool dbl = (w->classStyle & CS_DBLCLKS) != 0 && lastClick_.armed &&
                     lastClick_.hwnd == target && lastClick_.button == e.button &&
                     e.timeMs - lastClick_.timeMs <= requireBackend().doubleClickTimeMs() &&
                     e.timeMs >= lastClick_.timeMs &&
                     std::abs(screen.x - lastClick_.screen.x) <= box.cx / 2 &&
                     std::abs(screen.y - lastClick_.screen.y) <= box.cy / 2;
    if (dbl) {
      message = e.button == MouseButton::Left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
      lastClick_.armed = false;  // a third press starts over
    } else {
      lastClick_ = {target, e.button, e.timeMs, screen, true};
    }
  }
  WPARAM keys = mouseKeys(e.modifiers);
  // The state after the event, as the desktop reports it with the message.
  keys = e.down ? (keys | keyBit) : (keys & ~keyBit);
  pointerWindow_ = target;
  enqueue(target, message, keys, makeLParam(x, y));
}

void WindowSystem::handleMotion(const event::Motion& e) {
  int x = e.x;
  int y = e.y;
  if (pointerWindow_ != nullptr && pointerWindow_ != e.hwnd && capture_ == nullptr) {
    handlePointerLeft({pointerWindow_});
  }
  HWND target = inputTarget(e.hwnd, x, y);
  pointerWindow_ = e.hwnd;
  if (target == nullptr) return;
  enqueue(target, WM_MOUSEMOVE, mouseKeys(e.modifiers), makeLParam(x, y));
}

void WindowSystem::handleWheel(const event::Wheel& e) {
  int x = e.x;
  int y = e.y;
  HWND target = inputTarget(e.hwnd, x, y);
  if (target == nullptr || e.notches == 0) return;
  const Window* w = find(target);
  const int delta = e.notches * WHEEL_DELTA;
  const WPARAM wParam = (static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16) |
                        mouseKeys(e.modifiers);
  // Wheel messages carry screen coordinates.
  enqueue(target, WM_MOUSEWHEEL, wParam, makeLParam(w->rect.left + x, w->rect.top + y));
}

void WindowSystem::handlePointerLeft(const event::PointerLeft& e) {
  if (pointerWindow_ == e.hwnd) pointerWindow_ = nullptr;
  Window* w = find(e.hwnd);
  // While the window holds the capture the pointer still counts as inside.
  if (w == nullptr || !w->trackLeave || capture_ == e.hwnd) return;
  w->trackLeave = false;
  enqueue(e.hwnd, WM_MOUSELEAVE, 0, 0);
}

bool WindowSystem::trackMouseLeave(HWND hwnd, bool cancel) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  if (cancel) {
    w->trackLeave = false;
    return true;
  }
  w->trackLeave = true;
  if (pointerWindow_ != hwnd && capture_ != hwnd) {
    // Already outside: the desktop answers at once.
    w->trackLeave = false;
    enqueue(hwnd, WM_MOUSELEAVE, 0, 0);
  }
  return true;
}

void WindowSystem::noteModifiers(const Modifiers& modifiers) {
  keys_[VK_SHIFT] = modifiers.shift;
  keys_[VK_CONTROL] = modifiers.control;
  keys_[VK_MENU] = modifiers.alt;
}

void WindowSystem::handleKey(const event::Key& e) {
  HWND target = isWindow(focus_) ? focus_ : (isWindow(active_) ? active_ : e.hwnd);
  if (find(target) == nullptr || !isEnabled(target)) return;
  const int vk = e.takenByInputMethod ? VK_PROCESSKEY : (e.virtualKey & 0xFF);
  if (vk == 0) return;
  const bool alt = e.modifiers.alt || (vk == VK_MENU && e.down);
  const bool sys = alt && !e.modifiers.control;
  LPARAM lParam = 1 | (static_cast<LPARAM>(e.scanCode & 0xFF) << 16);
  if (sys) lParam |= LPARAM{1} << 29;
  if (e.repeat || !e.down) lParam |= LPARAM{1} << 30;
  if (!e.down) lParam |= LPARAM{1} << 31;
  UINT message = e.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  enqueue(target, message, static_cast<WPARAM>(vk), lParam);
  if (!e.down || e.takenByInputMethod || sys) return;
  // Keys that make characters of their own; printable text comes as committed text.
  int ch = 0;
  if (vk == VK_BACK) ch = 8;
  else if (vk == VK_TAB) ch = 9;
  else if (vk == VK_RETURN) ch = 13;
  else if (vk == VK_ESCAPE) ch = 27;
  else if (e.modifiers.control && vk >= 'A' && vk <= 'Z') ch = vk - 'A' + 1;
  if (ch != 0) enqueue(target, WM_CHAR, static_cast<WPARAM>(ch), lParam);
}

void WindowSystem::handleText(const event::Text& e) {
  HWND target = isWindow(focus_) ? focus_ : (isWindow(active_) ? active_ : e.hwnd);
  if (find(target) == nullptr || !isEnabled(target)) return;
  // One WM_CHAR per byte of the ANSI code page, lead byte first.
  const std::string ansi = text::utf8ToAnsi(e.utf8);
  for (unsigned char byte : ansi) {
    if (byte == 0) continue;
    enqueue(target, WM_CHAR, byte, 1);
  }
}

void WindowSystem::noteDequeued(const MSG& msg) {
  relayToTooltips(msg);
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (msg.wParam < 256) keys_[msg.wParam] = true;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (msg.wParam < 256) keys_[msg.wParam] = false;
      break;
    default:
      break;
  }
  if (msg.message >= WM_MOUSEMOVE && msg.message <= WM_MBUTTONUP) {
    keys_[VK_SHIFT] = (msg.wParam & MK_SHIFT) != 0;
    keys_[VK_CONTROL] = (msg.wParam & MK_CONTROL) != 0;
    keys_[VK_LBUTTON] = (msg.wParam & MK_LBUTTON) != 0;
    keys_[VK_RBUTTON] = (msg.wParam & MK_RBUTTON) != 0;
    keys_[VK_MBUTTON] = (msg.wParam & MK_MBUTTON) != 0;
    if (isWindow(msg.hwnd)) {
      send(msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd),
           makeLParam(static_cast<int>(HTCLIENT), static_cast<int>(msg.message)));
    }
  }
}

short WindowSystem::keyState(int virtualKey) const {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  return keys_[virtualKey] ? static_cast<short>(0x8000) : 0;
}

POINT WindowSystem::cursorPos() { return requireBackend().cursorPos(); }

void WindowSystem::handleConfigured(const event::Configured& e) {
  Window* w = find(e.hwnd);
  if (w == nullptr) return;
  const bool wasMax = w->maximized;
  const bool wasMin = w->minimized;
  w->maximized = e.placement == event::Placement::Maximized;
  w->minimized = e.placement == event::Placement::Minimized;
  if (w->minimized) {
    if (!wasMin) send(e.hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    return;
  }
  const RECT old = w->rect;
  const RECT& r = e.screenRect;
  w->rect = r;
  const bool resized = r.width() != old.width() || r.height() != old.height();
  if (resized) reshape(*w, r.width(), r.height());
  if (r.left != old.left || r.top != old.top) send(e.hwnd, WM_MOVE, 0, makeLParam(r.left, r.top));
  if (!isWindow(e.hwnd)) return;
  if (resized || wasMax != w->maximized || wasMin) {
    send(e.hwnd, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
         makeLParam(r.width(), r.height()));
  }
}

void WindowSystem::activate(HWND hwnd, bool active) {
  if (active) {
    if (active_ == hwnd || find(hwnd) == nullptr || !isVisible(hwnd)) return;
    HWND old = active_;
    active_ = hwnd;
    // A capture never outlives the activation, or the pointer would stay held.
    if (old != nullptr && capture_ == old) releaseCapture();
    if (isWindow(old)) send(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    if (active_ != hwnd) return;
    send(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    if (active_ == hwnd && focus_ != hwnd) changeFocus(hwnd);
  } else {
    if (active_ != hwnd) return;
    active_ = nullptr;
    if (capture_ == hwnd) releaseCapture();
    if (isWindow(hwnd)) send(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    if (focus_ == hwnd) changeFocus(nullptr);
  }
}

void WindowSystem::changeFocus(HWND hwnd) {
  HWND old = focus_;
  if (old == hwnd) return;
  focus_ = hwnd;
  if (isWindow(old)) send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd != nullptr && focus_ == hwnd && isWindow(hwnd)) {
    send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  }
}

HWND WindowSystem::setFocus(HWND hwnd) {
  HWND old = focus_;
  if (hwnd != nullptr && (find(hwnd) == nullptr || !isEnabled(hwnd))) return nullptr;
  if (hwnd != nullptr && active_ != hwnd && isVisible(hwnd)) {
    requireBackend().activate(hwnd);
    activate(hwnd, true);
  }
  changeFocus(hwnd);
  return old;
}

HWND WindowSystem::setCapture(HWND hwnd) {
  HWND old = capture_;
  if (find(hwnd) == nullptr) return old;
  if (old == hwnd) return old;
  if (old != nullptr) {
    requireBackend().setCapture(old, false);
    send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  }
  capture_ = hwnd;
  requireBackend().setCapture(hwnd, true);
  return old;
}

bool WindowSystem::releaseCapture() {
  HWND old = capture_;
  if (old == nullptr) return true;
  capture_ = nullptr;
  if (isWindow(old)) {
    requireBackend().setCapture(old, false);
    send(old, WM_CAPTURECHANGED, 0, 0);
    // A leave that was held back while the capture lasted is due now.
    if (Window* w = find(old); w != nullptr && w->trackLeave && pointerWindow_ != old) {
      w->trackLeave = false;
      enqueue(old, WM_MOUSELEAVE, 0, 0);
    }
  }
  return true;
}

int WindowSystem::setCursor(int cursorId) {
  const int old = cursor_;
  cursor_ = cursorId;
  return old;
}

void WindowSystem::flushCursor() {
  HWND target = capture_ != nullptr ? capture_ : pointerWindow_;
  if (find(target) == nullptr) return;
  if (cursor_ == appliedCursor_ && target == appliedCursorWindow_) return;
  appliedCursor_ = cursor_;
  appliedCursorWindow_ = target;
  requireBackend().setCursor(target, cursor_);
}

bool WindowSystem::showSystemMenu(HWND hwnd, int x, int y) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  static const std::string restore = "Restore", move = "Move", minimize = "Minimize",
                           maximize = "Maximize", close = "Close";
  const bool max = w->maximized;
  const bool min = w->minimized;
  std::vector<MenuItem> items{
      {static_cast<UINT>(SC_RESTORE), restore, max || min},
      {static_cast<UINT>(SC_MOVE), move, !max},
      {static_cast<UINT>(SC_MINIMIZE), minimize, !min && (w->style & WS_MINIMIZEBOX) != 0},
      {static_cast<UINT>(SC_MAXIMIZE), maximize, !max && (w->style & WS_MAXIMIZEBOX) != 0},
      {static_cast<UINT>(SC_CLOSE), close, true},
  };
  if (capture_ != nullptr) releaseCapture();  // the menu needs the pointer itself
  const std::optional<UINT> chosen = requireBackend().popupMenu(hwnd, items, {x, y});
  if (chosen && isWindow(hwnd)) post(hwnd, WM_COMMAND, *chosen, 0);
  return chosen.has_value();
}

}  // namespace platform::window
