#include "platform/gfx/gdiplus/TextLayout.h"

#include <algorithm>

namespace platform::gfx::detail {

namespace {

GpStringFormatPtr formatOf(const StringFormat& format, bool keepTrailingSpaces) {
  Gdiplus::GpStringFormat* generic = nullptr;
  if (format.typographic) gp::GdipStringFormatGetGenericTypographic(&generic);
  else gp::GdipStringFormatGetGenericDefault(&generic);
  Gdiplus::GpStringFormat* copy = nullptr;
  if (generic == nullptr || gp::GdipCloneStringFormat(generic, &copy) != Gdiplus::Ok) return nullptr;
  int flags = format.flags;
  if (keepTrailingSpaces) flags |= kFlagMeasureTrailingSpaces;
  gp::GdipSetStringFormatFlags(copy, flags);
  gp::GdipSetStringFormatAlign(copy, static_cast<Gdiplus::StringAlignment>(format.alignment));
  gp::GdipSetStringFormatLineAlign(copy, static_cast<Gdiplus::StringAlignment>(format.lineAlignment));
  gp::GdipSetStringFormatTrimming(copy, static_cast<Gdiplus::StringTrimming>(format.trimming));
  gp::GdipSetStringFormatHotkeyPrefix(copy, format.hotkeyPrefix);
  return GpStringFormatPtr(copy);
}

}  // namespace

TextLayout::TextLayout(Gdiplus::GpGraphics* g, std::u16string_view text, const Font& font, RectF rect,
                       const StringFormat& format, bool keepTrailingSpaces)
    : font_(font.clone()), rect_(rect.x, rect.y, std::max(0.0f, rect.width), std::max(0.0f, rect.height)),
      format_(formatOf(format, keepTrailingSpaces)) {
  // Like a counted string of -1, the text ends at its first NUL.
  text = text.substr(0, text.find(u'\0'));
  text_.assign(text.begin(), text.end());
  bounds_ = RectF{rect.x, rect.y, 0, 0};
  Gdiplus::REAL scale = 1;
  Gdiplus::TextRenderingHint hint = Gdiplus::TextRenderingHintAntiAliasGridFit;
  gp::GdipGetPageScale(g, &scale);
  gp::GdipGetTextRenderingHint(g, &hint);
  scratch_ = Surface::createScaled(1, 1, scale);
  measure_ = unitGraphicsOn(scratch_);
  if (!measure_ || !format_ || !font_ || text_.empty()) return;
  gp::GdipSetTextRenderingHint(measure_.get(), hint);
  Gdiplus::RectF box{};
  if (gp::GdipMeasureString(measure_.get(), text_.c_str(), static_cast<INT>(text_.size()), gpFontOf(*font_), &rect_,
                            format_.get(), &box, nullptr, nullptr) == Gdiplus::Ok) {
    bounds_ = RectF{box.X, box.Y, box.Width, box.Height};
  }
}

void TextLayout::draw(Gdiplus::GpGraphics* g, Argb colour, float dx, float dy) const {
  if (text_.empty() || !format_ || !font_) return;
  Gdiplus::GpSolidFill* brush = nullptr;
  if (gp::GdipCreateSolidFill(colour, &brush) != Gdiplus::Ok) return;
  const Gdiplus::RectF moved(rect_.X + dx, rect_.Y + dy, rect_.Width, rect_.Height);
  gp::GdipDrawString(g, text_.c_str(), static_cast<INT>(text_.size()), gpFontOf(*font_), &moved, format_.get(), brush);
  gp::GdipDeleteBrush(brush);
}

RectF TextLayout::rangeBounds(int first, int length) const {
  const int units = static_cast<int>(text_.size());
  if (first < 0 || length <= 0 || first >= units || !measure_ || !format_ || !font_) return {};
  const Gdiplus::CharacterRange range(first, std::min(length, units - first));
  Gdiplus::GpStringFormat* f = nullptr;
  if (gp::GdipCloneStringFormat(format_.get(), &f) != Gdiplus::Ok) return {};
  GpStringFormatPtr withRange(f);
  gp::GdipSetStringFormatMeasurableCharacterRanges(f, 1, &range);
  Gdiplus::GpRegion* region = nullptr;
  gp::GdipCreateRegion(&region);
  RectF result{};
  if (region != nullptr &&
      gp::GdipMeasureCharacterRanges(measure_.get(), text_.c_str(), static_cast<INT>(text_.size()), gpFontOf(*font_),
                                     rect_, f, 1, &region) == Gdiplus::Ok) {
    Gdiplus::GpRectF r{};
    gp::GdipGetRegionBounds(region, measure_.get(), &r);
    result = RectF{r.X, r.Y, r.Width, r.Height};
  }
  if (region != nullptr) gp::GdipDeleteRegion(region);
  return result;
}

}  // namespace platform::gfx::detail
