#pragma once
// The main window's 20 controls. Each is created on the UI thread
// (platform::window::invokeOnUiThread), one at a time, so a window whose loop already runs
// shows them as they come.

#include <functional>

#include "app/MainWindowParts.h"

namespace app {

// Creates controls 1 to 20 on the parts' attached host, in their order, with their
// places, pictures and colours; readVolume is asked just before the volume slider is
// made. Any thread; the work runs on the UI thread.
void CreateMainWindowControls(MainWindowParts& parts, const std::function<int()>& readVolume);

}  // namespace app
