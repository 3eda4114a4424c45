// The list's model (columns, rows, cells, selection), its pointer handling and the scroll
// bars it keeps along its right and bottom edges. Painting is in ExListPaint.cpp.

#include "ui/controls/ExList.h"

#include <algorithm>
#include <cmath>

#include "platform/window/UiThread.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ExImageList.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Fonts.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

namespace pw = platform::window;

namespace {

constexpr int kBarThickness = 14;
constexpr int kBarSpan = 15;  // the bar and its one-pixel gap
constexpr int kMaxRowHeight = 1000;
constexpr int kMaxColumnWidth = 100000;
// Scroll ranges stay inside int whatever the row count.
constexpr long long kMaxExtent = 1LL << 30;
// Where a row's fade starts, as for buttons: hover from 102, pressed and selected from 153.
constexpr int kHoverFadeStart = 102;
constexpr int kPressFadeStart = 153;

}  // namespace

ExList::ExList() = default;
ExList::~ExList() = default;

// --- creation and options ----------------------------------------------------------------------

int ExList::create(HWND host, RectF bounds, const ListOptions& options) {
  TUNORA_ASSERT_UI_THREAD();
  const bool first = id() == 0;
  if (first) {
    const ListColours& c = options.colours;
    textColour_ = c.text.value_or(0xD2000000u);
    rowBackColour_ = c.rowBack.value_or(0);
    stripeColour_ = c.stripe.value_or(0);
    hoverColour_ = c.hover.value_or(0x50FFFFFFu);
    selectColour_ = c.select.value_or(hoverColour_);
    const Font* fallback = framework().defaultFont.get();
    if (options.fontFace.empty() && !options.fontSize && !options.fontStyle) {
      font_ = fallback != nullptr ? fallback->clone() : nullptr;
    } else {
      const std::string face = options.fontFace.empty() ? fontFamilyName(fallback) : options.fontFace;
      const float size = options.fontSize.value_or(12.0f);
      font_ = std::isfinite(size) && size > 0 && size < 1000
                  ? createFontByName(face, size, options.fontStyle.value_or(platform::gfx::kFontStyleRegular))
                  : nullptr;
    }
    const int fontHeight = font_ != nullptr ? static_cast<int>(font_->height()) : 12;
    rowHeight_ = std::clamp(fontHeight + 5, 1, kMaxRowHeight);
  }
  Registration how;
  how.kind = kKindList;
  how.visible = options.visible;
  const int result = registerWith(host, bounds, how);
  if (result != 0 && first) {
    ExWindow* window = this->host();
    accentColour_ = options.colours.accent.value_or(window != nullptr ? argbFrom(window->backgroundColour(), 70) : 0);
    layoutScrollBars();
  }
  return result;
}

void ExList::setStyle(const ListStyle& style) {
  TUNORA_ASSERT_UI_THREAD();
  if (style.clickOnly) style_.clickOnly = style.clickOnly;
  if (style.option2) style_.option2 = style.option2;
  if (style.option3) style_.option3 = style.option3;
  if (style.imageList) style_.imageList = style.imageList;
  if (style.gridFlags) {
    style_.gridFlags = style.gridFlags;
    gridFlags_ = *style.gridFlags;
  }
  if (style.lineColour) {
    style_.lineColour = style.lineColour;
    lineColour_ = *style.lineColour;
  }
  if (style.option7) style_.option7 = style.option7;
  forgetRendered();
  redraw();
}

int ExList::addColumn(int position, std::string title, std::optional<int> width, std::optional<int> alignment,
                      int value1, int value2) {
  TUNORA_ASSERT_UI_THREAD();
  Column column;
  column.title = std::move(title);
  column.width = std::clamp(width.value_or(50), 0, kMaxColumnWidth);
  const int code = alignment.value_or(0);
  column.alignment = code < 3 ? std::max(code, 0) + 3 : std::min(code, 5);
  column.value1 = value1;
  column.value2 = value2;
  if (position >= 1 && position <= columnCount()) {
    const auto at = static_cast<std::ptrdiff_t>(position - 1);
    columns_.insert(columns_.begin() + at, std::move(column));
    for (Row& row : rows_) {
      row.cells.insert(row.cells.begin() + at, std::string());
      row.values.insert(row.values.begin() + at, 0);
    }
  } else {
    columns_.push_back(std::move(column));
    for (Row& row : rows_) {
      row.cells.emplace_back();
      row.values.push_back(0);
    }
  }
  forgetRendered();
  layoutScrollBars();
  redraw();
  return columnCount();
}

int ExList::columnWidth(int column) const {
  if (column < 1 || column > columnCount()) return 0;
  return columns_[static_cast<std::size_t>(column) - 1].width;
}

// --- rows and cells ----------------------------------------------------------------------------

bool ExList::validRow(int row, std::optional<int> column) const {
  if (row < 1 || row > rowCount()) return false;
  return !column || (*column >= 1 && *column <= columnCount());
}

int ExList::addRow(std::optional<int> position, int picture) {
  TUNORA_ASSERT_UI_THREAD();
  if (columns_.empty()) return 0;
  selectedRow(0);
  Row row;
  row.cells.resize(columns_.size());
  row.values.resize(columns_.size());
  row.picture = picture;
  int number = 0;
  if (position && *position >= 1 && *position <= rowCount()) {
    number = *position;
    rows_.insert(rows_.begin() + (number - 1), std::move(row));
    // Every row below moved down: nothing rendered or hovered is where it was.
    forgetRendered();
    hot_ = 0;
    pressed_ = 0;
  } else {
    rows_.push_back(std::move(row));
    number = rowCount();
    forgetRendered(number);
  }
  layoutScrollBars();
  repaintRows(number, bottomRow_);
  return number;
}

void ExList::clear() {
  TUNORA_ASSERT_UI_THREAD();
  rows_.clear();
  rows_.shrink_to_fit();
  selection_.clear();
  current_ = hot_ = pressed_ = 0;
  topRow_ = bottomRow_ = 0;
  scrollTop_ = scrollLeft_ = 0;
  if (vScroll_) vScroll_->position(0);
  if (hScroll_) hScroll_->position(0);
  forgetRendered();
  layoutScrollBars();
  if (showsRows()) redraw();
}

std::string ExList::cellText(int row, int column) const {
  if (!validRow(row, column)) return {};
  return rows_[static_cast<std::size_t>(row) - 1].cells[static_cast<std::size_t>(column) - 1];
}

std::string ExList::cellText(int row, int column, std::string text) {
  TUNORA_ASSERT_UI_THREAD();
  if (!validRow(row, column)) return {};
  std::string& cell = rows_[static_cast<std::size_t>(row) - 1].cells[static_cast<std::size_t>(column) - 1];
  cell = std::move(text);
  forgetRendered(row);
  setRowState(row);
  return cell;
}

int ExList::rowPicture(int row) const { return validRow(row) ? rows_[static_cast<std::size_t>(row) - 1].picture : 0; }

void ExList::setRowPicture(int row, int picture) {
  if (!validRow(row)) return;
  rows_[static_cast<std::size_t>(row) - 1].picture = picture;
  forgetRendered(row);
  setRowState(row);
}

// --- selection and row looks -------------------------------------------------------------------

bool ExList::rowSelected(int row) const { return validRow(row) && rows_[static_cast<std::size_t>(row) - 1].selected; }

int ExList::rowState(int row) const {
  if (!validRow(row)) return kNormal;
  if (rowSelected(row)) return kSelected;
  if (row == pressed_) return kPressed;
  // The current row never shows the hover look, even when its flag was cleared.
  if (row == hot_ && row != current_) return kHover;
  return kNormal;
}

void ExList::setRowState(int row, std::optional<int> state) {
  TUNORA_ASSERT_UI_THREAD();
  if (!validRow(row)) return;
  if (state) {
    rows_[static_cast<std::size_t>(row) - 1].selected = *state == kSelected;
    if (*state == kHover) hot_ = row;
    if (*state == kPressed) pressed_ = row;
    else if (pressed_ == row) pressed_ = 0;
  }
  repaintRows(row, row);
}

int ExList::selectedRow(std::optional<int> row) {
  TUNORA_ASSERT_UI_THREAD();
  if (row) {
    selection_.clear();
    const int wanted = validRow(*row) ? *row : 0;
    if (current_ != 0) setRowState(current_, kNormal);
    current_ = wanted;
    if (wanted != 0) {
      setRowState(wanted, kSelected);
      selection_.push_back(wanted);
    }
  }
  return current_;
}

// --- pointer -----------------------------------------------------------------------------------

int ExList::rowAt(int x, int y) const {
  if (rowHeight_ <= 0 || !pointInRect(body_, static_cast<float>(x), static_cast<float>(y))) return 0;
  const long long offset = static_cast<long long>(std::floor(static_cast<float>(y) - body_.y - headerHeight_));
  if (offset < 0) return 0;
  const long long row = (offset + scrollTop_) / rowHeight_ + 1;
  return row <= rowCount() ? static_cast<int>(row) : 0;
}

void ExList::onMouseMove(int x, int y, WPARAM) {
  pointerX_ = x;
  pointerY_ = y;
  if (holdsCapture()) return;
  const int row = rowAt(x, y);
  if (row == hot_) return;
  const int old = hot_;
  hot_ = row;
  if (old != 0) repaintRows(old, old);
  if (row != 0 && row != current_ && !rowSelected(row)) fadeRowIn(row, kHoverFadeStart);
}

void ExList::onLeftDown(int x, int y, WPARAM) {
  pointerX_ = x;
  pointerY_ = y;
  const int row = rowAt(x, y);
  if (row == 0 || row == current_) return;
  const int old = pressed_;
  pressed_ = row;
  if (old != 0 && old != row) repaintRows(old, old);
  fadeRowIn(row, kPressFadeStart);
}

void ExList::onLeftUp(int x, int y, WPARAM) {
  pointerX_ = x;
  pointerY_ = y;
  const int old = pressed_;
  pressed_ = 0;
  // Only a release that ends a held press on the pressed row is followed by the click,
  // which repaints the row selected; after any other the row drops its pressed look here.
  if (old != 0 && (!holdsCapture() || rowAt(x, y) != old || clickOnly() != 0)) repaintRows(old, old);
}

void ExList::selectFromPointer(int row, bool fade) {
  if (clickOnly() != 0) return;
  if (current_ != 0 && current_ != row) {
    rows_[static_cast<std::size_t>(current_) - 1].selected = false;
    const int old = current_;
    current_ = 0;
    repaintRows(old, old);
  }
  selection_.clear();
  current_ = row;
  if (row != 0) {
    rows_[static_cast<std::size_t>(row) - 1].selected = true;
    selection_.push_back(row);
    if (fade) {
      fadeRowIn(row, kPressFadeStart);
    } else {
      repaintRows(row, row);
    }
  }
}

void ExList::onClickMessage(bool byKey) {
  // Keys on a list are the application's to read (Enter plays the selected row): a click
  // made by one would act on whatever row the pointer happens to rest on.
  if (byKey) return;
  const int row = rowAt(pointerX_, pointerY_);
  selectFromPointer(row, true);
  if (onClick) {
    const auto keep = onClick;
    keep(row);
  }
}

void ExList::onKeyDown(WPARAM key, LPARAM) {
  if (rows_.empty() || clickOnly() != 0) return;
  const int viewHeight = std::max(0, static_cast<int>(body_.height) - headerHeight_);
  const int page = std::max(1, viewHeight / std::max(1, rowHeight_) - 1);
  // With nothing selected the steps start from the first row in view.
  const int from = current_ != 0 ? current_ : std::max(1, topRow_);
  const int step = current_ != 0 ? 1 : 0;
  int to = 0;
  switch (key) {
    case pw::VK_UP: to = from - step; break;
    case pw::VK_DOWN: to = from + step; break;
    case pw::VK_PRIOR: to = from - (step != 0 ? page : 0); break;
    case pw::VK_NEXT: to = from + (step != 0 ? page : 0); break;
    case pw::VK_HOME: to = 1; break;
    case pw::VK_END: to = rowCount(); break;
    default: return;
  }
  to = std::clamp(to, 1, rowCount());
  scrollIntoView(to);
  if (to != current_) selectedRow(to);
}

void ExList::scrollIntoView(int row) {
  if (!validRow(row) || !vScroll_ || !vScroll_->exists()) return;
  const long long view = std::max(0, static_cast<int>(body_.height) - headerHeight_);
  const long long top = static_cast<long long>(row - 1) * rowHeight_;
  const long long bottom = top + rowHeight_;
  long long wanted = scrollTop_;
  if (bottom > wanted + view) wanted = bottom - view;
  if (top < wanted) wanted = top;
  if (wanted == scrollTop_) return;
  const int position = vScroll_->position(static_cast<int>(std::clamp<long long>(wanted, 0, kMaxExtent)));
  if (position != scrollTop_) onVScroll(position);
}

void ExList::onRightDown(int x, int y, WPARAM) {
  pointerX_ = x;
  pointerY_ = y;
  const int row = rowAt(x, y);
  if (row == 0 || !rowSelected(row)) selectFromPointer(row, true);
  if (onRightClick) {
    const auto keep = onRightClick;
    keep(row);
  }
}

void ExList::onWheel(int delta, int x, int y) {
  if (!vScroll_ || !vScroll_->exists()) return;
  const WPARAM wParam = static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16;
  sendToControl(windowIndex(), vScroll_->controlIndex(), hostHandle(), pw::WM_MOUSEWHEEL, wParam,
                pw::makeLParam(x, y));
}

// --- visibility --------------------------------------------------------------------------------

bool ExList::showsRows() const {
  const ControlRecord* r = controlRecord(windowIndex(), controlIndex());
  return r != nullptr && r->visible;
}

void ExList::onHidden() {
  stopRowFade();
  hot_ = 0;
  pressed_ = 0;
  for (ExScrollBar* bar : {vScroll_.get(), hScroll_.get()}) {
    if (bar != nullptr && bar->visible() != 0) bar->visible(0);
  }
}

void ExList::onShown() { layoutScrollBars(); }

void ExList::onDestroy() {
  stopRowFade();
  columns_.clear();
  rows_.clear();
  selection_.clear();
  current_ = hot_ = pressed_ = 0;
  backGraphics_.reset();
  backBuffer_ = platform::gfx::Surface();
  slotRows_.clear();
  font_.reset();
}

// --- scrolling ---------------------------------------------------------------------------------

int ExList::rowHeight(std::optional<int> value) {
  if (value) {
    rowHeight_ = std::clamp(*value, 1, kMaxRowHeight);
    forgetRendered();
    layoutScrollBars();
    redraw();
  }
  return rowHeight_;
}

RectF ExList::rowRect(int row) const {
  const double top = static_cast<double>(body_.y) + headerHeight_ + static_cast<double>(row - 1) * rowHeight_ - scrollTop_;
  return {body_.x, static_cast<float>(top), body_.width, static_cast<float>(rowHeight_)};
}

void ExList::placeBar(std::unique_ptr<ExScrollBar>& bar, bool vertical, RectF where, int range, int page,
                      bool shown) {
  if (!bar) {
    if (range <= 0) return;  // made when first needed
    bar = std::make_unique<ExScrollBar>();
    bar->minimum(0);
    bar->maximum(0);
    bar->position(0);
    if (bar->create(hostHandle(), where, vertical, 0, 0, false) == 0) {
      bar.reset();
      return;
    }
    if (vertical) bar->setOnScroll([this](int position) { onVScroll(position); });
    else bar->setOnScroll([this](int position) { onHScroll(position); });
  }
  const RectF now = bar->bounds();
  if (now.x != where.x || now.y != where.y || now.width != where.width || now.height != where.height) {
    bar->move(where.x, where.y, where.width, where.height, bar->visible() != 0);
  }
  bar->minimum(0);
  bar->maximum(std::max(range, 0));
  bar->thumbSize(std::max(page, 1));
  bar->pageStep(rowHeight_);
  bar->lineStep(rowHeight_);
  bar->updateRange(shown);
}

void ExList::layoutScrollBars() {
  if (!exists()) return;
  const RectF b = bounds();
  const long long contentHeight = std::min(kMaxExtent, static_cast<long long>(rowCount()) * rowHeight_);
  long long contentWidth = 0;
  for (const Column& c : columns_) contentWidth += c.width;
  contentWidth = std::min(kMaxExtent, contentWidth);
  const float rowsHeight = b.height - static_cast<float>(headerHeight_);
  // Each bar takes room from the other direction's view.
  bool needV = static_cast<float>(contentHeight) > rowsHeight;
  const bool needH = static_cast<float>(contentWidth) > b.width - (needV ? kBarSpan : 0);
  if (needH && !needV) needV = static_cast<float>(contentHeight) > rowsHeight - kBarSpan;
  const RectF oldBody = body_;
  body_ = {b.x, b.y, std::max(0.0f, b.width - (needV ? kBarSpan : 0)),
           std::max(0.0f, b.height - (needH ? kBarSpan : 0))};
  const int viewHeight = std::max(0, static_cast<int>(body_.height) - headerHeight_);
  const int viewWidth = std::max(0, static_cast<int>(body_.width));
  const bool shown = showsRows();
  const float vLength = b.height - 2 - (needH ? kBarSpan + 1 : 0);
  const float hLength = b.width - 2 - (needV ? kBarSpan + 1 : 0);
  placeBar(vScroll_, true, {b.right() - kBarSpan, b.y + 1, kBarThickness, std::max(1.0f, vLength)},
           needV ? static_cast<int>(contentHeight - viewHeight) : 0, viewHeight, shown);
  placeBar(hScroll_, false, {b.x + 1, b.bottom() - kBarSpan, std::max(1.0f, hLength), kBarThickness},
           needH ? static_cast<int>(contentWidth - viewWidth) : 0, viewWidth, shown);
  scrollTop_ = vScroll_ ? std::max(0, vScroll_->position()) : 0;
  scrollLeft_ = hScroll_ ? std::max(0, hScroll_->position()) : 0;
  if (oldBody.width != body_.width || oldBody.height != body_.height) forgetRendered();
  updateVisibleRows();
}

void ExList::updateVisibleRows() {
  if (rows_.empty() || rowHeight_ <= 0) {
    topRow_ = bottomRow_ = 0;
    return;
  }
  const long long view = std::max(1, static_cast<int>(body_.height) - headerHeight_);
  topRow_ = static_cast<int>(std::min<long long>(rowCount(), scrollTop_ / rowHeight_ + 1));
  bottomRow_ = static_cast<int>(std::min<long long>(rowCount(), (scrollTop_ + view - 1) / rowHeight_ + 1));
}

void ExList::onVScroll(int position) {
  scrollTop_ = std::max(0, position);
  updateVisibleRows();
  // The rows slid under a pointer that stayed put: hover the one it is over now.
  if (hot_ != 0) hot_ = rowAt(pointerX_, pointerY_);
  if (showsRows()) repaintRows(topRow_, bottomRow_ + 1);
}

void ExList::onHScroll(int position) {
  scrollLeft_ = std::max(0, position);
  forgetRendered();
  if (showsRows()) repaintRows(topRow_, bottomRow_ + 1);
}

void ExList::repaintRows(int first, int last) {
  if (!showsRows() || redrawFlag() == 0 || rows_.empty()) return;
  ExWindow* window = host();
  if (window == nullptr) return;
  first = std::max(first, topRow_);
  last = std::min(last, bottomRow_);
  if (first > last || first < 1) return;
  const RectF top = rowRect(first);
  const RectF bottom = rowRect(last);
  const float y1 = std::max(top.y, body_.y + static_cast<float>(headerHeight_));
  const float y2 = std::min(bottom.bottom(), body_.bottom());
  if (y2 <= y1 || body_.width <= 0) return;
  const int left = static_cast<int>(std::floor(body_.x));
  const int right = static_cast<int>(std::ceil(body_.right()));
  const int upper = static_cast<int>(std::floor(y1));
  const int lower = static_cast<int>(std::ceil(y2));
  window->repaintRegion({left, upper, right - left, lower - upper});
}

}  // namespace ui::controls
