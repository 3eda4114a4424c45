#pragma once
// The demo's report list: 1 000 rows like search results, each with a small cover picture
// and the title over the singer, scrolled with the wheel, the arrows or the thumb.

#include "ui/controls/ExImageList.h"
#include "ui/controls/ExList.h"

namespace demo {

struct DemoWindow;

inline constexpr int kDemoListRows = 1000;

struct DemoList {
  ui::ExImageList covers;
  ui::controls::ExList list;
};

// Makes the list at (16, 360, 264, 170) in the demo window and fills it.
void createDemoList(DemoWindow& window);

}  // namespace demo
