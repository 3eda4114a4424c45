#pragma once
// A string laid out once and then measured and drawn many times, with exactly the results
// of Graphics::measureString, measureCharacterRanges and drawString for the same text,
// font, layout rectangle and format (trailing spaces always laid out). For a control that
// measures and redraws the same line on every keystroke. UI thread only.

#include <memory>
#include <string_view>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/StringFormat.h"

namespace platform::gfx {

namespace detail {
class TextLayout;
}

class PreparedText {
 public:
  PreparedText();
  // Lays text out with g's text settings; empty when g cannot draw or font is null.
  PreparedText(const Graphics& g, std::u16string_view text, const Font* font, RectF layout, const StringFormat& format);
  ~PreparedText();
  PreparedText(PreparedText&&) noexcept;
  PreparedText& operator=(PreparedText&&) noexcept;

  bool valid() const { return layout_ != nullptr; }
  RectF bounds() const;
  // Bounds of the UTF-16 units [first, first + length).
  RectF rangeBounds(int first, int length) const;
  // Draws onto g (its clip applies), moved by whole pixels (dx, dy).
  void draw(Graphics& g, int dx, int dy, Argb colour) const;

 private:
  std::unique_ptr<detail::TextLayout> layout_;
};

}  // namespace platform::gfx
