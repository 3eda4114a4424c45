#include "tools/framework-demo/DemoList.h"

#include <array>
#include <string>

#include "platform/gfx/Graphics.h"
#include "platform/text/CodePage.h"
#include "tools/framework-demo/DemoWindow.h"
#include "ui/framework/Drawing.h"

namespace demo {

namespace {

constexpr int kCoverSize = 32;

// Top and bottom colours of the covers: a few dusky gradients with a pale disc.
constexpr std::array<std::array<platform::gfx::Argb, 2>, 6> kCoverColours{{
    {0xFF3B2A63, 0xFFE8875B},
    {0xFF1F4E79, 0xFF7FD1C7},
    {0xFF6A1B4D, 0xFFF2B880},
    {0xFF22313F, 0xFF9AA5B1},
    {0xFF5C3C92, 0xFFF4D35E},
    {0xFF0F5257, 0xFFEE6C4D},
}};

constexpr std::array<const char*, 8> kTitles{"晚风", "海边的信", "Midnight Train", "星河", "归途",
                                             "Paper Moon", "旧城雨季", "北方以北"};
constexpr std::array<const char*, 5> kSingers{"林夏", "周远", "Aria Lane", "陈默", "南山乐队"};

platform::gfx::Surface cover(std::size_t index) {
  platform::gfx::Surface surface = platform::gfx::Surface::create(kCoverSize, kCoverSize);
  if (!surface.valid()) return surface;
  platform::gfx::Graphics g(surface);
  const auto& colours = kCoverColours[index % kCoverColours.size()];
  const float size = kCoverSize;
  ui::fillGradientRect(g, {0, 0, size, size}, colours[0], colours[1]);
  g.fillEllipse(ui::createSolidBrush(0xB4FFF3D6), {size * 0.3f, size * 0.22f, size * 0.4f, size * 0.4f});
  return surface;
}

}  // namespace

void createDemoList(DemoWindow& window) {
  DemoList& part = window.list;
  part.covers.create(kCoverSize, kCoverSize);
  for (std::size_t i = 0; i < kCoverColours.size(); ++i) part.covers.addFromBitmap(cover(i));

  ui::controls::ListOptions look;
  look.colours.text = 0xFE000000u;
  look.colours.rowBack = 0x8CFFFFFFu;
  look.colours.stripe = 0x14000000u;
  look.colours.hover = 0x1E000000u;
  ui::controls::ExList& list = part.list;
  list.create(window.hwnd, {16, 360, 264, 170}, look);
  list.addColumn(0, "", 244);  // leaves room for the vertical bar
  ui::controls::ListStyle style;
  style.imageList = part.covers.handle();
  style.gridFlags = 0;
  list.setStyle(style);
  // Two text lines and the cover need a taller row than one line does.
  list.rowHeight(kCoverSize + 6);
  list.suspendRedraw();
  for (int r = 1; r <= kDemoListRows; ++r) {
    const std::size_t i = static_cast<std::size_t>(r - 1);
    const int row = list.addRow(std::nullopt, static_cast<int>(i % kCoverColours.size()) + 1);
    const std::string title = std::to_string(r) + ". " + kTitles[i % kTitles.size()];
    const std::string singer = kSingers[(i / 3) % kSingers.size()];
    list.cellText(row, 1, platform::text::utf8ToAnsi(title + "\r\n" + singer));
  }
  list.resumeRedraw();
}

}  // namespace demo
