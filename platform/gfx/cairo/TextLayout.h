#pragma once
// One string laid out with Pango for a font, a layout rectangle and a string format; the
// same object answers drawing, measuring and character-range questions, so the three
// always agree.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pango/pangocairo.h>

#include "platform/gfx/cairo/CairoHandles.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/StringFormat.h"

namespace platform::gfx::detail {

class TextLayout {
 public:
  // keepTrailingSpaces overrides the format's MeasureTrailingSpaces flag (ranges need
  // every character laid out).
  TextLayout(cairo_t* cr, std::u16string_view text, const Font& font, RectF layoutRect,
             const StringFormat& format, bool keepTrailingSpaces = false);

  // Moved by (dx, dy) without touching the transformation, which would make Pango lay
  // the text out again.
  void draw(cairo_t* cr, Argb colour, double dx = 0, double dy = 0) const;
  RectF bounds() const;
  // Bounding box of the characters [first, first + length) of the original string.
  RectF rangeBounds(int first, int length) const;

 private:
  void place();
  // Byte offset in the laid-out UTF-8 text of a UTF-16 position of the original text.
  int byteOffsetOf(int utf16Index) const;

  GObjectPtr<PangoLayout> layout_;
  RectF rect_;
  StringFormat format_;
  float padding_ = 0;
  bool gridFit_ = false;
  double originX_ = 0;
  double originY_ = 0;
  PangoRectangle logical_{};
  std::vector<int> byteOfUnit_;  // size = original length + 1
};

}  // namespace platform::gfx::detail
