// Round transport buttons, the volume icon and the search button of the main window.

#include "assets/generator/PictureScale.h"
#include "assets/generator/ButtonPictures.h"

#include "assets/generator/Palette.h"

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
using palette::source;
using palette::stop;

// Fills and strokes the current path in one colour, so sharp glyph corners come out rounded.
void fillRounded(cairo_t* cr, double radius) {
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, radius * 2);
  cairo_fill_preserve(cr);
  cairo_stroke(cr);
}

void playGlyph(cairo_t* cr, double cx, double cy) {
  // The triangle's centre of mass sits left of its box, so it is moved right to look centred.
  cairo_move_to(cr, cx - 4.5, cy - 7.5);
  cairo_line_to(cr, cx + 8, cy);
  cairo_line_to(cr, cx - 4.5, cy + 7.5);
  cairo_close_path(cr);
  fillRounded(cr, 1.2);
}

void pauseGlyph(cairo_t* cr, double cx, double cy) {
  palette::roundedRect(cr, cx - 6.5, cy - 8, 4.5, 16, 1.5);
  palette::roundedRect(cr, cx + 2, cy - 8, 4.5, 16, 1.5);
  cairo_fill(cr);
}

// Previous (mirrored = false) or next: a bar and a triangle pointing away from the centre.
void skipGlyph(cairo_t* cr, double cx, double cy, bool next) {
  const double s = next ? -1 : 1;
  cairo_move_to(cr, cx + s * 6.5, cy - 7);
  cairo_line_to(cr, cx - s * 4, cy);
  cairo_line_to(cr, cx + s * 6.5, cy + 7);
  cairo_close_path(cr);
  fillRounded(cr, 1);
  const double barX = next ? cx + 5.5 : cx - 8;
  palette::roundedRect(cr, barX, cy - 7.8, 2.6, 15.6, 1.2);
  cairo_fill(cr);
}

void softShadow(cairo_t* cr, double cx, double cy, double radius, double strength) {
  cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy, radius * 0.7, cx, cy, radius);
  stop(shadow, 0, palette::kAccentDark, strength);
  stop(shadow, 1, palette::kAccentDark, 0);
  cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
  cairo_set_source(cr, shadow);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);
}

}  // namespace

cairo_surface_t* drawMainPlayButton(bool pause, ButtonLook look) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 45, 45);
  cairo_t* cr = cairo_create(surface);
  const double cx = 22.5, cy = 22.5;
  const bool pressed = look == ButtonLook::Pressed;
  const bool hover = look == ButtonLook::Hover;
  softShadow(cr, cx, cy + (pressed ? 1 : 2), pressed ? 20 : 22, pressed ? 0.28 : 0.38);
  if (hover) {
    cairo_arc(cr, cx, cy, 21.5, 0, 2 * kPi);
    source(cr, palette::kAccent, 0.22);
    cairo_fill(cr);
  }
  const double radius = pressed ? 17.5 : hover ? 19 : 18.5;
  cairo_pattern_t* disc = cairo_pattern_create_linear(cx - radius, cy - radius, cx + radius, cy + radius);
  if (pressed) {
    stop(disc, 0, palette::kAccentDark);
    stop(disc, 1, 0x0E8C80);
  } else if (hover) {
    stop(disc, 0, 0x3D9BF0);
    stop(disc, 1, 0x25CDB9);
  } else {
    stop(disc, 0, palette::kAccent);
    stop(disc, 1, palette::kAccentTeal);
  }
  cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
  cairo_set_source(cr, disc);
  cairo_fill(cr);
  cairo_pattern_destroy(disc);
  if (!pressed) {
    // A gloss on the upper half, fading out before the middle.
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, cy - radius, 0, cy + 2);
    cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, 0.28);
    cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0);
    cairo_arc(cr, cx, cy, radius - 1, 0, 2 * kPi);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, pressed ? 0.92 : 1);
  const double gy = cy + (pressed ? 0.5 : 0);
  if (pause) pauseGlyph(cr, cx, gy);
  else playGlyph(cr, cx, gy);
  cairo_destroy(cr);
  return surface;
}

cairo_surface_t* drawSkipButton(bool next, ButtonLook look) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 45, 45);
  cairo_t* cr = cairo_create(surface);
  const double cx = 22.5, cy = 22.5;
  if (look != ButtonLook::Normal) {
    const bool pressed = look == ButtonLook::Pressed;
    cairo_arc(cr, cx, cy, pressed ? 16 : 17, 0, 2 * kPi);
    if (pressed) source(cr, palette::kAccent, 0.2);
    else source(cr, 0xFFFFFF, 0.85);
    cairo_fill_preserve(cr);
    source(cr, palette::kAccent, pressed ? 0.35 : 0.25);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    source(cr, pressed ? palette::kAccentDark : palette::kAccent);
  } else {
    source(cr, palette::kInk, 0.82);
  }
  skipGlyph(cr, cx, cy, next);
  cairo_destroy(cr);
  return surface;
}

cairo_surface_t* drawVolumeButton(ButtonLook look) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 22, 22);
  cairo_t* cr = cairo_create(surface);
  const unsigned colour = look == ButtonLook::Normal  ? palette::kInkMuted
                          : look == ButtonLook::Hover ? palette::kAccent
                                                      : palette::kAccentDark;
  source(cr, colour);
  // Speaker: a small box and its cone.
  cairo_move_to(cr, 3.5, 8.5);
  cairo_line_to(cr, 6.5, 8.5);
  cairo_line_to(cr, 10.5, 5);
  cairo_line_to(cr, 10.5, 17);
  cairo_line_to(cr, 6.5, 13.5);
  cairo_line_to(cr, 3.5, 13.5);
  cairo_close_path(cr);
  fillRounded(cr, 0.8);
  // Two sound waves.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 1.6);
  cairo_arc(cr, 11, 11, 4, -0.9, 0.9);
  cairo_stroke(cr);
  cairo_arc(cr, 11, 11, 7.5, -0.95, 0.95);
  cairo_stroke(cr);
  cairo_destroy(cr);
  return surface;
}

cairo_surface_t* drawSearchButton(ButtonLook look) {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 30, 27);
  cairo_t* cr = cairo_create(surface);
  if (look != ButtonLook::Normal) {
    palette::roundedRect(cr, 2, 2, 26, 23, 7);
    source(cr, look == ButtonLook::Hover ? palette::kAccent : palette::kAccentDark);
    cairo_fill(cr);
    source(cr, 0xFFFFFF);
  } else {
    // The search box is dark with white text; the glyph at rest matches it.
    source(cr, 0xFFFFFF, 0.85);
  }
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_arc(cr, 13.5, 12.5, 5.5, 0, 2 * kPi);
  cairo_stroke(cr);
  cairo_move_to(cr, 17.6, 16.6);
  cairo_line_to(cr, 21, 20);
  cairo_set_line_width(cr, 2.4);
  cairo_stroke(cr);
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
