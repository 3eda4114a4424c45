#pragma once
// The framework's modal message box: a skinned window over its owner with a text, up to
// three push buttons (ui/framework/MessageBoxLook.h has the sets, codes and icon kinds)
// and a status icon. It disables the owner while open, runs its own message loop and
// returns the code of the pressed button.
//
// UI thread only. One set of box objects serves every call; a box opened from inside
// another box's loop gets a set of its own, and the owner they share is enabled again only
// when the last of them closes.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/window/WindowTypes.h"
#include "ui/framework/MessageBoxLook.h"

namespace ui {

using platform::window::HWND;

// Called once the box is built, before it shows: (box window, width, height).
using BoxCreatedCallback = std::function<void(HWND box, int width, int height)>;

// text and title are program texts; the title defaults to "提示：". A framework owner lends
// its skin; an owner that is not a window counts as none. beep != 0 with a non-zero icon
// sounds MessageBeep(icon). Returns the pressed button's code, or kBoxCodeCancel (1) when
// the box closed without one (Escape, its close button, WM_QUIT; a WM_QUIT is posted
// again for the loop outside) or could not be made.
int showMessageBox(HWND owner, std::string_view text, int buttons = kBoxOk,
                   const std::optional<std::string>& title = std::nullopt, int icon = kBoxIconNone,
                   const BoxCreatedCallback& onCreated = {}, int beep = 1);

// The window of the innermost open box, nullptr when none is open.
HWND openMessageBox();

// The window property holding the box's icon kind until a button is pressed.
inline constexpr const char* kMessageBoxProperty = "msg_wnd";

}  // namespace ui
