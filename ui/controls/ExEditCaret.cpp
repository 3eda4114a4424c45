// The caret: where it goes, the scrolling that keeps it in view, and its blinking. The
// composed image never holds the caret: showing draws it, pushes its one-pixel column and
// puts the pixels back, so hiding is a push of the same column and nothing is repainted.

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/window/Caret.h"
#include "ui/controls/ExEdit.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"

namespace ui::controls {

namespace gfx = platform::gfx;
namespace pw = platform::window;

namespace {

// As opaque as the framework makes a colour.
constexpr int kCaretAlpha = 254;
constexpr int kBlinkIntervalMs = 500;

}  // namespace

gfx::RectI ExEdit::caretColumn() const {
  const RectF b = bounds();
  if (b.empty()) return {};
  const int x = std::clamp(static_cast<int>(std::floor(caretX_)), static_cast<int>(b.x),
                           static_cast<int>(std::ceil(b.right())) - 1);
  const int top = std::max(static_cast<int>(std::floor(textTop_)), static_cast<int>(b.y));
  const int bottom = std::min(static_cast<int>(std::ceil(textTop_ + lineHeight_)) + 1, static_cast<int>(b.bottom()));
  if (bottom <= top) return {};
  return {x, top, 1, bottom - top};
}

void ExEdit::scrollToCaret() {
  const float before = scroll_;
  if (caretX_ > textRect_.right()) scroll_ -= std::ceil(caretX_ - textRect_.right());
  else if (caretX_ < textRect_.x) scroll_ += std::ceil(textRect_.x - caretX_);
  scroll_ = std::clamp(scroll_, scrollLimit(), 0.0f);
  caretX_ += scroll_ - before;
}

void ExEdit::caretBefore(int index) {
  if (model_.characterCount() == 0) {
    scroll_ = 0;
    caretX_ = textRect_.x;
  } else {
    caretX_ = textRect_.x + scroll_ + characterLeft(index);
    scrollToCaret();
  }
  tellInputMethod();
}

void ExEdit::caretAfter(int index) {
  if (model_.characterCount() == 0 || index <= 0) {
    caretBefore(0);
    return;
  }
  caretX_ = textRect_.x + scroll_ + characterRight(index - 1);
  scrollToCaret();
  tellInputMethod();
}

void ExEdit::placeCaret() {
  const int caret = model_.caret();
  if (caret == model_.characterCount() && caret != 0) caretAfter(caret);
  else caretBefore(caret);
}

void ExEdit::tellInputMethod() {
  if (!isFocused()) return;
  HWND window = hostHandle();
  if (window == nullptr) return;
  if (!ownsSystemCaret_ || pw::GetCaretOwner() != window) {
    pw::CreateCaret(window, 1, static_cast<int>(std::ceil(lineHeight_)));
    ownsSystemCaret_ = true;
  }
  pw::SetCaretPos(static_cast<int>(std::floor(caretX_)), static_cast<int>(std::floor(textTop_)));
}

void ExEdit::releaseSystemCaret() {
  if (!ownsSystemCaret_) return;
  ownsSystemCaret_ = false;
  HWND window = hostHandle();
  if (window != nullptr && pw::GetCaretOwner() == window) pw::DestroyCaret();
}

void ExEdit::showCaret() {
  ExWindow* window = host();
  if (!active_ || window == nullptr || window->painting()) return;
  hideCaret();
  gfx::Surface* surface = window->composedSurface();
  gfx::Graphics* g = window->composedGraphics();
  const gfx::RectI column = caretColumn();
  if (surface == nullptr || g == nullptr || column.height <= 0 || column.x < 0 || column.y < 0 ||
      column.x >= surface->unitWidth() || column.y + column.height > surface->unitHeight()) {
    return;
  }
  // Keep the column's device pixels, draw the caret, push the column, put the pixels back.
  const gfx::RectI p = gfx::pixelRectOf(column, surface->scale());
  const int right = std::min(p.x + p.width, surface->width()), bottom = std::min(p.y + p.height, surface->height());
  const int stride = surface->strideBytes() / 4;
  std::vector<std::uint32_t> saved;
  const std::uint32_t* pixels = surface->pixels();
  for (int row = p.y; row < bottom; ++row) {
    for (int col = p.x; col < right; ++col) saved.push_back(pixels[static_cast<std::ptrdiff_t>(row) * stride + col]);
  }
  const float x = static_cast<float>(column.x);
  g->setClip(RectF{x, static_cast<float>(column.y), 1, static_cast<float>(column.height)});
  // In the text's colour: a black caret vanishes on a dark box, the text's colour shows
  // wherever the text does. Filled where a one-unit stroke would lie: which pixels a stroke
  // takes is the rasteriser's choice, and one that rounds to the next column leaves nothing
  // inside the clip.
  const float from = std::floor(textTop_), to = std::floor(textTop_ + lineHeight_) - 2;
  g->fillRectangle(createSolidBrush(withAlpha(textColor_, kCaretAlpha)), RectF{x, from + 0.5f, 1, to - from});
  g->resetClip();
  window->presentRect(column);
  std::uint32_t* out = surface->mutablePixels();
  std::size_t next = 0;
  for (int row = p.y; row < bottom; ++row) {
    for (int col = p.x; col < right; ++col) out[static_cast<std::ptrdiff_t>(row) * stride + col] = saved[next++];
  }
  surface->markDirty();
  caretOnScreen_ = true;
  shownColumn_ = column;
  tellInputMethod();
}

void ExEdit::hideCaret() {
  if (!caretOnScreen_) return;
  caretOnScreen_ = false;
  ExWindow* window = host();
  if (window == nullptr || window->painting()) return;
  window->presentRect(shownColumn_);
}

void ExEdit::startBlink() {
  blink_ = 1;
  caretTimerOn_ = startTimer(kBlinkIntervalMs);
  showCaret();
}

void ExEdit::stopBlink() {
  hideCaret();
  blink_ = 0;
  caretTimerOn_ = false;
  stopTimer();
}

void ExEdit::repaintBox() {
  const bool wasShown = caretOnScreen_;
  caretOnScreen_ = false;  // the repaint pushes the column without it
  redraw();
  if (wasShown || (caretTimerOn_ && blink_ % 2 == 1)) showCaret();
}

void ExEdit::onTimer(UINT_PTR) {
  if (!isFocused() || locked() != 0) {
    stopBlink();
    return;
  }
  ++blink_;
  if (blink_ % 2 == 1) showCaret();
  else hideCaret();
}

}  // namespace ui::controls
