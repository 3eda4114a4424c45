#include "platform/gfx/cairo/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace platform::gfx::detail {

namespace {

struct Attributes {
  PangoAttrList* list = pango_attr_list_new();
  ~Attributes() { pango_attr_list_unref(list); }
  void add(PangoAttribute* a, int start, int end) {
    a->start_index = static_cast<guint>(start);
    a->end_index = static_cast<guint>(end);
    pango_attr_list_insert(list, a);
  }
};

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

double alignFactor(int alignment) {
  return alignment == kAlignCenter ? 0.5 : alignment == kAlignFar ? 1.0 : 0.0;
}

}  // namespace

TextLayout::TextLayout(cairo_t* cr, std::u16string_view text, const Font& font, RectF rect,
                       const StringFormat& format, bool keepTrailingSpaces)
    : layout_(pango_cairo_create_layout(cr)), rect_(rect), format_(format) {
  // Like a counted string of -1, the text ends at its first NUL.
  text = text.substr(0, text.find(u'\0'));

  // Hotkey prefixes: what is shown, and where each original unit landed.
  std::u16string shown;
  std::vector<int> shownOfUnit(text.size() + 1, 0);
  int underlineAt = -1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    shownOfUnit[i] = static_cast<int>(shown.size());
    if (format.hotkeyPrefix != kHotkeyNone && text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        shown += u'&';
        shownOfUnit[++i] = static_cast<int>(shown.size()) - 1;
      } else if (format.hotkeyPrefix == kHotkeyShow && i + 1 < text.size()) {
        underlineAt = static_cast<int>(shown.size());
      }
      continue;
    }
    shown += text[i];
  }
  shownOfUnit[text.size()] = static_cast<int>(shown.size());
  if (!keepTrailingSpaces && !(format.flags & kFlagMeasureTrailingSpaces)) {
    while (!shown.empty() && shown.back() == u' ') shown.pop_back();
  }

  std::string utf8;
  std::vector<int> byteOfShown(shown.size() + 1, 0);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    byteOfShown[i] = static_cast<int>(utf8.size());
    char32_t c = shown[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < shown.size() && shown[i + 1] >= 0xDC00 &&
        shown[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (shown[i + 1] - 0xDC00);
      byteOfShown[++i] = static_cast<int>(utf8.size());
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    appendUtf8(utf8, c);
  }
  byteOfShown[shown.size()] = static_cast<int>(utf8.size());
  byteOfUnit_.resize(text.size() + 1);
  for (std::size_t i = 0; i <= text.size(); ++i) {
    byteOfUnit_[i] = byteOfShown[std::min<std::size_t>(shownOfUnit[i], shown.size())];
  }

  pango_layout_set_font_description(layout_.get(), pangoDescriptionOf(font));
  pango_layout_set_text(layout_.get(), utf8.c_str(), static_cast<int>(utf8.size()));
  Attributes attrs;
  if (font.underline()) attrs.add(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), 0, static_cast<int>(utf8.size()));
  if (font.strikeout()) attrs.add(pango_attr_strikethrough_new(TRUE), 0, static_cast<int>(utf8.size()));
  if (underlineAt >= 0 && underlineAt < static_cast<int>(shown.size())) {
    attrs.add(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), byteOfShown[underlineAt],
              byteOfShown[underlineAt + 1]);
  }
  pango_layout_set_attributes(layout_.get(), attrs.list);

  padding_ = format.typographic ? 0.0f : font.sizePx() / 6.0f;
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_get_font_options(cr, options);
  gridFit_ = cairo_font_options_get_hint_metrics(options) == CAIRO_HINT_METRICS_ON;
  cairo_font_options_destroy(options);
  const bool wrap = !(format.flags & kFlagNoWrap) && rect.width > 0;
  const bool ellipsis = format.trimming >= kTrimmingEllipsisCharacter && rect.width > 0;
  if (wrap || ellipsis) {
    const double available = std::max(1.0, rect.width - 2.0 * padding_);
    pango_layout_set_width(layout_.get(), static_cast<int>(available * PANGO_SCALE));
    pango_layout_set_wrap(layout_.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout_.get(), format.alignment == kAlignCenter ? PANGO_ALIGN_CENTER
                                              : format.alignment == kAlignFar  ? PANGO_ALIGN_RIGHT
                                                                               : PANGO_ALIGN_LEFT);
    if (ellipsis) {
      pango_layout_set_ellipsize(layout_.get(), format.trimming == kTrimmingEllipsisPath
                                                    ? PANGO_ELLIPSIZE_MIDDLE
                                                    : PANGO_ELLIPSIZE_END);
      if (wrap && rect.height > 0) pango_layout_set_height(layout_.get(), static_cast<int>(rect.height * PANGO_SCALE));
      else pango_layout_set_height(layout_.get(), 0);  // one line
    }
  }
  place();
}

void TextLayout::place() {
  pango_layout_get_extents(layout_.get(), nullptr, &logical_);
  const double lx = logical_.x / double(PANGO_SCALE), ly = logical_.y / double(PANGO_SCALE);
  const double lw = logical_.width / double(PANGO_SCALE), lh = logical_.height / double(PANGO_SCALE);
  if (pango_layout_get_width(layout_.get()) > 0) {
    originX_ = rect_.x + padding_;  // Pango aligned the lines within the width
  } else {
    const double available = std::max(0.0f, rect_.width) - 2.0 * padding_;
    originX_ = rect_.x + padding_ + (available - lw) * alignFactor(format_.alignment) - lx;
  }
  const double availableHeight = std::max(0.0f, rect_.height);
  originY_ = rect_.y + (availableHeight - lh) * alignFactor(format_.lineAlignment) - ly;
  if (gridFit_) {
    // Grid-fitted text starts on whole pixels, as its glyphs were hinted for.
    originX_ = std::round(originX_);
    originY_ = std::round(originY_);
  }
}

RectF TextLayout::bounds() const {
  if (pango_layout_get_character_count(layout_.get()) == 0) {
    return RectF{rect_.x, rect_.y, 0, 0};
  }
  const double lx = logical_.x / double(PANGO_SCALE), ly = logical_.y / double(PANGO_SCALE);
  return RectF{static_cast<float>(originX_ + lx - padding_), static_cast<float>(originY_ + ly),
               static_cast<float>(logical_.width / double(PANGO_SCALE) + 2 * padding_),
               static_cast<float>(logical_.height / double(PANGO_SCALE))};
}

void TextLayout::draw(cairo_t* cr, Argb colour, double dx, double dy) const {
  if (pango_layout_get_character_count(layout_.get()) == 0) return;
  cairo_save(cr);
  if (!(format_.flags & kFlagNoClip) && rect_.width > 0 && rect_.height > 0) {
    cairo_rectangle(cr, rect_.x + dx, rect_.y + dy, rect_.width, rect_.height);
    cairo_clip(cr);
  }
  cairo_set_source_rgba(cr, redOf(colour) / 255.0, greenOf(colour) / 255.0, blueOf(colour) / 255.0,
                        alphaOf(colour) / 255.0);
  cairo_move_to(cr, originX_ + dx, originY_ + dy);
  pango_cairo_update_layout(cr, layout_.get());
  pango_cairo_show_layout(cr, layout_.get());
  cairo_restore(cr);
}

int TextLayout::byteOffsetOf(int unit) const {
  return byteOfUnit_[std::clamp<std::size_t>(static_cast<std::size_t>(std::max(unit, 0)), 0,
                                              byteOfUnit_.size() - 1)];
}

RectF TextLayout::rangeBounds(int first, int length) const {
  const int units = static_cast<int>(byteOfUnit_.size()) - 1;
  if (first < 0 || length <= 0 || first >= units) return {};
  const int last = std::min(units, first + length);
  const int textBytes = byteOfUnit_.back();
  bool any = false;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int previous = -1;
  for (int i = first; i < last; ++i) {
    const int b = byteOffsetOf(i);
    if (b >= textBytes || b == previous) continue;  // dropped prefix, second surrogate
    previous = b;
    PangoRectangle pos;
    pango_layout_index_to_pos(layout_.get(), b, &pos);
    double ax = pos.x, bx = pos.x + pos.width;
    if (ax > bx) std::swap(ax, bx);
    const double ay = pos.y, by = pos.y + pos.height;
    if (!any) {
      x1 = ax, y1 = ay, x2 = bx, y2 = by;
      any = true;
    } else {
      x1 = std::min(x1, ax), y1 = std::min(y1, ay), x2 = std::max(x2, bx), y2 = std::max(y2, by);
    }
  }
  if (!any) return {};
  const double s = PANGO_SCALE;
  return RectF{static_cast<float>(originX_ + x1 / s), static_cast<float>(originY_ + y1 / s),
               static_cast<float>((x2 - x1) / s), static_cast<float>((y2 - y1) / s)};
}

}  // namespace platform::gfx::detail
