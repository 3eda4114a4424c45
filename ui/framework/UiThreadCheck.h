#pragma once
// Stand-in for the window layer's UI-thread assertion until that lands.

#ifndef TUNORA_ASSERT_UI_THREAD
#define TUNORA_ASSERT_UI_THREAD() ((void)0)
#endif
