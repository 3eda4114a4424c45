#pragma once
// The init thread that builds the main window while the UI thread already runs its
// message loop.

namespace app {

// The init thread's whole work: the controls, the preset list, a working-set trim, then
// tab 1 becomes active.
void BuildMainWindow();

// Starts BuildMainWindow on its own thread.
void StartInitThread();
// Lets a still running init thread finish (serving its calls on the UI thread) and joins
// it. UI thread, after the message loop.
void FinishInitThread();

}  // namespace app
