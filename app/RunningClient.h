#pragma once

namespace app {

// Shows the running client's window instead of starting a second one. True when one was
// found: the caller then ends at once. Where the window system cannot look into other
// processes before a window exists, false here, and the main window looks when created.
bool ShowRunningClient();

}  // namespace app
