#pragma once
// The UI-thread assertion for control operations, from the window layer once it offers one.

#if __has_include("platform/window/UiThread.h")
#include "platform/window/UiThread.h"
#else
#define TUNORA_ASSERT_UI_THREAD() static_cast<void>(0)
#endif
