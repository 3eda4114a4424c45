#pragma once
// Top-level windows of other processes on the X display.

#include <cstdint>
#include <set>
#include <string>

#include "platform/window/Backend.h"

namespace platform::window::x11 {

// The client window whose _NET_WM_NAME (or WM_NAME) is exactly titleUtf8, skipping
// the given windows; 0 when there is none.
std::uint64_t findClientByTitle(const std::string& titleUtf8, const std::set<unsigned long>& skip);
bool windowExists(std::uint64_t xid);
// Maps, de-iconifies, raises and activates (or iconifies / withdraws) the window.
bool showWindow(std::uint64_t xid, NativeShow how);

}  // namespace platform::window::x11
