// Keys: editing keys for an edit box, Ctrl+Tab for a scroll bar, Tab and Shift+Tab order,
// Space and Enter as clicks, access keys of push buttons, and the application's key
// callbacks, which hear every key with the focused control still known.

#include "ui/framework/ExWindowState.h"

namespace ui {

namespace {

bool controlHeld() { return pw::GetKeyState(pw::VK_CONTROL) < 0; }

bool isEditingKey(WPARAM key, bool control) {
  switch (key) {
    case 'A':
    case 'C':
    case 'V':
    case 'X':
      return control;
    case pw::VK_DELETE:
    case pw::VK_HOME:
    case pw::VK_END:
    case pw::VK_LEFT:
    case pw::VK_RIGHT:
      return true;
    default:
      return false;
  }
}

int upperAscii(LPARAM code) {
  const int c = static_cast<int>(code & 0xFF);
  return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

}  // namespace

void ExWindow::State::clickControl(int controlIndex) {
  const ControlRecord* r = controlRecord(windowIndex, controlIndex);
  // A hidden or disabled control cannot be clicked from the keyboard either.
  if (r == nullptr || r->object == nullptr || !r->visible || !r->enabled) return;
  sendToControl(windowIndex, controlIndex, hwnd, kMsgClick, kClickByKey, 0);
  fireControlEvent(onClick, controlIndex);
}

bool ExWindow::State::isTabStop(int controlIndex) const {
  const ControlRecord* r = controlRecord(windowIndex, controlIndex);
  if (r == nullptr || !r->visible || !r->enabled || r->object == nullptr || !r->takesPress) return false;
  if (r->kind == kKindCaptionButton || (iconPanel && r->object == iconPanel.get())) return false;
  return r->object->stateFlag() == 0;
}

int ExWindow::State::tabStop(int from, int direction) const {
  const WindowEntry* e = entry();
  if (e == nullptr) return 0;
  const int count = static_cast<int>(e->controls.size());
  int index = (from >= 1 && from <= count) ? from : (direction > 0 ? 0 : count + 1);
  for (int step = 0; step < count; ++step) {
    index += direction > 0 ? 1 : -1;
    if (index > count) index = 1;
    if (index < 1) index = count;
    if (isTabStop(index)) return index;
  }
  return 0;
}

void ExWindow::State::focusByKeyboard(int controlIndex) {
  WindowEntry* e = entry();
  if (e == nullptr || controlIndex == 0) return;
  const bool wasShown = e->interaction.focusByKey;
  e->interaction.focusByKey = true;
  if (e->interaction.focused != controlIndex) {
    moveFocus(controlIndex, kPaintPlain, true);
  } else if (!wasShown) {
    // Already focused by the pointer: only its look changes.
    sendToControl(windowIndex, controlIndex, hwnd, pw::WM_PAINT, 0, kPaintPlain);
  }
  if (entry() != nullptr && pw::GetFocus() != hwnd) pw::SetFocus(hwnd);
}

void ExWindow::State::keyDown(WPARAM wParam, LPARAM lParam) {
  WindowEntry* e = entry();
  if (e == nullptr) return;
  const int focused = e->interaction.focused;
  const ControlRecord* r = controlRecord(windowIndex, focused);
  const bool control = controlHeld();
  // The focus moves when Tab comes up, but Shift is often let go first.
  if (wParam == pw::VK_TAB) tabBackwards = pw::GetKeyState(pw::VK_SHIFT) < 0;
  if (r != nullptr && r->object != nullptr) {
    if (r->kind == kKindEdit && isEditingKey(wParam, control)) {
      sendToControl(windowIndex, focused, hwnd, pw::WM_CHAR, wParam, kEditKeyMarker);
    }
    r = controlRecord(windowIndex, focused);
    if (r != nullptr && wParam == pw::VK_TAB && control && r->kind == kKindScrollBar) {
      sendToControl(windowIndex, focused, hwnd, kMsgCtrlTab, 0, 0);
    }
    r = controlRecord(windowIndex, focused);
    // On a list or a slider the application's key callback decides what they do: a click
    // there would act at wherever the pointer happens to be.
    const bool clicks = r != nullptr && r->kind != kKindList && r->kind != kKindSlider;
    if (clicks && (wParam == pw::VK_SPACE || wParam == pw::VK_RETURN)) {
      clickControl(focused);
    } else if (r != nullptr && !control && (e = entry()) != nullptr) {
      // The access key alone clicks its button while that button has the focus.
      const auto key = e->accessKeys.find(r->controlId);
      if (key != e->accessKeys.end() && static_cast<WPARAM>(key->second) == wParam) clickControl(focused);
    }
  }
  if ((e = entry()) == nullptr) return;
  const int target = e->interaction.focused;
  sendToControl(windowIndex, target, hwnd, pw::WM_KEYDOWN, wParam, lParam);
  if (onKeyDown && entry() != nullptr) {
    const ControlRecord* now = controlRecord(windowIndex, target);
    const KeyEventCallback keep = onKeyDown;
    keep(hwnd, now ? now->controlId : 0, wParam, lParam);
  }
}

void ExWindow::State::keyUp(WPARAM wParam, LPARAM lParam) {
  WindowEntry* e = entry();
  if (e == nullptr) return;
  if (wParam == pw::VK_TAB && !controlHeld()) {
    const bool backwards = tabBackwards || pw::GetKeyState(pw::VK_SHIFT) < 0;
    tabBackwards = false;
    const int next = tabStop(e->interaction.focused, backwards ? -1 : 1);
    if (next != 0) focusByKeyboard(next);
  }
  if ((e = entry()) == nullptr) return;
  const int target = e->interaction.focused;
  sendToControl(windowIndex, target, hwnd, pw::WM_KEYUP, wParam, lParam);
  if (onKeyUp && entry() != nullptr) {
    const ControlRecord* now = controlRecord(windowIndex, target);
    const KeyEventCallback keep = onKeyUp;
    keep(hwnd, now ? now->controlId : 0, wParam, lParam);
  }
}

void ExWindow::State::character(WPARAM wParam, LPARAM lParam) {
  const WindowEntry* e = entry();
  if (e == nullptr) return;
  const int target = e->interaction.focused;
  sendToControl(windowIndex, target, hwnd, pw::WM_CHAR, wParam, lParam);
  if (onCharacter && entry() != nullptr) {
    const ControlRecord* now = controlRecord(windowIndex, target);
    const KeyEventCallback keep = onCharacter;
    keep(hwnd, now ? now->controlId : 0, wParam, lParam);
  }
}

void ExWindow::State::systemKeyDown(WPARAM wParam, LPARAM /*lParam*/) {
  const WindowEntry* e = entry();
  if (e == nullptr) return;
  for (const auto& [controlId, key] : e->accessKeys) {
    if (static_cast<WPARAM>(key) != wParam) continue;
    const int index = controlIndexOf(windowIndex, controlId);
    if (index != 0) {
      clickControl(index);
      return;
    }
  }
}

LRESULT ExWindow::State::registerAccessKey(WPARAM controlId, LPARAM key) {
  WindowEntry* e = entry();
  const int id = static_cast<int>(controlId);
  const int upper = upperAscii(key);
  if (e == nullptr || id <= 0 || controlIndexOf(windowIndex, id) == 0) return 0;
  if (upper == 0) {
    e->accessKeys.erase(id);
    return 0;
  }
  e->accessKeys[id] = upper;
  return 1;
}

}  // namespace ui
