// The main window's default background: night-to-sky blue behind the title and the search
// box, whose texts are white, with a light card floating on it for the song and its
// controls, and a light panel behind the tabs and lists, whose texts are black.

#include <cmath>

#include "assets/generator/PictureScale.h"
#include "assets/generator/AppArtwork.h"
#include "assets/generator/Palette.h"

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 296;
constexpr int kHeight = 657;
// The window host keeps a 5-pixel margin and stretches the picture over what is left.
constexpr double kMargin = 5;

using palette::source;
using palette::stop;

void header(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, kWidth, 236);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, kWidth, 236);
  stop(sky, 0, palette::kHeaderDeep);
  stop(sky, 1, palette::kHeaderBright);
  cairo_set_source(cr, sky);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(sky);

  cairo_save(cr);
  cairo_clip(cr);
  // Soft lights behind the glass.
  const double lights[][4] = {{262, 14, 38, 0.10}, {214, 62, 22, 0.07}, {40, 70, 30, 0.06},
                              {130, 18, 14, 0.05}, {250, 200, 40, 0.06}, {30, 190, 26, 0.05}};
  for (const auto& l : lights) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(l[0], l[1], 0, l[0], l[1], l[2]);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, l[3] * 2);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 1, 0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
  }
  // A sound wave across the lower header, swelling towards the middle.
  for (int line = 0; line < 3; ++line) {
    cairo_new_path(cr);
    for (int x = 0; x <= kWidth; ++x) {
      const double envelope = std::sin(kPi * x / kWidth);
      const double y = 46 + line * 1.5 +
                       envelope * (7 - line * 2) * std::sin(x * 0.11 + line * 0.9) * std::cos(x * 0.023);
      if (x == 0) cairo_move_to(cr, x, y);
      else cairo_line_to(cr, x, y);
    }
    cairo_set_source_rgba(cr, 1, 1, 1, 0.16 - line * 0.04);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void songCard(cairo_t* cr) {
  // Shadow first, a few widening rings of falling strength.
  for (int i = 4; i >= 1; --i) {
    palette::roundedRect(cr, 8 - i * 0.5, 61 + i * 0.8, 280 + i, 121, 11 + i * 0.5);
    cairo_set_source_rgba(cr, 0, 0.03, 0.12, 0.06);
    cairo_fill(cr);
  }
  palette::roundedRect(cr, 8, 60, 280, 121, 11);
  cairo_pattern_t* card = cairo_pattern_create_linear(0, 60, 0, 181);
  stop(card, 0, 0xFFFFFF, 0.97);
  stop(card, 0.55, 0xF6F9FC, 0.97);
  stop(card, 1, 0xE8EFF6, 0.97);
  cairo_set_source(cr, card);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(card);
  cairo_set_line_width(cr, 1);
  source(cr, 0xFFFFFF);
  cairo_stroke(cr);
  // A capsule holding the speaker and the volume slider, darker so the white track shows.
  palette::roundedRect(cr, 211.5, 141.5, 74, 25, 12.5);
  source(cr, 0xCCD8E6, 0.85);
  cairo_fill(cr);
}

void searchField(cairo_t* cr) {
  // The search box lays a faint dark film over this and writes in white.
  palette::roundedRect(cr, 6.5, 186.5, 284, 29, 6);
  source(cr, 0xFFFFFF, 0.10);
  cairo_fill_preserve(cr);
  source(cr, 0xFFFFFF, 0.30);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void listPanel(cairo_t* cr) {
  // A sheet the width of the window, its top corners rounded over the blue.
  palette::roundedRect(cr, 5, 219, 286, 440, 10);
  cairo_pattern_t* panel = cairo_pattern_create_linear(0, 219, 0, 652);
  stop(panel, 0, 0xFAFCFE);
  stop(panel, 0.08, palette::kPanel);
  stop(panel, 1, 0xE1E8F1);
  cairo_set_source(cr, panel);
  cairo_fill(cr);
  cairo_pattern_destroy(panel);
  cairo_set_line_width(cr, 1);
  // The tabs sit on a lighter strip, parted from the lists by a hairline.
  cairo_move_to(cr, 5, 251.5);
  cairo_line_to(cr, 291, 251.5);
  source(cr, palette::kHairline);
  cairo_stroke(cr);
  // A faint record in the empty lower panel, so a tab without content does not look broken.
  for (int ring = 0; ring < 7; ++ring) {
    cairo_arc(cr, 148, 500, 70 - ring * 9, 0, 2 * kPi);
    source(cr, palette::kAccentDark, 0.035);
    cairo_set_line_width(cr, ring == 0 ? 2 : 1);
    cairo_stroke(cr);
  }
  cairo_arc(cr, 148, 500, 14, 0, 2 * kPi);
  source(cr, palette::kAccentDark, 0.04);
  cairo_fill(cr);
}

}  // namespace

cairo_surface_t* drawMainSkin() {
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  // Drawn in window coordinates through the inverse of the host's stretch, so each shape
  // lands under the control it belongs to.
  cairo_scale(cr, kWidth / (kWidth - 2 * kMargin), kHeight / (kHeight - 2 * kMargin));
  cairo_translate(cr, -kMargin, -kMargin);

  cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, kHeight);
  stop(body, 0, palette::kBodyTop);
  stop(body, 1, palette::kBodyBottom);
  cairo_set_source(cr, body);
  cairo_paint(cr);
  cairo_pattern_destroy(body);

  header(cr);
  songCard(cr);
  searchField(cr);
  listPanel(cr);
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
