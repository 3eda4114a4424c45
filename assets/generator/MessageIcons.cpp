#include <cmath>

#include "assets/generator/PictureScale.h"
#include "assets/generator/Artwork.h"

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;

void disc(cairo_t* cr, double ox, double r1, double g1, double b1, double r2, double g2, double b2) {
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 3, 0, 37);
  cairo_pattern_add_color_stop_rgb(shade, 0, r1, g1, b1);
  cairo_pattern_add_color_stop_rgb(shade, 1, r2, g2, b2);
  cairo_arc(cr, ox + 20, 20, 17, 0, 2 * kPi);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void white(cairo_t* cr) { cairo_set_source_rgb(cr, 1, 1, 1); }

void errorCross(cairo_t* cr, double ox) {
  disc(cr, ox, 0.95, 0.33, 0.30, 0.75, 0.08, 0.07);
  white(cr);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, ox + 13, 13);
  cairo_line_to(cr, ox + 27, 27);
  cairo_move_to(cr, ox + 27, 13);
  cairo_line_to(cr, ox + 13, 27);
  cairo_stroke(cr);
}

void warning(cairo_t* cr, double ox) {
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 3, 0, 37);
  cairo_pattern_add_color_stop_rgb(shade, 0, 1.0, 0.72, 0.25);
  cairo_pattern_add_color_stop_rgb(shade, 1, 0.93, 0.48, 0.0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 4);
  cairo_move_to(cr, ox + 20, 4);
  cairo_line_to(cr, ox + 37, 35);
  cairo_line_to(cr, ox + 3, 35);
  cairo_close_path(cr);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_stroke(cr);
  cairo_pattern_destroy(shade);
  white(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 4);
  cairo_move_to(cr, ox + 20, 14);
  cairo_line_to(cr, ox + 20, 24);
  cairo_stroke(cr);
  cairo_arc(cr, ox + 20, 30, 2.4, 0, 2 * kPi);
  cairo_fill(cr);
}

void question(cairo_t* cr, double ox) {
  disc(cr, ox, 0.36, 0.62, 0.98, 0.10, 0.38, 0.82);
  white(cr);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_arc(cr, ox + 20, 16, 5.5, 1.05 * kPi, 2.35 * kPi);
  cairo_curve_to(cr, ox + 21.5, 20, ox + 20, 21, ox + 20, 24);
  cairo_stroke(cr);
  cairo_arc(cr, ox + 20, 30, 2.4, 0, 2 * kPi);
  cairo_fill(cr);
}

void information(cairo_t* cr, double ox) {
  disc(cr, ox, 0.36, 0.62, 0.98, 0.10, 0.38, 0.82);
  white(cr);
  cairo_arc(cr, ox + 20, 11.5, 2.6, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, ox + 20, 18);
  cairo_line_to(cr, ox + 20, 29);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_move_to(cr, ox + 16, 30);
  cairo_line_to(cr, ox + 24, 30);
  cairo_move_to(cr, ox + 17, 17);
  cairo_line_to(cr, ox + 21, 17);
  cairo_stroke(cr);
}

void success(cairo_t* cr, double ox) {
  disc(cr, ox, 0.40, 0.85, 0.40, 0.10, 0.62, 0.20);
  white(cr);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, ox + 11.5, 20.5);
  cairo_line_to(cr, ox + 17.5, 26.5);
  cairo_line_to(cr, ox + 28.5, 14);
  cairo_stroke(cr);
}

}  // namespace

cairo_surface_t* drawMessageIcons() {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 200, 40);
  cairo_t* cr = cairo_create(surface);
  void (*const glyphs[])(cairo_t*, double) = {errorCross, warning, question, information, success};
  for (int i = 0; i < 5; ++i) {
    cairo_save(cr);
    glyphs[i](cr, i * 40.0);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return surface;
}

cairo_surface_t* drawSliderThumb(bool hot) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 14, 14);
  cairo_t* cr = cairo_create(surface);
  if (hot) {
    cairo_arc(cr, 7, 7, 7, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0.0, 0.53, 1.0, 0.35);
    cairo_fill(cr);
  }
  cairo_pattern_t* shade = cairo_pattern_create_radial(5.5, 5, 0.5, 7, 7, 6);
  cairo_pattern_add_color_stop_rgb(shade, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(shade, 1, hot ? 0.85 : 0.80, hot ? 0.93 : 0.82, hot ? 1.0 : 0.86);
  cairo_arc(cr, 7, 7, hot ? 5.5 : 5.8, 0, 2 * kPi);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, hot ? 0.35 : 0, hot ? 0.8 : 0, hot ? 0.8 : 0.35);
  cairo_stroke(cr);
  cairo_arc(cr, 7, 7, 1.6, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0.45, 0.9, hot ? 0.9 : 0.6);
  cairo_fill(cr);
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
