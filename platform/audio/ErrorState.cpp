#include "platform/audio/ErrorState.h"

namespace platform::audio {
namespace {
thread_local int lastErrorCode = 0;
}

void setError(int code) { lastErrorCode = code; }
int lastError() { return lastErrorCode; }

}  // namespace platform::audio
