#include "tools/framework-demo/DemoEdit.h"

#include "platform/text/CodePage.h"
#include "tools/framework-demo/DemoWindow.h"

namespace demo {

void createDemoEdit(DemoWindow& window) {
  DemoEdit& part = window.edit;
  ui::controls::EditOptions look;
  look.textColor = 0xC8FFFFFFu;
  look.backColor = 0x1E000000u;
  look.borderColor = 0;
  part.box.create(window.hwnd, platform::text::utf8ToAnsi("请输入歌曲/歌手名"), {16, 540, 264, 26}, look);
  // The hint is ordinary text: the first press on the box clears it.
  part.box.subscribe(platform::window::WM_LBUTTONDOWN, [&part](int, int, ui::WPARAM, ui::LPARAM) {
    if (!part.hintShown) return;
    part.hintShown = false;
    part.box.text("");
  });
}

}  // namespace demo
