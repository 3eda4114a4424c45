// Painting the list: row backgrounds and looks drawn straight into the window image, row
// texts and pictures rendered once into the back buffer and copied from there.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "platform/text/CodePage.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/ExList.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"

namespace ui::controls {

namespace {

// Enough slots for a screen of rows; the buffer never grows past a screen.
constexpr int kMaxSlots = 128;
constexpr int kMaxBufferWidth = 4096;
// No cell shows more than this many bytes; a long text costs no more than this to draw.
constexpr std::size_t kMaxDrawnBytes = 1024;
// A name longer than its column ends in an ellipsis rather than in half a letter.
constexpr int kCellTrimming = platform::gfx::kTrimmingEllipsisCharacter;
constexpr float kCellPadding = 4;
constexpr float kPicturePadding = 2;
constexpr Argb kRowOutline = 0x14FFFFFFu;

// The leading part of a program text that a cell can show, cut between characters.
std::string_view drawnPart(std::string_view text) {
  if (text.size() <= kMaxDrawnBytes) return text;
  std::size_t end = 0;
  while (end < kMaxDrawnBytes) {
    const auto lead = static_cast<unsigned char>(text[end]);
    const std::size_t length = platform::text::isAnsiLeadByte(lead) ? 2 : 1;
    if (end + length > kMaxDrawnBytes) break;
    end += length;
  }
  return text.substr(0, end);
}

// Whole pixels covering r.
platform::gfx::RectI wholePixels(RectF r) {
  if (r.empty() || !r.finite()) return {};
  const float left = std::floor(r.x), top = std::floor(r.y);
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(std::ceil(r.right()) - left),
          static_cast<int>(std::ceil(r.bottom()) - top)};
}

}  // namespace

void ExList::onPaint(LPARAM occasion) {
  ExWindow* window = host();
  if (window == nullptr) return;
  if (!window->painting()) {
    // Of the host's notes only a pointer that left changes the look.
    if (occasion == kPaintPointerLeft && hot_ != 0) {
      const int old = hot_;
      hot_ = 0;
      repaintRows(old, old);
    }
    return;
  }
  if (window->composing()) hot_ = 0;
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  if (!rows_.empty() && rowHeight_ > 0) {
    g->setClip(body_, platform::gfx::kCombineIntersect);
    const RectF clip = g->clipBounds();
    const double rowsTop = static_cast<double>(body_.y) + headerHeight_;
    auto rowOf = [&](double y) { return static_cast<long long>(std::floor((y - rowsTop + scrollTop_) / rowHeight_)) + 1; };
    const long long first = std::max<long long>(topRow_, rowOf(clip.y));
    const long long last = std::min<long long>(bottomRow_, rowOf(static_cast<double>(clip.bottom()) - 1));
    for (long long row = std::max<long long>(first, 1); row <= last; ++row) {
      paintRow(*g, static_cast<int>(row), rowState(static_cast<int>(row)));
      if (row != fadingRow_) continue;
      // Any repaint but the fade's own draws over what the fade kept: it ends.
      platform::gfx::Surface* shown = window->composedSurface();
      if (fadeRepaint_ && shown != nullptr) {
        rowFade_.blendOver(*shown, wholePixels(g->clipBounds()));
      } else {
        stopRowFade();
      }
    }
  }
  endPaint();
}

void ExList::paintRow(Graphics& g, int row, int state) {
  const RectF r = rowRect(row);
  if (rowBackColour_ != 0) g.fillRectangle(createSolidBrush(rowBackColour_), r);
  if (stripeColour_ != 0 && row % 2 == 0) g.fillRectangle(createSolidBrush(stripeColour_), r);
  switch (state) {
    case kHover:
      g.fillRectangle(platform::gfx::Brush::linearGradient(r, hoverColour_, withAlpha(hoverColour_, 30),
                                                           platform::gfx::kGradientVertical, platform::gfx::kWrapClamp),
                      r);
      break;
    case kPressed:
      g.fillRectangle(platform::gfx::Brush::linearGradient(r, withAlpha(hoverColour_, 30), hoverColour_,
                                                           platform::gfx::kGradientVertical, platform::gfx::kWrapClamp),
                      r);
      break;
    case kSelected:
      g.fillRectangle(createSolidBrush(selectColour_), r);
      break;
    default:
      break;
  }
  if (state != kNormal) g.drawRectangle(createPen(kRowOutline), RectF{r.x, r.y, r.width - 1, r.height - 1});
  const int slot = renderedSlot(row);
  if (slot >= 0) {
    const float width = std::min(r.width, static_cast<float>(backBuffer_.unitWidth()));
    g.drawSurface(backBuffer_, RectF{r.x, r.y, width, r.height},
                  RectF{0, static_cast<float>(slot * rowHeight_), width, r.height});
  }
  if ((gridFlags_ & kGridRows) != 0) drawLine(g, lineColour_, r.x, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
  if ((gridFlags_ & kGridColumns) != 0) {
    float x = r.x - static_cast<float>(scrollLeft_);
    for (const Column& c : columns_) {
      x += static_cast<float>(c.width);
      if (x > r.x && x <= r.right()) drawLine(g, lineColour_, x - 1, r.y, x - 1, r.bottom() - 1);
    }
  }
}

// --- row fades ---------------------------------------------------------------------------------

platform::gfx::RectI ExList::visibleRowPixels(int row) const {
  if (!validRow(row) || row < topRow_ || row > bottomRow_) return {};
  const RectF r = rowRect(row);
  const float top = std::max(r.y, body_.y + static_cast<float>(headerHeight_));
  const float bottom = std::min(r.bottom(), body_.bottom());
  if (!(bottom > top) || !(body_.width > 0)) return {};
  return wholePixels(RectF{body_.x, top, body_.width, bottom - top});
}

void ExList::fadeRowIn(int row, int level) {
  if (fadingRow_ != 0 && fadingRow_ != row) {
    const int was = fadingRow_;
    stopRowFade();
    repaintRows(was, was);  // its whole look at once
  }
  ExWindow* window = host();
  const platform::gfx::Surface* shown = window != nullptr ? window->composedSurface() : nullptr;
  const platform::gfx::RectI area = visibleRowPixels(row);
  if (shown == nullptr || !shown->valid() || area.width <= 0 || !showsRows() || redrawFlag() == 0) {
    stopRowFade();
    repaintRows(row, row);
    return;
  }
  // Restarted on a row that is fading already, it goes on from the mix it shows.
  rowFade_.start(*shown, area, level);
  fadingRow_ = rowFade_.running() ? row : 0;
  fadeRepaint_ = true;
  repaintRows(row, row);
  fadeRepaint_ = false;
  if (fadingRow_ == row && host() != nullptr) {
    startTimer();
  } else {
    stopRowFade();
  }
}

void ExList::stopRowFade() {
  rowFade_.stop();
  fadingRow_ = 0;
  stopTimer();
}

void ExList::onTimer(UINT_PTR) {
  const int row = fadingRow_;
  if (row == 0 || !rowFade_.step()) {
    stopRowFade();
    return;
  }
  const platform::gfx::RectI now = visibleRowPixels(row), kept = rowFade_.area();
  if (now.x != kept.x || now.y != kept.y || now.width != kept.width || now.height != kept.height) {
    // The row moved or was cut since the fade began: what was kept is not under it.
    stopRowFade();
    repaintRows(row, row);
    return;
  }
  fadeRepaint_ = true;
  repaintRows(row, row);
  fadeRepaint_ = false;
}

// --- the back buffer -----------------------------------------------------------------------------

bool ExList::ensureBackBuffer() {
  const int width = std::clamp(static_cast<int>(std::ceil(body_.width)), 0, kMaxBufferWidth);
  const int viewRows = rowHeight_ > 0 ? static_cast<int>(std::ceil(body_.height / static_cast<float>(rowHeight_))) : 0;
  const int slots = std::clamp(viewRows + 1, 1, kMaxSlots);
  if (width <= 0 || rowHeight_ <= 0) return false;
  // Rows are rendered at the window's scale, so they stay as sharp as what is around them.
  const platform::gfx::Surface* shown = host() != nullptr ? host()->composedSurface() : nullptr;
  const double scale = shown != nullptr ? shown->scale() : 1;
  if (backBuffer_.valid() && backBuffer_.unitWidth() == width && backBuffer_.unitHeight() == slots * rowHeight_ &&
      backBuffer_.scale() == scale) {
    return true;
  }
  backGraphics_.reset();
  backBuffer_ = platform::gfx::Surface::createScaled(width, slots * rowHeight_, scale);
  slotRows_.assign(static_cast<std::size_t>(slots), 0);
  if (!backBuffer_.valid()) return false;
  backGraphics_ = std::make_unique<Graphics>(backBuffer_);
  return true;
}

void ExList::forgetRendered() { std::fill(slotRows_.begin(), slotRows_.end(), 0); }

void ExList::forgetRendered(int row) {
  for (int& held : slotRows_) {
    if (held == row) held = 0;
  }
}

int ExList::renderedSlot(int row) {
  if (!ensureBackBuffer()) return -1;
  const int slot = (row - 1) % static_cast<int>(slotRows_.size());
  if (slotRows_[static_cast<std::size_t>(slot)] != row) {
    renderRow(row, slot);
    slotRows_[static_cast<std::size_t>(slot)] = row;
  }
  return slot;
}

void ExList::renderRow(int row, int slot) {
  ++renderedRows_;
  const int top = slot * rowHeight_;
  // Clear the slot's strip of device pixels to transparent.
  if (std::uint32_t* pixels = backBuffer_.mutablePixels()) {
    const double scale = backBuffer_.scale();
    const int first = platform::gfx::pixelsFloor(top, scale);
    const int end = std::min(platform::gfx::pixelsFloor(top + rowHeight_, scale), backBuffer_.height());
    const std::size_t stride = static_cast<std::size_t>(backBuffer_.strideBytes());
    auto* bytes = reinterpret_cast<unsigned char*>(pixels) + static_cast<std::size_t>(first) * stride;
    std::memset(bytes, 0, stride * static_cast<std::size_t>(std::max(end - first, 0)));
    backBuffer_.markDirty();
  }
  Graphics& g = *backGraphics_;
  const Row& record = rows_[static_cast<std::size_t>(row) - 1];
  const float slotTop = static_cast<float>(top);
  const float height = static_cast<float>(rowHeight_);
  const float bufferWidth = static_cast<float>(backBuffer_.unitWidth());
  const ExImageList* pictures = style_.imageList ? ImageListTable::instance().find(*style_.imageList) : nullptr;
  const float lineHeight = font_ != nullptr ? std::ceil(font_->height()) : height;
  float x = -static_cast<float>(scrollLeft_);
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const Column& column = columns_[c];
    const RectF cell{x, slotTop, static_cast<float>(column.width), height};
    x += static_cast<float>(column.width);
    if (cell.right() <= 0 || cell.x >= bufferWidth || cell.width <= 0) continue;
    g.setClip(RectF{std::max(cell.x, 0.0f), slotTop, std::min(cell.right(), bufferWidth) - std::max(cell.x, 0.0f), height});
    RectF text{cell.x + kCellPadding, slotTop, cell.width - 2 * kCellPadding, height};
    if (c == 0 && record.picture > 0 && pictures != nullptr && pictures->image(record.picture) != nullptr) {
      // The picture keeps its cell size unless the row is shorter.
      float w = static_cast<float>(pictures->cellWidth()), h = static_cast<float>(pictures->cellHeight());
      const float room = height - 2 * kPicturePadding;
      if (h > room && h > 0) {
        w = w * room / h;
        h = room;
      }
      pictures->draw(record.picture, g, cell.x + kPicturePadding, slotTop + (height - h) / 2, w, h);
      text.x = cell.x + kPicturePadding + w + kCellPadding;
      text.width = cell.right() - kCellPadding - text.x;
    }
    const std::string_view content = drawnPart(record.cells[c]);
    if (content.empty() || text.width <= 0) continue;
    const std::size_t split = content.find('\n');
    if (split == std::string_view::npos) {
      drawText(g, content, font_.get(), text, textColour_, column.alignment, kEffectNone, std::nullopt,
               platform::gfx::kFlagNoWrap, kCellTrimming);
      continue;
    }
    // Two lines, centred together; the second one a little lighter.
    std::string_view first = content.substr(0, split);
    if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
    std::string_view second = content.substr(split + 1);
    if (const std::size_t more = second.find_first_of("\r\n"); more != std::string_view::npos) second = second.substr(0, more);
    const float top2 = slotTop + std::max(0.0f, (height - 2 * lineHeight) / 2);
    const int horizontal = column.alignment - 3;
    drawText(g, first, font_.get(), RectF{text.x, top2, text.width, lineHeight}, textColour_, horizontal, kEffectNone,
             std::nullopt, platform::gfx::kFlagNoWrap, kCellTrimming);
    const int alpha = static_cast<int>(textColour_ >> 24) * 3 / 4;
    drawText(g, second, font_.get(), RectF{text.x, top2 + lineHeight, text.width, lineHeight},
             withAlpha(textColour_, alpha), horizontal, kEffectNone, std::nullopt, platform::gfx::kFlagNoWrap,
             kCellTrimming);
  }
  g.resetClip();
}

}  // namespace ui::controls
