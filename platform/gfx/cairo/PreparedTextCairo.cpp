#include "platform/gfx/PreparedText.h"

#include "platform/gfx/cairo/TextLayout.h"

namespace platform::gfx {

namespace {

bool usable(cairo_t* cr) { return cr != nullptr && cairo_status(cr) == CAIRO_STATUS_SUCCESS; }

}  // namespace

PreparedText::PreparedText() = default;
PreparedText::~PreparedText() = default;
PreparedText::PreparedText(PreparedText&&) noexcept = default;
PreparedText& PreparedText::operator=(PreparedText&&) noexcept = default;

PreparedText::PreparedText(const Graphics& g, std::u16string_view text, const Font* font, RectF layout,
                           const StringFormat& format) {
  if (font == nullptr || !layout.finite() || !usable(cairoContextOf(g))) return;
  layout_ = std::make_unique<detail::TextLayout>(cairoContextOf(g), text, *font, layout, format, true);
}

RectF PreparedText::bounds() const { return layout_ ? layout_->bounds() : RectF{}; }

RectF PreparedText::rangeBounds(int first, int length) const {
  return layout_ ? layout_->rangeBounds(first, length) : RectF{};
}

void PreparedText::draw(Graphics& g, int dx, int dy, Argb colour) const {
  cairo_t* cr = cairoContextOf(g);
  if (!layout_ || !usable(cr)) return;
  // Whole pixels keep the glyphs on the grid they were hinted for.
  layout_->draw(cr, colour, dx, dy);
}

}  // namespace platform::gfx
