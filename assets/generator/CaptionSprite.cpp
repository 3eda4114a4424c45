#include <cmath>

#include "assets/generator/PictureScale.h"
#include "assets/generator/Artwork.h"

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
enum class Glyph { Close, Maximise, Restore, Minimise, Menu, Skin, Feedback, Settings };
enum class State { Normal, Hover, Pressed };

void drawGlyphShape(cairo_t* cr, Glyph glyph, double cx) {
  // cx is the centre of the cell on a half-pixel, so 1-pixel strokes are crisp.
  cairo_new_path(cr);
  switch (glyph) {
    case Glyph::Close:
      cairo_set_line_width(cr, 1.5);
      cairo_move_to(cr, cx - 4.5, 5.5);
      cairo_line_to(cr, cx + 4.5, 14.5);
      cairo_move_to(cr, cx + 4.5, 5.5);
      cairo_line_to(cr, cx - 4.5, 14.5);
      cairo_stroke(cr);
      break;
    case Glyph::Maximise:
      cairo_set_line_width(cr, 1);
      cairo_rectangle(cr, cx - 5, 5.5, 10, 9);
      cairo_stroke(cr);
      cairo_rectangle(cr, cx - 5.5, 5, 11, 2);
      cairo_fill(cr);
      break;
    case Glyph::Restore:
      cairo_set_line_width(cr, 1);
      cairo_move_to(cr, cx - 2, 6);
      cairo_line_to(cr, cx - 2, 4.5);
      cairo_line_to(cr, cx + 5.5, 4.5);
      cairo_line_to(cr, cx + 5.5, 11.5);
      cairo_line_to(cr, cx + 3, 11.5);
      cairo_stroke(cr);
      cairo_rectangle(cr, cx - 5.5, 7.5, 8, 7);
      cairo_stroke(cr);
      cairo_rectangle(cr, cx - 6, 7, 9, 2);
      cairo_fill(cr);
      break;
    case Glyph::Minimise:
      cairo_rectangle(cr, cx - 5.5, 12, 11, 2);
      cairo_fill(cr);
      break;
    case Glyph::Menu:
      cairo_move_to(cr, cx - 5, 8);
      cairo_line_to(cr, cx + 5, 8);
      cairo_line_to(cr, cx, 13);
      cairo_close_path(cr);
      cairo_fill(cr);
      break;
    case Glyph::Skin: {
      const double pts[][2] = {{-2.5, 4}, {-7, 6.5}, {-5.5, 10}, {-4, 9.2}, {-4, 15.5}, {4, 15.5},
                               {4, 9.2},  {5.5, 10}, {7, 6.5},   {2.5, 4}};
      cairo_move_to(cr, cx + pts[0][0], pts[0][1]);
      for (const auto& p : pts) cairo_line_to(cr, cx + p[0], p[1]);
      cairo_close_path(cr);
      cairo_fill(cr);
      // A collar notch cut out of the neck line.
      cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
      cairo_arc(cr, cx, 4, 2.2, 0, kPi);
      cairo_fill(cr);
      cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      break;
    }
    case Glyph::Feedback: {
      cairo_set_line_width(cr, 1);
      const double l = cx - 6.5, t = 4.5, r = cx + 6.5, b = 12.5, rad = 2;
      cairo_arc(cr, l + rad, t + rad, rad, kPi, 1.5 * kPi);
      cairo_arc(cr, r - rad, t + rad, rad, 1.5 * kPi, 2 * kPi);
      cairo_arc(cr, r - rad, b - rad, rad, 0, 0.5 * kPi);
      cairo_line_to(cr, cx - 1.5, b);
      cairo_line_to(cr, cx - 4.5, 15.5);
      cairo_line_to(cr, cx - 4, b);
      cairo_arc(cr, l + rad, b - rad, rad, 0.5 * kPi, kPi);
      cairo_close_path(cr);
      cairo_stroke(cr);
      for (int i = -1; i <= 1; ++i) {
        cairo_rectangle(cr, cx - 0.5 + 3 * i - 0.5, 8, 2, 1.5);
      }
      cairo_fill(cr);
      break;
    }
    case Glyph::Settings: {
      const double cy = 10;
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
      const int teeth = 8;
      for (int i = 0; i < teeth * 4; ++i) {
        const double angle = (i / (teeth * 4.0)) * 2 * kPi;
        const double radius = (i % 4 < 2) ? 6.8 : 4.9;
        const double x = cx + radius * std::cos(angle), y = cy + radius * std::sin(angle);
        if (i == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
      }
      cairo_close_path(cr);
      cairo_new_sub_path(cr);
      cairo_arc(cr, cx, cy, 2.2, 0, 2 * kPi);
      cairo_fill(cr);
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
      break;
    }
  }
}

void drawCell(cairo_t* cr, int x, int width, Glyph glyph, State state) {
  cairo_save(cr);
  cairo_rectangle(cr, x, 0, width, 20);
  cairo_clip(cr);
  const bool close = glyph == Glyph::Close;
  if (state != State::Normal) {
    if (close) {
      if (state == State::Hover) cairo_set_source_rgba(cr, 0.91, 0.16, 0.14, 0.95);
      else cairo_set_source_rgba(cr, 0.62, 0.07, 0.06, 0.95);
    } else {
      if (state == State::Hover) cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
      else cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
    }
    cairo_rectangle(cr, x, 0, width, 20);
    cairo_fill(cr);
  }
  const double cx = x + width / 2 + 0.5;
  const double dy = state == State::Pressed ? 1 : 0;
  // A soft dark copy one pixel down keeps the white glyph legible on light skins.
  cairo_push_group(cr);
  cairo_translate(cr, 0, dy + 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  drawGlyphShape(cr, glyph, cx);
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, state == State::Normal ? 0.35 : 0.2);

  cairo_push_group(cr);
  cairo_translate(cr, 0, dy);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  drawGlyphShape(cr, glyph, cx);
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, state == State::Normal ? 0.9 : 1.0);
  cairo_restore(cr);
}

}  // namespace

cairo_surface_t* drawCaptionSprite() {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, 729, 20);
  cairo_t* cr = cairo_create(surface);
  int x = 0;
  const State states[] = {State::Normal, State::Hover, State::Pressed};
  for (State s : states) {
    drawCell(cr, x, 39, Glyph::Close, s);
    x += 39 + 1;
  }
  const Glyph others[] = {Glyph::Maximise, Glyph::Restore, Glyph::Minimise, Glyph::Menu,
                          Glyph::Skin,     Glyph::Feedback, Glyph::Settings};
  for (Glyph g : others) {
    for (State s : states) {
      drawCell(cr, x, 28, g, s);
      x += 28 + 1;
    }
  }
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
