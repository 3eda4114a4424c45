#pragma once
// Icons and cursors behind their handles.

#include <cstdint>
#include <vector>

#include "platform/window/WindowTypes.h"

namespace platform::window {

// Copies the pixels; the icon lives until DestroyIcon. Null for an empty view.
HICON CreateIconFromPixels(PixelView pixels);
bool DestroyIcon(HICON icon);
// The icon's pixels, or an empty view for a handle that is not (or no longer) an icon.
PixelView iconPixels(HICON icon);
// A stock icon (IDI_APPLICATION); the module argument must be null.
HICON LoadIconA(std::nullptr_t module, int id);

// A system cursor by id (IDC_ARROW, IDC_HAND, ...); null for an unknown id.
HCURSOR LoadCursorA(std::nullptr_t module, int id);
// The system cursor id behind a handle, 0 for none.
int cursorIdOf(HCURSOR cursor);

}  // namespace platform::window
