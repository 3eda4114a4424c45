#include "platform/window/BackendChoice.h"

#include "platform/window/headless/HeadlessBackend.h"

namespace platform::window {

// A system without a desktop back end of its own runs on the in-memory desktop.
std::unique_ptr<Backend> makeDefaultBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace platform::window
