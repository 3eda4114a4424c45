#include <cmath>

#include "assets/generator/Artwork.h"

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kCell = kDemoButtonCell;

void glyph(cairo_t* cr, int which, double cx, double cy) {
  switch (which) {
    case 0:  // previous
      cairo_rectangle(cr, cx - 8, cy - 7, 2.5, 14);
      cairo_move_to(cr, cx + 7, cy - 7);
      cairo_line_to(cr, cx - 5, cy);
      cairo_line_to(cr, cx + 7, cy + 7);
      break;
    case 1:  // play
      cairo_move_to(cr, cx - 5, cy - 8);
      cairo_line_to(cr, cx + 8, cy);
      cairo_line_to(cr, cx - 5, cy + 8);
      break;
    case 2:  // pause
      cairo_rectangle(cr, cx - 6, cy - 7, 4, 14);
      cairo_rectangle(cr, cx + 2, cy - 7, 4, 14);
      break;
    case 3:  // next
      cairo_rectangle(cr, cx + 5.5, cy - 7, 2.5, 14);
      cairo_move_to(cr, cx - 7, cy - 7);
      cairo_line_to(cr, cx + 5, cy);
      cairo_line_to(cr, cx - 7, cy + 7);
      break;
    case 4:  // stop
      cairo_rectangle(cr, cx - 6, cy - 6, 12, 12);
      break;
    default:  // heart
      cairo_move_to(cr, cx, cy + 8);
      cairo_curve_to(cr, cx - 14, cy - 1, cx - 6, cy - 12, cx, cy - 4);
      cairo_curve_to(cr, cx + 6, cy - 12, cx + 14, cy - 1, cx, cy + 8);
      break;
  }
  cairo_close_path(cr);
  cairo_fill(cr);
}

}  // namespace

cairo_surface_t* drawDemoButtons() {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3 * kCell, kDemoButtonGlyphs * kCell);
  cairo_t* cr = cairo_create(surface);
  for (int g = 0; g < kDemoButtonGlyphs; ++g) {
    for (int look = 0; look < 3; ++look) {
      const double cx = look * kCell + kCell / 2.0, cy = g * kCell + kCell / 2.0;
      const double radius = look == 2 ? kCell / 2.0 - 3 : kCell / 2.0 - 1.5;
      cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
      if (look == 0) {
        // Normal: a quiet ring on a faint disc.
        cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
      } else if (look == 1) {
        // Hover: a lit disc with a teal rim.
        cairo_pattern_t* lit = cairo_pattern_create_radial(cx, cy - 6, 2, cx, cy, radius);
        cairo_pattern_add_color_stop_rgba(lit, 0, 1, 1, 1, 0.55);
        cairo_pattern_add_color_stop_rgba(lit, 1, 0.31, 0.82, 0.77, 0.35);
        cairo_set_source(cr, lit);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(lit);
        cairo_set_source_rgba(cr, 0.31, 0.82, 0.77, 1);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
      } else {
        // Pressed: a smaller amber disc with a dark glyph.
        cairo_set_source_rgba(cr, 0.96, 0.68, 0.33, 0.95);
        cairo_fill(cr);
        cairo_set_source_rgba(cr, 0.15, 0.12, 0.25, 1);
      }
      glyph(cr, g, cx, cy);
    }
  }
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
