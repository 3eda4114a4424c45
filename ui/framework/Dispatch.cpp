// The pointer: capture, hover, presses, clicks, focus changes from presses, window drags
// on empty area and the application's pointer callbacks.

#include "ui/framework/ExWindowState.h"

namespace ui {

void ExWindow::State::fireControlEvent(const ControlEventCallback& fn, int controlIndex) {
  if (!fn || controlIndex == 0) return;
  const ControlRecord* r = controlRecord(windowIndex, controlIndex);
  if (r == nullptr || r->object == nullptr) return;
  const ControlEventCallback keep = fn;  // the callback may replace itself
  keep(hwnd, r->controlId, r->object, r->kind);
}

void ExWindow::State::moveFocus(int to, LPARAM gainedOccasion, bool withGainRepaint) {
  WindowEntry* e = entry();
  if (e == nullptr) return;
  const int from = e->interaction.focused;
  if (from == to) return;
  // Set first, so the loser repaints itself as unfocused.
  e->interaction.focused = to;
  if (from != 0) {
    sendToControl(windowIndex, from, hwnd, pw::WM_PAINT, 0, kPaintFocusLost);
    fireControlEvent(onFocusLost, from);
  }
  if (to != 0 && entry() != nullptr && entry()->interaction.focused == to) {
    if (withGainRepaint) sendToControl(windowIndex, to, hwnd, pw::WM_PAINT, 0, gainedOccasion);
    fireControlEvent(onFocusGained, to);
  }
}

void ExWindow::State::showSystemMenuAt(LPARAM lParam) {
  const HWND window = hwnd;
  pw::RECT r;
  pw::GetWindowRect(window, &r);
  pw::SendMessageA(window, pw::WM_NCLBUTTONDOWN, pw::HTCAPTION, 0);
  pw::TrackPopupMenu(systemMenu, 0, r.left + pw::loWordSigned(lParam) + 5, r.top + pw::hiWordSigned(lParam) + 10, 0,
                     window, nullptr);
  pw::SendMessageA(window, pw::WM_NCLBUTTONDOWN, pw::HTCAPTION, 0);
}

int ExWindow::State::mouseDispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  WindowEntry* e = entry();
  if (e == nullptr) return 0;
  const bool doubleClick = message == pw::WM_LBUTTONDOWN && wParam == static_cast<WPARAM>(kEditKeyMarker);
  // Controls hear a double click as such; the host treats it as a press.
  const UINT toControl = doubleClick ? pw::WM_LBUTTONDBLCLK : message;
  lastPointer = lParam;

  if (e->interaction.captureActive) {
    const int pressed = e->interaction.pressed;
    const ControlRecord* r = controlRecord(windowIndex, pressed);
    if (r != nullptr && r->visible && r->object != nullptr) {
      sendToControl(windowIndex, pressed, hwnd, toControl, wParam, lParam);
      if (message == pw::WM_LBUTTONUP && (e = entry()) != nullptr) {
        // The capture ends before the click, so whatever the click starts finds it ended.
        e->interaction.captureActive = false;
        e->interaction.pressed = 0;
        pw::ReleaseCapture();
        if (entry() != nullptr && hitTest(windowIndex, lParam) == pressed) {
          sendToControl(windowIndex, pressed, hwnd, kMsgClick, 0, lParam);
          const ControlRecord* now = controlRecord(windowIndex, pressed);
          if (now != nullptr && iconPanel && now->object == iconPanel.get()) {
            showSystemMenuAt(lParam);
          } else {
            fireControlEvent(onClick, pressed);
          }
        }
      }
      return pressed;
    }
    // The pressed control was hidden or destroyed: its capture ends with this message.
    e->interaction.captureActive = false;
    e->interaction.pressed = 0;
    if (pw::GetCapture() == hwnd) pw::ReleaseCapture();
    if ((e = entry()) == nullptr) return 0;
  }

  const int hit = hitTest(windowIndex, lParam);
  if (hit != e->interaction.hovered) {
    const int old = e->interaction.hovered;
    e->interaction.hovered = hit;
    if (old != 0) {
      sendToControl(windowIndex, old, hwnd, pw::WM_PAINT, 0, kPaintPointerLeft);
      fireControlEvent(onLeave, old);
    }
    if (message == pw::WM_MOUSEMOVE && hit != 0) fireControlEvent(onEnter, hit);
    if ((e = entry()) == nullptr) return 0;
  }

  if (message == pw::WM_LBUTTONDOWN) {
    const ControlRecord* r = controlRecord(windowIndex, hit);
    if (r != nullptr && r->object != nullptr && r->takesPress && r->object->stateFlag() == 0) {
      e->interaction.captureActive = true;
      e->interaction.pressed = hit;
      pw::SetCapture(hwnd);
      // A press takes the focus without its keyboard look; a control that showed the look
      // hears that it goes.
      const bool lookWent = e->interaction.focusByKey && hit == e->interaction.focused;
      e->interaction.focusByKey = false;
      if (hit != e->interaction.focused) moveFocus(hit, kPaintPlain, false);
      else if (lookWent) sendToControl(windowIndex, hit, hwnd, pw::WM_PAINT, 0, kPaintPlain);
      // SetFocus sends the window that had the keyboard its WM_KILLFOCUS.
      if (entry() != nullptr && pw::GetFocus() != hwnd) pw::SetFocus(hwnd);
    } else {
      e->interaction.focusByKey = false;
      moveFocus(0, kPaintPlain, false);
      if (entry() != nullptr && dragLocked == 0) pw::SendMessageA(hwnd, pw::WM_NCLBUTTONDOWN, pw::HTCAPTION, 0);
    }
    if (entry() == nullptr) return 0;
  }

  if (hit != 0) {
    sendToControl(windowIndex, hit, hwnd, toControl, wParam, lParam);
    const ControlRecord* r = controlRecord(windowIndex, hit);
    if (r != nullptr && r->object != nullptr) {
      const int cursor = r->object->cursorId();
      if (cursor != 0 && cursor != pw::IDC_ARROW) pw::SetCursor(pw::LoadCursorA(nullptr, cursor));
    }
  }
  return hit;
}

LRESULT ExWindow::State::onMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == pw::WM_MOUSEMOVE && !mouseTracking) {
    pw::TRACKMOUSEEVENT request;
    request.dwFlags = pw::TME_LEAVE;
    request.hwndTrack = hwnd;
    mouseTracking = pw::TrackMouseEvent(&request);
  }
  // Input waits while a redraw composes or fades in; so does a click on a resize border.
  if (animationBusy || borderHitTest(message, lParam)) return goOn(message, wParam, lParam);
  const int hit = mouseDispatch(message, wParam, lParam);
  if (entry() == nullptr) return 0;
  switch (message) {
    case pw::WM_LBUTTONDOWN:
      if (hit == 0) {
        if (wParam == static_cast<WPARAM>(kEditKeyMarker) && pw::hiWordSigned(lParam) < kCaptionBandHeight &&
            (captionButtonSet & kCaptionMaximize) != 0) {
          toggleMaximise();
        }
      } else {
        fireControlEvent(wParam == static_cast<WPARAM>(kEditKeyMarker) ? onDoubleClick : onLeftDown, hit);
      }
      break;
    case pw::WM_LBUTTONUP:
      fireControlEvent(onLeftUp, hit);
      break;
    case pw::WM_RBUTTONDOWN:
      if (hit != 0 && iconPanel) {
        const ControlRecord* r = controlRecord(windowIndex, hit);
        if (r != nullptr && r->object == iconPanel.get()) showSystemMenuAt(lParam);
      }
      fireControlEvent(onRightDown, hit);
      break;
    case pw::WM_RBUTTONUP:
      fireControlEvent(onRightUp, hit);
      break;
    default:
      break;
  }
  if (entry() == nullptr) return 0;
  return goOn(message, wParam, lParam);
}

void ExWindow::State::mouseWheel(WPARAM wParam, LPARAM lParam) {
  if (entry() == nullptr || animationBusy) return;
  pw::POINT p{pw::loWordSigned(lParam), pw::hiWordSigned(lParam)};
  pw::ScreenToClient(hwnd, &p);
  int target = hitTest(windowIndex, pw::makeLParam(p.x, p.y));
  if (target == 0) target = entry()->interaction.focused;
  if (target != 0) sendToControl(windowIndex, target, hwnd, pw::WM_MOUSEWHEEL, wParam, lParam);
}

void ExWindow::State::captureLost(HWND newOwner) {
  WindowEntry* e = entry();
  if (e == nullptr || newOwner == hwnd || !e->interaction.captureActive) return;
  const int pressed = e->interaction.pressed;
  e->interaction.captureActive = false;
  e->interaction.pressed = 0;
  // The press ends without a click: the control hears a release where the pointer was
  // last seen, then that the pointer left, so it drops its pressed look and any repeat.
  sendToControl(windowIndex, pressed, hwnd, pw::WM_LBUTTONUP, 0, lastPointer);
  if ((e = entry()) == nullptr) return;
  if (e->interaction.hovered == pressed) {
    endHover();
  } else {
    sendToControl(windowIndex, pressed, hwnd, pw::WM_PAINT, 0, kPaintPointerLeft);
  }
}

void ExWindow::State::endHover() {
  WindowEntry* e = entry();
  if (e == nullptr || e->interaction.hovered == 0) return;
  const int old = e->interaction.hovered;
  e->interaction.hovered = 0;
  sendToControl(windowIndex, old, hwnd, pw::WM_PAINT, 0, kPaintPointerLeft);
  fireControlEvent(onLeave, old);
}

}  // namespace ui
