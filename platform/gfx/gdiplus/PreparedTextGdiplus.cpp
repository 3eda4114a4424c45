#include "platform/gfx/PreparedText.h"

#include "platform/gfx/gdiplus/TextLayout.h"

namespace platform::gfx {

PreparedText::PreparedText() = default;
PreparedText::~PreparedText() = default;
PreparedText::PreparedText(PreparedText&&) noexcept = default;
PreparedText& PreparedText::operator=(PreparedText&&) noexcept = default;

PreparedText::PreparedText(const Graphics& g, std::u16string_view text, const Font* font, RectF layout,
                           const StringFormat& format) {
  if (font == nullptr || !layout.finite() || graphicsOf(g) == nullptr) return;
  layout_ = std::make_unique<detail::TextLayout>(graphicsOf(g), text, *font, layout, format, true);
}

RectF PreparedText::bounds() const { return layout_ ? layout_->bounds() : RectF{}; }

RectF PreparedText::rangeBounds(int first, int length) const {
  return layout_ ? layout_->rangeBounds(first, length) : RectF{};
}

void PreparedText::draw(Graphics& g, int dx, int dy, Argb colour) const {
  if (layout_ && graphicsOf(g) != nullptr) layout_->draw(graphicsOf(g), colour, float(dx), float(dy));
}

}  // namespace platform::gfx
