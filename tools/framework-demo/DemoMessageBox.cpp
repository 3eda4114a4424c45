#include "tools/framework-demo/DemoMessageBox.h"

#include <array>
#include <string>

#include "platform/text/CodePage.h"
#include "tools/framework-demo/DemoWindow.h"
#include "ui/framework/MessageBox.h"

namespace demo {

namespace {

constexpr int kSets = 6;
constexpr std::array<int, kSets> kIcons = {ui::kBoxIconInformation, ui::kBoxIconQuestion, ui::kBoxIconWarning,
                                           ui::kBoxIconError,       ui::kBoxIconSuccess,  ui::kBoxIconNone};

std::string textFor(int set) {
  return platform::text::utf8ToAnsi("第 " + std::to_string(set + 1) + " 组按钮（共 6 组）。\r\n按下一个按钮，或按 Esc 关闭。");
}

}  // namespace

void createDemoMessageBox(DemoWindow& window, std::function<void(const char*, int, int)> log) {
  DemoMessageBox& part = window.messageBox;
  part.open.create(window.hwnd, platform::text::utf8ToAnsi("消息框…"), {196, 100, 84, 26});
  // Opened from the button's own click, as an application opens its prompts.
  part.open.subscribe(ui::kMsgClick, [&window, log](int, int, ui::WPARAM, ui::LPARAM) {
    const int set = window.messageBox.shown++ % kSets;
    const int code = ui::showMessageBox(window.hwnd, textFor(set), set, std::nullopt, kIcons[static_cast<std::size_t>(set)]);
    if (log) log("msgbox", set, code);
  });
}

}  // namespace demo
