#pragma once
// Windows, surfaces and controls belong to the UI thread. Operations of the window host
// and the controls start with TUNORA_ASSERT_UI_THREAD(), so a worker that forgot
// invokeOnUiThread fails a test at once instead of racing. Active in debug builds.

#include "platform/window/WindowApi.h"

namespace platform::window {

// Aborts with a message naming the operation when called off the UI thread.
void requireUiThread(const char* file, int line, const char* function);

}  // namespace platform::window

#ifdef NDEBUG
#define TUNORA_ASSERT_UI_THREAD() static_cast<void>(0)
#else
#define TUNORA_ASSERT_UI_THREAD() \
  ::platform::window::requireUiThread(__FILE__, __LINE__, static_cast<const char*>(__func__))
#endif
