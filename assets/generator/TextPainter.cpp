#include "assets/generator/TextPainter.h"

#include <pango/pangocairo.h>

namespace artwork {

void drawCaption(cairo_t* cr, const char* text, double pixelSize, bool bold, double x, double y, double width,
                 double height, TextAlign align) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  // Grey antialiasing: the pictures are composed over any background, where subpixel
  // colour fringes would show.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout);

  PangoFontDescription* font = pango_font_description_from_string("WenQuanYi Micro Hei, Sans");
  pango_font_description_set_absolute_size(font, pixelSize * PANGO_SCALE);
  pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, text, -1);
  pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
  pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  pango_layout_set_alignment(layout, align == TextAlign::Left    ? PANGO_ALIGN_LEFT
                                     : align == TextAlign::Right ? PANGO_ALIGN_RIGHT
                                                                 : PANGO_ALIGN_CENTER);
  PangoRectangle ink;
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  cairo_move_to(cr, x, y + (height - logical.height) / 2.0);
  pango_cairo_show_layout(cr, layout);
  cairo_new_path(cr);
  g_object_unref(layout);
}

}  // namespace artwork
