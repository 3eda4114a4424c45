#pragma once
// Tooltip windows of class "tooltips_class32", drawn by us: a tool is a rectangle of a
// window with a text; when the pointer rests in it for the initial delay, the tip shows
// below the pointer, and it goes on a press, on leaving the rectangle or on TTM_POP.
// Create one with CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, ...) and talk to it
// with the TTM_ messages (lParam: TOOLINFOA*; texts in the ANSI code page). Its window
// text is the text of the tip on show, so tests can read what it says.

#include "platform/window/WindowTypes.h"

namespace platform::gfx {
class Font;
}

namespace platform::window {

inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_SUBCLASS = 0x0010;

struct TOOLINFOA {
  UINT cbSize = sizeof(TOOLINFOA);
  UINT uFlags = 0;
  HWND hwnd = nullptr;
  UINT_PTR uId = 0;
  RECT rect;
  void* hinst = nullptr;
  const char* lpszText = nullptr;
};

// Registers the tooltip class in the current window system (done on first use by the
// window system itself).
void registerTooltipClass();

// Tips are drawn in a copy of this font (the framework's default font); null, or never
// set, means a 12 px sans-serif.
void setTooltipFont(const gfx::Font* font);

// Shows pointer traffic of every window to the tooltips that have tools on it.
void relayToTooltips(const MSG& msg);

}  // namespace platform::window
