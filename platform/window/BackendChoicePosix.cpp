#include "platform/window/BackendChoice.h"

#include <cstdlib>
#include <string_view>

#include "platform/window/gtk/GtkBackend.h"
#include "platform/window/headless/HeadlessBackend.h"

namespace platform::window {

std::unique_ptr<Backend> makeDefaultBackend() {
  const char* choice = std::getenv("TUNORA_WINDOW_BACKEND");
  if (choice != nullptr && std::string_view(choice) == "headless") {
    return std::make_unique<HeadlessBackend>();
  }
  // Without a display the program still runs, on the in-memory desktop.
  if (!GtkBackend::open()) return std::make_unique<HeadlessBackend>();
  return std::make_unique<GtkBackend>();
}

}  // namespace platform::window
