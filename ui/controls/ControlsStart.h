#pragma once
// Starts the framework with the controls' decorations: window hosts attached afterwards
// get their caption buttons and icon panel, and message boxes their text and buttons, from
// the control classes.

namespace ui::controls {

// ui::start() and the controls' factories (installed again on every call). UI thread.
void start();

}  // namespace ui::controls
