#pragma once
// Playing the chosen song and keeping the playback controls in step with it.
//
// A double click looks the song's link up (result list) or takes it from the preset file,
// then hands a play request to the play worker. Requests are served one at a time and a
// newer one supersedes any that has not finished: at most one stream exists, and no
// stream is left behind unfreed. Every new stream starts silent and slides up to the
// volume slider's level in 150 ms.
//
// The playback state (current stream, links) is guarded by one mutex; the worker reaches
// the controls only through platform::window::invokeOnUiThread and never holds the mutex
// while it waits for the UI thread.

#include "audio/AudioEngine.h"
#include "platform/window/WindowTypes.h"

namespace ui {
class ControlObject;
}

namespace app {

// The one audio object of the program.
audio::AudioEngine& audioEngine();

// The window host's left-double-click callback. UI thread.
platform::window::LRESULT OnListDoubleClick(platform::window::HWND window, int controlId,
                                            ui::ControlObject* control, int kind);

// The play/pause button. UI thread.
void TogglePause();
// The position slider's change callback, a whole percent. UI thread.
void SeekToPercent(int percent);
// The volume slider's change callback: slides the stream and stores the value. UI thread.
void ChangeVolume(int volume);
// The 150 ms timer: elapsed time, position, buffered share; tidies up after a song ends.
// UI thread.
void UpdateProgress();
// Before the window closes: ends the play worker (letting window messages through while
// it finishes its step) and frees the current stream. UI thread.
void CloseCurrentStream();

// The stream being played, 0 for none. Any thread.
HSTREAM CurrentStream();
// Waits until the play worker has served every request handed to it, letting window
// messages through meanwhile; for tests and benchmarks. UI thread.
void WaitForPlayRequests();

}  // namespace app
