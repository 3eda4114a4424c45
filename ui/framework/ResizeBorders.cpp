// The host's own resize borders: the whole window is client area, so the edges are zones
// of it that show sizing cursors and start a resize on a press.

#include "ui/framework/ExWindowState.h"

namespace ui {

namespace {

constexpr int kTopBand = 8;
constexpr int kBottomBand = 10;
constexpr int kCornerWidth = 10;
constexpr int kLeftEdge = 8;
constexpr int kRightEdge = 10;

// WMSZ_ edge of the zone under (x, y), 0 for none.
int zoneAt(int x, int y, int w, int h) {
  if (y < kTopBand) {
    if (x < kCornerWidth) return pw::WMSZ_TOPLEFT;
    if (x > w - kCornerWidth) return pw::WMSZ_TOPRIGHT;
    return pw::WMSZ_TOP;
  }
  if (y > h - kBottomBand) {
    if (x < kCornerWidth) return pw::WMSZ_BOTTOMLEFT;
    if (x > w - kCornerWidth) return pw::WMSZ_BOTTOMRIGHT;
    return pw::WMSZ_BOTTOM;
  }
  if (x < kLeftEdge) return pw::WMSZ_LEFT;
  if (x > w - kRightEdge) return pw::WMSZ_RIGHT;
  return 0;
}

int cursorFor(int zone) {
  switch (zone) {
    case pw::WMSZ_TOPLEFT:
    case pw::WMSZ_BOTTOMRIGHT:
      return pw::IDC_SIZENWSE;
    case pw::WMSZ_TOPRIGHT:
    case pw::WMSZ_BOTTOMLEFT:
      return pw::IDC_SIZENESW;
    case pw::WMSZ_TOP:
    case pw::WMSZ_BOTTOM:
      return pw::IDC_SIZENS;
    default:
      return pw::IDC_SIZEWE;
  }
}

}  // namespace

bool ExWindow::State::borderHitTest(UINT message, LPARAM lParam) {
  if (message != pw::WM_MOUSEMOVE && message != pw::WM_LBUTTONDOWN && message != pw::WM_RBUTTONDOWN) return false;
  WindowEntry* e = entry();
  if (e == nullptr || fixedSize != 0 || e->interaction.captureActive || maximised()) return false;
  const int zone = zoneAt(pw::loWordSigned(lParam), pw::hiWordSigned(lParam), width, height);
  if (zone == 0) return false;
  pw::SetCursor(pw::LoadCursorA(nullptr, cursorFor(zone)));
  if (const int hovered = e->interaction.hovered; hovered != 0) {
    e->interaction.hovered = 0;
    sendToControl(windowIndex, hovered, hwnd, pw::WM_PAINT, 0, kPaintBorder);
    fireControlEvent(onLeave, hovered);
  }
  if (message == pw::WM_LBUTTONDOWN && entry() != nullptr) {
    pw::SendMessageA(hwnd, pw::WM_SYSCOMMAND, pw::SC_SIZE | static_cast<WPARAM>(zone), lParam);
  }
  return true;
}

}  // namespace ui
