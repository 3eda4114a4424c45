#include "platform/window/BackendChoice.h"

#include <cstdlib>
#include <string_view>

#include "platform/window/headless/HeadlessBackend.h"
#include "platform/window/win32/Win32Backend.h"

namespace platform::window {

std::unique_ptr<Backend> makeDefaultBackend() {
  const char* choice = std::getenv("TUNORA_WINDOW_BACKEND");
  if (choice != nullptr && std::string_view(choice) == "headless") {
    return std::make_unique<HeadlessBackend>();
  }
  return std::make_unique<Win32Backend>();
}

}  // namespace platform::window
