#pragma once
// One string with its font, layout rectangle and string format as GDI+ lays it out; the
// same object answers drawing, measuring and character-range questions, so the three
// always agree.

#include <string>
#include <string_view>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/StringFormat.h"
#include "platform/gfx/Surface.h"
#include "platform/gfx/gdiplus/GdiplusHandles.h"

namespace platform::gfx::detail {

class TextLayout {
 public:
  // Measured with g's text settings; keepTrailingSpaces lays out trailing spaces whatever
  // the format says (ranges need every character laid out).
  TextLayout(Gdiplus::GpGraphics* g, std::u16string_view text, const Font& font, RectF layoutRect,
             const StringFormat& format, bool keepTrailingSpaces = false);

  void draw(Gdiplus::GpGraphics* g, Argb colour, float dx = 0, float dy = 0) const;
  RectF bounds() const { return bounds_; }
  RectF rangeBounds(int first, int length) const;

 private:
  std::wstring text_;
  std::unique_ptr<Font> font_;
  Gdiplus::RectF rect_;
  GpStringFormatPtr format_;
  // Range questions come later, after the caller's graphics may be gone.
  Surface scratch_;
  GpGraphicsPtr measure_;
  RectF bounds_{};
};

}  // namespace platform::gfx::detail
