#include "platform/window/UiThread.h"

#include <cstdio>
#include <cstdlib>

namespace platform::window {

void requireUiThread(const char* file, int line, const char* function) {
  if (isUiThread()) return;
  std::fprintf(stderr, "%s:%d: %s called off the UI thread; use invokeOnUiThread\n", file, line,
               function);
  std::abort();
}

}  // namespace platform::window
