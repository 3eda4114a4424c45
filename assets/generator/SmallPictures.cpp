// The preset rows' picture and the program icon.

#include "assets/generator/PictureScale.h"
#include "assets/generator/AppArtwork.h"
#include "assets/generator/Palette.h"

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
using palette::source;
using palette::stop;

void noteHead(cairo_t* cr, double x, double y) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, -0.35);
  cairo_scale(cr, 13, 9.5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_fill(cr);
}

// Two beamed quavers in a 128-unit square.
void beamedNotes(cairo_t* cr) {
  noteHead(cr, 45, 90);
  noteHead(cr, 85, 81);
  cairo_rectangle(cr, 52.5, 36, 5.5, 55);
  cairo_rectangle(cr, 92.5, 27, 5.5, 55);
  cairo_fill(cr);
  cairo_move_to(cr, 52.5, 36);
  cairo_line_to(cr, 98, 25);
  cairo_line_to(cr, 98, 39);
  cairo_line_to(cr, 52.5, 50);
  cairo_close_path(cr);
  cairo_fill(cr);
}

}  // namespace

cairo_surface_t* drawPresetRowPicture() {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_RGB24, 45, 45);
  cairo_t* cr = cairo_create(surface);
  cairo_pattern_t* cover = cairo_pattern_create_linear(0, 0, 45, 45);
  stop(cover, 0, 0xFF8A5B);
  stop(cover, 0.55, 0xE0487A);
  stop(cover, 1, 0x6A3FB5);
  cairo_set_source(cr, cover);
  cairo_paint(cr);
  cairo_pattern_destroy(cover);

  // A record sliding out of its sleeve.
  const double cx = 27, cy = 22.5, r = 16;
  cairo_arc(cr, cx + 0.8, cy + 1.2, r, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  source(cr, 0x1C1B29);
  cairo_fill(cr);
  cairo_set_line_width(cr, 0.6);
  for (double groove = 7.5; groove < r - 1; groove += 2) {
    cairo_arc(cr, cx, cy, groove, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_stroke(cr);
  }
  // Light catching the grooves.
  cairo_move_to(cr, cx, cy);
  cairo_arc(cr, cx, cy, r - 1, -2.4, -1.6);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, 5.5, 0, 2 * kPi);
  cairo_pattern_t* label = cairo_pattern_create_linear(cx - 5, cy - 5, cx + 5, cy + 5);
  stop(label, 0, 0xFFD166);
  stop(label, 1, 0xFF8A5B);
  cairo_set_source(cr, label);
  cairo_fill(cr);
  cairo_pattern_destroy(label);
  cairo_arc(cr, cx, cy, 1.2, 0, 2 * kPi);
  source(cr, 0x1C1B29);
  cairo_fill(cr);
  // The sleeve's edge on the left.
  cairo_rectangle(cr, 0, 0, 9, 45);
  cairo_pattern_t* sleeve = cairo_pattern_create_linear(0, 0, 0, 45);
  stop(sleeve, 0, 0xFFFFFF, 0.28);
  stop(sleeve, 1, 0xFFFFFF, 0.12);
  cairo_set_source(cr, sleeve);
  cairo_fill(cr);
  cairo_pattern_destroy(sleeve);
  cairo_destroy(cr);
  return surface;
}

cairo_surface_t* drawProgramIcon(int size) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, size / 128.0, size / 128.0);
  palette::roundedRect(cr, 4, 4, 120, 120, 28);
  cairo_pattern_t* tile = cairo_pattern_create_linear(4, 4, 124, 124);
  stop(tile, 0, palette::kHeaderDeep);
  stop(tile, 0.55, palette::kAccent);
  stop(tile, 1, palette::kAccentTeal);
  cairo_set_source(cr, tile);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(tile);
  cairo_save(cr);
  cairo_clip(cr);
  cairo_pattern_t* gloss = cairo_pattern_create_radial(40, 10, 0, 40, 10, 110);
  cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, 0.30);
  cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0);
  cairo_set_source(cr, gloss);
  cairo_paint(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
  cairo_new_path(cr);
  // Shadow of the notes, then the notes.
  cairo_save(cr);
  cairo_translate(cr, 1.5, 3);
  cairo_set_source_rgba(cr, 0, 0.1, 0.3, 0.25);
  beamedNotes(cr);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  beamedNotes(cr);
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
