#pragma once
// The one place that decides which back end runs.

#include <memory>

#include "platform/window/Backend.h"

namespace platform::window {

// TUNORA_WINDOW_BACKEND=headless selects the in-memory desktop; anything else (or unset)
// the GTK one.
std::unique_ptr<Backend> makeDefaultBackend();

}  // namespace platform::window
