#pragma once
// Starts the framework with the controls' decorations: window hosts attached afterwards
// get their caption buttons and icon panel from the control classes.

namespace ui::controls {

// ui::start() and the decoration factory (installed again on every call). UI thread.
void start();

}  // namespace ui::controls
