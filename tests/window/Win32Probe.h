#pragma once
// What the win32 window tests ask the system directly, kept apart from the layer's own names.

#include <cstdint>
#include <string>

namespace win32probe {

// Whether this session can show windows at all (Wine without a display cannot).
bool canCreateWindows();
// The native top-level window of our class with this title, or null.
void* findWindow(const std::u16string& title);
std::u16string titleOf(void* native);
unsigned dpiOf(void* native);
// Client pixels.
void postButton(void* native, bool left, bool down, int x, int y);
void postKey(void* native, int virtualKey, bool down);
void postChar(void* native, char16_t unit);
void postImeChar(void* native, char16_t unit);
void postWheel(void* native, int delta, int x, int y);
void postEscape(void* native);
// The input method's way: the string set as the composition, then the composition completed.
bool completeComposition(void* native, const std::u16string& text);
// As the system tells a window moved to a monitor of another DPI, with its suggested frame.
void sendDpiChanged(void* native, unsigned dpi, int left, int top, int right, int bottom);
// The screen's colour at a client pixel, as 0xRRGGBB.
std::uint32_t screenColourAt(void* native, int x, int y);
// The window's frame on the screen, in pixels.
void frameOf(void* native, int& left, int& top, int& right, int& bottom);

}  // namespace win32probe
