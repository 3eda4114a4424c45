#pragma once

namespace platform::audio {

// The last error of the calling thread, as BASS_ErrorGetCode reports it.
void setError(int code);
int lastError();

}  // namespace platform::audio
