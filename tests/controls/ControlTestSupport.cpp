#include "tests/controls/ControlTestSupport.h"

#include "platform/gfx/Surface.h"
#include "ui/controls/ControlsStart.h"
#include "ui/framework/Drawing.h"

namespace controltest {

int FlatControl::create(HWND host, platform::gfx::RectF bounds, bool visible, bool takesPress) {
  ui::controls::Registration how;
  how.kind = ui::kKindLabel;
  how.visible = visible;
  how.takesPress = takesPress;
  return registerWith(host, bounds, how);
}

void FlatControl::onPaint(LPARAM occasion) {
  paintOccasions.push_back(occasion);
  platform::gfx::Graphics* g = beginPaint();
  if (g == nullptr) return;
  ++paints;
  platform::gfx::RectF area = bounds();
  if (spill_) area = {area.x - 40, area.y - 40, area.width + 80, area.height + 80};
  g->fillRectangle(ui::createSolidBrush(colour_), area);
  endPaint();
}

void HostFixture::SetUp() {
  desk = &pw::HeadlessBackend::install();
  ui::controls::start();
  pw::WNDCLASSEXA wc;
  wc.style = pw::CS_DBLCLKS;
  wc.lpfnWndProc = pw::DefWindowProcA;
  wc.hCursor = pw::LoadCursorA(nullptr, pw::IDC_ARROW);
  wc.lpszClassName = "ControlTestHost";
  pw::RegisterClassExA(&wc);
}

void HostFixture::TearDown() {
  if (hwnd != nullptr && pw::IsWindow(hwnd)) pw::DestroyWindow(hwnd);
  window.reset();
}

HWND HostFixture::openHost(int width, int height, ui::AttachOptions options, pw::DWORD style,
                           const platform::system::ByteBlock& picture) {
  hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED, "ControlTestHost", "host", style, 40, 30, width, height, nullptr,
                             nullptr);
  EXPECT_NE(hwnd, nullptr);
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  window = std::make_unique<ui::ExWindow>();
  EXPECT_TRUE(window->attach(hwnd, picture, options));
  window->redraw();
  desk->pump();
  return hwnd;
}

platform::gfx::Argb HostFixture::shown(int x, int y) const {
  return platform::gfx::unpremultiply(desk->pixel(hwnd, x, y));
}

ui::AttachOptions plainOptions(int captionSet) {
  ui::AttachOptions options;
  options.backgroundColour = HostFixture::kBackground;
  options.captionButtonSet = captionSet;
  options.fixedSize = 1;
  return options;
}

}  // namespace controltest
