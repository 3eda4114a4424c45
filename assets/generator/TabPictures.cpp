// Tabs and the group headers of the first tab.

#include "assets/generator/PictureScale.h"
#include "assets/generator/ButtonPictures.h"
#include "assets/generator/Palette.h"
#include "assets/generator/TextPainter.h"

namespace artwork {

namespace {

using palette::source;
using palette::stop;

void chevron(cairo_t* cr, double cx, double cy, bool open) {
  cairo_set_line_width(cr, 1.8);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (open) {
    cairo_move_to(cr, cx - 4, cy - 2);
    cairo_line_to(cr, cx, cy + 2.5);
    cairo_line_to(cr, cx + 4, cy - 2);
  } else {
    cairo_move_to(cr, cx - 2, cy - 4);
    cairo_line_to(cr, cx + 2.5, cy);
    cairo_line_to(cr, cx - 2, cy + 4);
  }
  cairo_stroke(cr);
}

}  // namespace

cairo_surface_t* drawTabButton(const char* caption, bool active) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 95, 35);
  cairo_t* cr = cairo_create(surface);
  if (active) {
    cairo_pattern_t* wash = cairo_pattern_create_linear(0, 0, 0, 35);
    stop(wash, 0, palette::kAccent, 0);
    stop(wash, 1, palette::kAccent, 0.10);
    cairo_rectangle(cr, 0, 0, 95, 35);
    cairo_set_source(cr, wash);
    cairo_fill(cr);
    cairo_pattern_destroy(wash);
    cairo_pattern_t* bar = cairo_pattern_create_linear(30, 0, 65, 0);
    stop(bar, 0, palette::kAccent);
    stop(bar, 1, palette::kAccentTeal);
    palette::roundedRect(cr, 30, 31, 35, 3, 1.5);
    cairo_set_source(cr, bar);
    cairo_fill(cr);
    cairo_pattern_destroy(bar);
    source(cr, palette::kAccentDark);
  } else {
    source(cr, palette::kInkMuted);
  }
  drawCaption(cr, caption, 13.5, active, 0, 1, 95, 30);
  cairo_destroy(cr);
  return surface;
}

cairo_surface_t* drawGroupHeader(const char* caption, GroupLook look) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 282, 30);
  cairo_t* cr = cairo_create(surface);
  const bool open = look == GroupLook::Open;
  const bool lit = look != GroupLook::Closed;
  palette::roundedRect(cr, 1.5, 2.5, 279, 26, 6);
  source(cr, 0xFFFFFF, lit ? 0.92 : 0.6);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1);
  if (lit) source(cr, palette::kAccent, 0.35);
  else source(cr, palette::kHairline, 0.9);
  cairo_stroke(cr);
  if (open) {
    cairo_pattern_t* bar = cairo_pattern_create_linear(0, 8, 0, 22);
    stop(bar, 0, palette::kAccent);
    stop(bar, 1, palette::kAccentTeal);
    palette::roundedRect(cr, 4, 8, 3, 14, 1.5);
    cairo_set_source(cr, bar);
    cairo_fill(cr);
    cairo_pattern_destroy(bar);
  }
  source(cr, lit ? palette::kAccent : palette::kInkMuted);
  chevron(cr, 17, 15.5, open);
  source(cr, open ? palette::kAccentDark : palette::kInk);
  drawCaption(cr, caption, 13, open, 30, 2, 200, 27, TextAlign::Left);
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
