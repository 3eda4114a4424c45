#include "ui/controls/ExCaptionButton.h"

#include <algorithm>

#include "platform/window/WindowApi.h"
#include "platform/window/UiThread.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

namespace pw = platform::window;

namespace {

// Sprite layout: three close cells 39 wide, then three cells 28 wide for each of the other
// glyphs in this order; one clear column after every cell.
constexpr int kCloseCell = 39;
constexpr int kOtherCell = 28;
constexpr int kSpriteHeight = 20;
enum Glyph { kMaximise, kRestore, kMinimise, kMenu, kSkin, kFeedback, kSettings, kNoGlyph };

Glyph glyphOf(int captionBit, bool showRestore) {
  switch (captionBit) {
    case kCaptionMaximize: return showRestore ? kRestore : kMaximise;
    case kCaptionMinimize: return kMinimise;
    case kCaptionMenu: return kMenu;
    case kCaptionSkin: return kSkin;
    case kCaptionFeedback: return kFeedback;
    case kCaptionSettings: return kSettings;
    default: return kNoGlyph;
  }
}

}  // namespace

RectF ExCaptionButton::spriteCell(int captionBit, Look look, bool showRestore) {
  const int state = static_cast<int>(look);
  if (captionBit == kCaptionClose) {
    return RectF{static_cast<float>(state * (kCloseCell + 1)), 0, kCloseCell, kSpriteHeight};
  }
  const Glyph glyph = glyphOf(captionBit, showRestore);
  if (glyph == kNoGlyph) return RectF{};
  const int x = 3 * (kCloseCell + 1) + (glyph * 3 + state) * (kOtherCell + 1);
  return RectF{static_cast<float>(x), 0, kOtherCell, kSpriteHeight};
}

int ExCaptionButton::create(HWND host, int captionBit, RectF bounds) {
  TUNORA_ASSERT_UI_THREAD();
  if (id() == 0) captionBit_ = captionBit;
  Registration how;
  how.kind = kKindCaptionButton;
  how.takesPress = true;
  return registerWith(host, bounds, how);
}

ExCaptionButton::Look ExCaptionButton::look() const {
  if (pressed_ && hovered_) return Look::Pressed;
  return hovered_ ? Look::Hover : Look::Normal;
}

bool ExCaptionButton::contains(int x, int y) const {
  const RectF b = bounds();
  return x >= b.x && y >= b.y && x < b.right() && y < b.bottom();
}

void ExCaptionButton::setState(bool hovered, bool pressed) {
  const Look before = look();
  hovered_ = hovered;
  pressed_ = pressed;
  if (look() != before) redraw();
}

void ExCaptionButton::onPaint(LPARAM occasion) {
  if (occasion == kPaintPointerLeft) {
    hovered_ = false;
    pressed_ = false;
  }
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  const platform::gfx::Image* sprite = captionSpriteFor(g->scale());
  const bool showRestore = pw::IsZoomed(hostHandle());
  RectF cell = spriteCell(captionBit_, look(), showRestore);
  if (sprite != nullptr && !cell.empty()) {
    // Drawn at the sprite's own scale so the glyph strokes stay crisp.
    const RectF b = bounds();
    cell.width = std::min(cell.width, b.width);
    cell.height = std::min(cell.height, b.height);
    g->drawImage(*sprite, RectF{b.x, b.y, cell.width, cell.height}, cell);
  }
  endPaint();
}

void ExCaptionButton::onMouseMove(int x, int y, WPARAM) {
  // While pressed the host sends every move here, also from outside the button.
  setState(contains(x, y), pressed_);
}

void ExCaptionButton::onLeftDown(int x, int y, WPARAM) { setState(contains(x, y), true); }

void ExCaptionButton::onLeftUp(int x, int y, WPARAM) { setState(contains(x, y), false); }

void ExCaptionButton::onClickMessage(bool) {
  HWND host = hostHandle();
  if (host == nullptr) return;
  // Posted, so the click callback runs before the window closes or changes size.
  switch (captionBit_) {
    case kCaptionClose:
      pw::PostMessageA(host, pw::WM_SYSCOMMAND, pw::SC_CLOSE, 0);
      break;
    case kCaptionMaximize:
      pw::PostMessageA(host, pw::WM_SYSCOMMAND, pw::IsZoomed(host) ? pw::SC_RESTORE : pw::SC_MAXIMIZE, 0);
      break;
    case kCaptionMinimize:
      pw::PostMessageA(host, pw::WM_SYSCOMMAND, pw::SC_MINIMIZE, 0);
      break;
    default:
      break;  // the application answers the others through its click callback
  }
}

}  // namespace ui::controls
