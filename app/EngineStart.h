#pragma once
// The audio engine's device is opened beside the window's start rather than before the
// window shows: reaching a sound server or probing cards can take longer than drawing it.

namespace app {

// Starts audioEngine().Init() on a thread of its own. UI thread, once.
void StartAudioEngine();

// Returns once that Init has returned (at once when it was never started). Any thread.
void WaitForAudioEngine();

}  // namespace app
