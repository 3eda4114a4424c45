#pragma once

namespace platform::window {

// The virtual-key code for a GDK key value, 0 for keys without one.
int virtualKeyFromGdk(unsigned keyval);

}  // namespace platform::window
