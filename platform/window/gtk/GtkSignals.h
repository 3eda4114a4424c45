#pragma once
// Wires a window's GTK signals to the back end. The handlers only queue events, so a
// window procedure never runs inside a native signal handler.

#include "platform/window/gtk/GtkNative.h"

namespace platform::window {

void connectSignals(GtkBackend::Native* n);

}  // namespace platform::window
