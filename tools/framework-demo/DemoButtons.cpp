#include "tools/framework-demo/DemoButtons.h"

#include <cstdio>

#include "platform/system/Files.h"
#include "platform/system/ProgramFolder.h"
#include "platform/text/CodePage.h"
#include "tools/framework-demo/DemoWindow.h"

namespace demo {

namespace {

constexpr int kCell = 36;  // the sheet's cell size
constexpr float kRowTop = 248;
constexpr float kRowLeft = 20;
constexpr float kRowGap = 8;

resources::ExImage cellOf(const resources::ExImage& sheet, int glyph, int look) {
  resources::ExImage cell;
  if (const platform::gfx::Image* whole = sheet.GetHandle()) cell.SetHandle(whole->cloneArea(look * kCell, glyph * kCell, kCell, kCell));
  return cell;
}

std::string ansi(const char* utf8) { return platform::text::utf8ToAnsi(utf8); }

void showCount(DemoButtons& parts) {
  parts.counter.text(ansi("按钮行已点击 ") + std::to_string(parts.rowClicks) + ansi(" 次"));
}

}  // namespace

void createDemoButtons(DemoWindow& window, const std::string& pictureFolder) {
  DemoButtons& parts = window.buttons;
  const auto path = platform::system::pathInFolder(pictureFolder, "demo-buttons.png");
  resources::ExImage sheet;
  if (!sheet.LoadFromFile(path)) std::fprintf(stderr, "missing demo-buttons.png in %s\n", pictureFolder.c_str());

  for (std::size_t i = 0; i < parts.row.size(); ++i) {
    const int glyph = static_cast<int>(i);
    const float x = kRowLeft + static_cast<float>(i) * (kCell + kRowGap);
    parts.row[i].create(window.hwnd, {x, kRowTop, kCell, kCell}, cellOf(sheet, glyph, 0), cellOf(sheet, glyph, 1),
                        cellOf(sheet, glyph, 2), 0);
    parts.row[i].tip(ansi("媒体按钮"));
    parts.row[i].subscribe(ui::kMsgClick, [&parts](int, int, ui::WPARAM, ui::LPARAM) {
      ++parts.rowClicks;
      showCount(parts);
    });
  }

  ui::controls::LabelOptions glowing;
  glowing.fillMode = 1;
  glowing.fillFrom = 0xB44FD1C5u;
  glowing.fillTo = 0x3C9F7AEAu;
  glowing.borderColour = 0x96FFFFFFu;
  glowing.textColour = 0xFF1B1E38u;
  glowing.glow = true;
  glowing.effectColour = 0xF0FFFFFFu;  // a bright halo, plainer to see than the default
  glowing.fontSize = 14.0f;
  parts.glowing.create(window.hwnd, ansi("渐变背景与光晕文字"), {20, 292, 170, 28}, glowing);

  ui::controls::LabelOptions plain;
  plain.textColour = 0xE6FFFFFFu;
  plain.alignment = 3;
  parts.counter.create(window.hwnd, "", {20, 324, 170, 26}, plain);
  showCount(parts);

  ui::controls::LabelOptions swatch;
  swatch.fillMode = 1;
  swatch.fillFrom = 0xFFF6AD55u;
  swatch.fillTo = 0xFFF6AD55u;
  swatch.borderColour = 0xC8FFFFFFu;
  parts.swatch.create(window.hwnd, "", {204, 296, 72, 52}, swatch);

  parts.play.create(window.hwnd, ansi("播放(&P)"), {196, 136, 84, 26});
  parts.play.subscribe(ui::kMsgClick, [&parts](int, int, ui::WPARAM, ui::LPARAM) {
    parts.playing = !parts.playing;
    parts.play.setCaption(ansi(parts.playing ? "暂停(&P)" : "播放(&P)"));
  });
}

}  // namespace demo
