// Drawing and measuring the edit box. Measuring and drawing go through the same text
// engine with the same format, so a caret placed by a measured edge sits on the glyphs.

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/text/CodePage.h"
#include "ui/controls/ExEdit.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"

namespace ui::controls {

namespace gfx = platform::gfx;

namespace {

constexpr Argb kSelectionColour = 0x9B0088FF;
constexpr float kUnmeasured = std::numeric_limits<float>::quiet_NaN();

}  // namespace

gfx::Graphics* ExEdit::measuringGraphics() {
  if (ExWindow* window = host()) {
    if (gfx::Graphics* g = window->composedGraphics()) return g;
  }
  if (!measureGraphics_) {
    measureSurface_ = std::make_unique<gfx::Surface>(gfx::Surface::create(1, 1));
    measureGraphics_ = std::make_unique<gfx::Graphics>(*measureSurface_);
  }
  return measureGraphics_.get();
}

void ExEdit::followBounds() {
  const RectF b = bounds();
  const gfx::Graphics* measuring = measuringGraphics();
  const double scale = measuring != nullptr ? measuring->scale() : 1;
  const bool rescaled = laidOutScale_ != 0 && scale != laidOutScale_;
  if (!rescaled && b.x == laidOutBounds_.x && b.y == laidOutBounds_.y && b.width == laidOutBounds_.width &&
      b.height == laidOutBounds_.height) {
    return;
  }
  laidOutBounds_ = b;
  laidOutScale_ = scale;
  textRect_ = RectF{b.x + 2, b.y + 2, b.width - 4, b.height - 4};
  // A layout hinted for the old pixel grid would sit a fraction off the new one.
  layout();
  scroll_ = std::clamp(scroll_, scrollLimit(), 0.0f);
  if (rescaled) placeCaret();
}

void ExEdit::layout() {
  const std::string& text = model_.text();
  const int count = model_.characterCount();
  unitOf_.assign(static_cast<std::size_t>(count) + 1, 0);
  display_.clear();
  if (mode_ == kEditPassword) {
    std::u16string mark = platform::text::ansiToWide(passwordChar_);
    if (mark.empty()) mark = u"*";
    display_.reserve(text.size() * mark.size());
    for (std::size_t i = 0; i < text.size(); ++i) display_.insert(display_.end(), mark.begin(), mark.end());
    for (int i = 0; i <= count; ++i) {
      unitOf_[static_cast<std::size_t>(i)] = static_cast<int>(model_.byteOffset(i) * mark.size());
    }
  } else {
    display_ = platform::text::ansiToWide(text);
    if (display_.size() == static_cast<std::size_t>(count)) {
      for (int i = 0; i <= count; ++i) unitOf_[static_cast<std::size_t>(i)] = i;
    } else {
      // Some byte sequence did not convert one character to one unit: convert character
      // by character so that every character still has exactly its own units.
      display_.clear();
      for (int i = 0; i < count; ++i) {
        unitOf_[static_cast<std::size_t>(i)] = static_cast<int>(display_.size());
        const std::u16string one = platform::text::ansiToWide(model_.between(i, i + 1));
        if (one.empty()) display_.push_back(u'\uFFFD');
        else display_.insert(display_.end(), one.begin(), one.end());
      }
      unitOf_[static_cast<std::size_t>(count)] = static_cast<int>(display_.size());
    }
  }
  lefts_.assign(static_cast<std::size_t>(count), kUnmeasured);
  rights_.assign(static_cast<std::size_t>(count), kUnmeasured);

  gfx::Graphics* g = measuringGraphics();
  line_ = gfx::PreparedText();
  if (count == 0 || font_ == nullptr || g == nullptr) {
    textExtent_ = RectF{};
    lineHeight_ = font_ != nullptr ? font_->height() : 0;
  } else {
    // One layout serves the width, every caret place and the drawing until the next edit.
    line_ = gfx::PreparedText(*g, display_, font_, RectF{}, *format_.handle());
    textExtent_ = line_.bounds();
    lineHeight_ = textExtent_.height;
  }
  textTop_ = textRect_.y + std::floor((textRect_.height - lineHeight_ + 1) / 2);
}

RectF ExEdit::measureCharacter(int index) {
  const int count = model_.characterCount();
  if (index < 0 || index >= count || !line_.valid()) return {};
  const auto at = static_cast<std::size_t>(index);
  if (std::isnan(lefts_[at])) {
    const int unit = unitOf_[at];
    const RectF r = line_.rangeBounds(unit, unitOf_[at + 1] - unit);
    lefts_[at] = r.x;
    rights_[at] = r.x + r.width;
  }
  return RectF{lefts_[at], 0, rights_[at] - lefts_[at], lineHeight_};
}

float ExEdit::characterLeft(int index) { return measureCharacter(index).x; }

float ExEdit::characterRight(int index) {
  const RectF r = measureCharacter(index);
  return r.x + r.width;
}

float ExEdit::scrollLimit() const { return std::min(0.0f, -std::ceil(textWidth() - textRect_.width)); }

RectF ExEdit::selectionRect() {
  const int start = model_.selectionStart(), end = model_.selectionEnd();
  if (start == end) return {};
  const float left = characterLeft(start);
  const float right = characterRight(end - 1);
  return RectF{textRect_.x + scroll_ + left, textTop_ - 2, right - left, lineHeight_ + 3};
}

void ExEdit::paint() {
  followBounds();
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  const RectF b = bounds();
  if (caretOnScreen_) {
    // This paint covers the caret's column: the push that follows takes the caret away.
    const RectF clip = g->clipBounds();
    const float x = static_cast<float>(shownColumn_.x);
    if (x >= clip.x && x < clip.right()) caretOnScreen_ = false;
  }
  if (backColor_ != 0) fillRect(*g, b, backColor_);
  if (borderColor_ != 0) g->drawRectangle(createPen(borderColor_), RectF{b.x, b.y, b.width - 1, b.height - 1});
  if (paintHook_) {
    const PaintHook keep = paintHook_;
    keep(windowIndex(), id());
  }
  if (model_.characterCount() > 0 && font_ != nullptr) {
    const RectF clip = g->clipBounds();
    g->setClip(textRect_, gfx::kCombineIntersect);
    if (model_.hasSelection()) fillRect(*g, selectionRect(), kSelectionColour);
    line_.draw(*g, static_cast<int>(std::lround(textRect_.x + scroll_)), static_cast<int>(std::lround(textTop_)),
               textColor_);
    g->setClip(clip);
  }
  endPaint();
}

}  // namespace ui::controls
