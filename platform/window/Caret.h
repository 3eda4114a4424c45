#pragma once
// The system caret, shaped like the user32 calls: one per UI thread, owned by a window.
// It is never drawn here (controls draw their own); it tells the desktop's input method
// where text goes in, so a candidate window opens beside the caret. Coordinates are the
// owner's client coordinates. UI thread; other threads' calls run there.

#include "platform/window/WindowTypes.h"

namespace platform::window {

// Gives hwnd the caret (width x height), replacing any other window's.
bool CreateCaret(HWND hwnd, int width, int height);
// Moves the caret and tells the input method; false when no window owns it.
bool SetCaretPos(int x, int y);
bool GetCaretPos(POINT* out);
// Takes the caret from its window; the input method forgets the place.
bool DestroyCaret();
// The window that owns the caret, null when none does.
HWND GetCaretOwner();

}  // namespace platform::window
