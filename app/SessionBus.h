#pragma once

namespace app {

// A session bus is named (its address, or the user's bus socket). Without one GLib would
// start a bus of its own through X11; a program without a session bus simply has no
// desktop faces.
bool SessionBusKnown();

}  // namespace app
