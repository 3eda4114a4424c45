#pragma once
// The framework's window class and the small window routines built on it.

#include <optional>
#include <string>

#include "platform/window/WindowApi.h"

namespace ui {

inline constexpr const char* kFrameworkClassName = "Ex_DirectUI";

// Registers a window class: the given style or CS_DBLCLKS, the given icon or the
// program's window icon, the given cursor or the arrow. True when it was registered.
bool registerWindowClass(platform::window::WNDPROC windowProcedure,
                         const std::optional<std::string>& className = std::nullopt,
                         std::optional<platform::window::HICON> icon = std::nullopt,
                         std::optional<platform::window::UINT> classStyle = std::nullopt,
                         std::optional<platform::window::HCURSOR> cursor = std::nullopt);

// The class procedure of "Ex_DirectUI": the window system's default handling.
platform::window::LRESULT defaultWindowProcedure(platform::window::HWND hwnd, platform::window::UINT message,
                                                 platform::window::WPARAM wParam,
                                                 platform::window::LPARAM lParam);

// Starts (or restarts) a window timer; without an interval, the framework's default.
platform::window::UINT_PTR setTimer(platform::window::HWND hwnd, platform::window::UINT_PTR timerId,
                                    std::optional<int> intervalMs = std::nullopt);

// Installs the rounded rectangle (inset, inset) to (width - inset + 1, height - inset + 1)
// with a radius x radius corner ellipse as the window's region.
void setRoundRegion(platform::window::HWND hwnd, int width, int height, int inset, int radius);

}  // namespace ui
