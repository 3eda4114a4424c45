// Editing the box from the keyboard: typed bytes, the editing keys the host forwards with
// its marker, and the desktop clipboard.

#include <algorithm>

#include "platform/window/DesktopServices.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ExEdit.h"

namespace ui::controls {

namespace pw = platform::window;

bool ExEdit::shiftHeld() const { return pw::GetKeyState(pw::VK_SHIFT) < 0; }

void ExEdit::onChar(WPARAM code, LPARAM flags) {
  if (flags == kEditKeyMarker) {
    sharedTypingJoin().reset();
    editingKey(code);
  } else {
    typed(static_cast<unsigned>(code & 0xFF));
  }
}

void ExEdit::typed(unsigned code) {
  const TypedAction action = sharedTypingJoin().take(code, mode_);
  if (action.kind == TypedAction::kBackspace) removeBack(false);
  else if (action.kind == TypedAction::kInsert) insertText(action.bytes);
}

void ExEdit::afterEdit(float oldWidth, bool deleting) {
  layout();
  if (textRect_.width >= textWidth()) {
    scroll_ = 0;
  } else if (deleting && scroll_ < 0) {
    // Keep the right end where it was, as text disappears from the left of it.
    scroll_ = std::min(0.0f, scroll_ + oldWidth - textWidth());
  }
  scroll_ = std::clamp(scroll_, scrollLimit(), 0.0f);
  placeCaret();
  if (caretTimerOn_) blink_ = 1;  // the caret stays visible while typing
  repaintBox();
}

void ExEdit::removeBack(bool forward) {
  if (mode_ == kEditReadOnly || model_.characterCount() == 0) {
    placeCaret();
    return;
  }
  const float oldWidth = textWidth();
  const bool removed = forward ? model_.deleteForward() : model_.deleteBackward();
  if (removed) afterEdit(oldWidth, true);
  else placeCaret();
}

void ExEdit::insertText(const std::string& bytes) {
  if (mode_ == kEditReadOnly) return;
  const float oldWidth = textWidth();
  const bool hadSelection = model_.hasSelection();
  const int inserted = model_.insert(bytes);
  if (inserted > 0 || hadSelection) afterEdit(oldWidth, inserted == 0);
}

void ExEdit::copyToClipboard() {
  // An empty selection leaves what the clipboard holds alone.
  if (model_.hasSelection()) pw::setClipboardText(model_.selectedText());
}

void ExEdit::paste() {
  if (mode_ == kEditReadOnly) return;
  const std::string pasted = filterPasted(pw::clipboardText(), mode_);
  if (!pasted.empty()) insertText(pasted);
}

void ExEdit::cut() {
  if (mode_ == kEditReadOnly || mode_ == kEditPassword || !model_.hasSelection()) return;
  copyToClipboard();
  removeBack(false);
}

void ExEdit::selectAll() {
  model_.selectAll();
  placeCaret();
  repaintBox();
}

void ExEdit::editingKey(WPARAM key) {
  const bool shift = shiftHeld();
  const int count = model_.characterCount();
  switch (key) {
    case 'A':
      selectAll();
      break;
    case 'C':
      if (mode_ != kEditPassword) copyToClipboard();
      break;
    case 'V':
      paste();
      break;
    case 'X':
      cut();
      break;
    case pw::VK_HOME:
      model_.moveCaret(0, shift);
      scroll_ = 0;
      caretBefore(0);
      repaintBox();
      break;
    case pw::VK_END:
      model_.moveCaret(count, shift);
      scroll_ = scrollLimit();
      placeCaret();
      repaintBox();
      break;
    case pw::VK_LEFT:
      model_.moveCaret(model_.caret() - 1, shift);
      placeCaret();
      repaintBox();
      break;
    case pw::VK_RIGHT:
      model_.moveCaret(model_.caret() + 1, shift);
      placeCaret();
      repaintBox();
      break;
    case pw::VK_DELETE:
      removeBack(true);
      break;
    default:
      break;
  }
}

}  // namespace ui::controls
