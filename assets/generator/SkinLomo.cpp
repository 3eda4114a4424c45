// "lomo": skies shot upwards in the colours of cross-processed film (teal shadows, warm
// yellow highlights), deep at the top and glowing towards a low horizon at the bottom edge,
// with light leaks, a strong vignette and grain. The card and the list panel are faded prints
// of the scene; the sky is still deep behind the search box.

#include <cmath>

#include "assets/generator/SkinArt.h"
#include "assets/generator/SkinCanvas.h"

namespace artwork {

namespace {

using namespace skin;
constexpr double kPi = 3.14159265358979323846;
constexpr double kHorizon = 638;  // below the lists' last row

struct Look {
  unsigned top, middle, low, ground, leak, print;
  double leakX, leakY;
};

constexpr Look kLooks[kSkinsPerStyle] = {
    {0x3B1F5C, 0xC9577A, 0xFFC070, 0x0B2A36, 0xFF4A1C, 0xFFF4E4, 300, 60},   // sunset by the sea
    {0x06151B, 0x254A5E, 0xD0608E, 0x05090C, 0xFF3B5C, 0xF8F1EC, 300, 430},  // city lights at night
    {0x1F4A3A, 0x6E9E54, 0xF2EE9A, 0x1D3320, 0xFFB000, 0xFDF8E2, -10, 150},  // summer meadow
    {0x04324A, 0x137E9A, 0x7FE0E0, 0x04324A, 0xFF3D9A, 0xEFFAF9, -10, 560},  // pool water
    {0x2A1238, 0xA3476E, 0xFFC79A, 0x1E0F24, 0xFF7A00, 0xFFF1F0, 300, 30},   // moon and wires at dusk
    {0x0B2119, 0x3F6B3A, 0xD8E89A, 0x0A1F18, 0xFFB43A, 0xF4F8EA, 300, 0},    // forest light
};

void sky(cairo_t* cr, const Look& l) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, kHorizon);
  addStop(p, 0, l.top);
  addStop(p, 0.45, l.middle);
  addStop(p, 1, l.low);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

void ground(cairo_t* cr, const Look& l) {
  cairo_rectangle(cr, -10, kHorizon, 320, 40);
  setColour(cr, l.ground);
  cairo_fill(cr);
}

void bokeh(cairo_t* cr, std::uint32_t seed, int count, const unsigned* colours, int colourCount, double y0,
           double y1) {
  Scatter s(seed);
  for (int i = 0; i < count; ++i) {
    const double x = s.between(-10, 306), y = s.between(y0, y1), r = s.between(8, 28);
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, r * 0.6, x, y, r);
    const unsigned c = colours[i % colourCount];
    const double a = s.between(0.3, 0.7);
    addStop(p, 0, c, a);
    addStop(p, 1, c, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

void birds(cairo_t* cr, std::uint32_t seed, int count, double y0, double y1) {
  Scatter s(seed);
  cairo_set_line_width(cr, 1.3);
  for (int i = 0; i < count; ++i) {
    const double x = s.between(20, 200), y = s.between(y0, y1), w = s.between(4, 8);
    cairo_move_to(cr, x - w, y - w * 0.4);
    cairo_curve_to(cr, x - w * 0.5, y - w * 0.7, x - w * 0.2, y - w * 0.3, x, y);
    cairo_curve_to(cr, x + w * 0.2, y - w * 0.3, x + w * 0.5, y - w * 0.7, x + w, y - w * 0.4);
  }
  setColour(cr, 0x120A18, 0.8);
  cairo_stroke(cr);
}

// Overhead wires sagging across the top of the frame.
void wires(cairo_t* cr, double y, double sag) {
  cairo_set_line_width(cr, 1.1);
  for (int i = 0; i < 3; ++i) {
    cairo_move_to(cr, -10, y + i * 7);
    cairo_curve_to(cr, 90, y + i * 7 + sag, 200, y + i * 9 + sag, 310, y - 12 + i * 9);
  }
  setColour(cr, 0x0A0A12, 0.75);
  cairo_stroke(cr);
}

void sunset(cairo_t* cr, const Look& l) {
  glow(cr, 196, kHorizon, 260, 0xFFD27A, 0.85);
  cairo_arc(cr, 196, kHorizon, 26, kPi, 2 * kPi);
  setColour(cr, 0xFFF0C0);
  cairo_fill(cr);
  ground(cr, l);
  Scatter s(3);
  for (int i = 0; i < 24; ++i) {
    const double y = kHorizon + s.between(2, 20), w = s.between(6, 26);
    cairo_rectangle(cr, 196 + s.between(-30, 30) - w / 2, y, w, 1.2);
    setColour(cr, 0xFFC27A, s.between(0.3, 0.7));
    cairo_fill(cr);
  }
  birds(cr, 5, 6, 36, 120);
}

void city(cairo_t* cr, const Look& l) {
  const unsigned lights[] = {0xFFB347, 0xFF6F61, 0xFFE08A, 0x7FD8FF};
  bokeh(cr, 5, 50, lights, 4, 0, 660);
  Scatter s(9);
  cairo_move_to(cr, -10, 660);
  for (double x = -10; x < 310;) {
    const double w = s.between(12, 30), h = s.between(4, 20);
    cairo_line_to(cr, x, kHorizon - h);
    cairo_line_to(cr, x + w, kHorizon - h);
    x += w;
  }
  cairo_line_to(cr, 310, 660);
  cairo_close_path(cr);
  setColour(cr, l.ground);
  cairo_fill(cr);
  for (int i = 0; i < 40; ++i) {
    cairo_rectangle(cr, s.between(0, 296), s.between(kHorizon - 14, 655), 2, 2);
    setColour(cr, 0xFFD27A, s.between(0.4, 0.9));
    cairo_fill(cr);
  }
}

void meadow(cairo_t* cr, const Look& l) {
  // The sun stands behind the prints, not behind the title.
  glow(cr, 200, 400, 260, 0xFFF6C0, 0.6);
  Scatter s(19);
  // Seeds drifting in the light.
  for (int i = 0; i < 30; ++i) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, s.between(0, 296), s.between(20, 620), s.between(1, 2.4), 0, 2 * kPi);
  }
  setColour(cr, 0xFFFFF0, 0.7);
  cairo_fill(cr);
  ground(cr, l);
  cairo_set_line_width(cr, 1.2);
  for (int i = 0; i < 110; ++i) {
    const double x = s.between(-4, 300), h = s.between(4, 16);
    cairo_move_to(cr, x, kHorizon + 2);
    cairo_curve_to(cr, x, kHorizon - h / 2, x + s.between(-4, 4), kHorizon - h, x + s.between(-6, 6), kHorizon - h);
  }
  setColour(cr, l.ground, 0.95);
  cairo_stroke(cr);
  wires(cr, 40, 24);
}

void pool(cairo_t* cr, const Look&) {
  cairo_set_line_width(cr, 2);
  for (int row = 0; row < 30; ++row) {
    cairo_new_path(cr);
    for (int x = -10; x <= 310; x += 4) {
      const double y = row * 23 + 6 * std::sin(x * 0.06 + row * 1.7) + 3 * std::sin(x * 0.17 + row);
      if (x == -10) cairo_move_to(cr, x, y);
      else cairo_line_to(cr, x, y);
    }
    setColour(cr, 0xCFFFF8, 0.28);
    cairo_stroke(cr);
  }
  // The ladder's rails at the left edge.
  cairo_rectangle(cr, 14, 0, 3, 80);
  cairo_rectangle(cr, 40, 0, 3, 80);
  setColour(cr, 0xE8F8FF, 0.6);
  cairo_fill(cr);
}

void dusk(cairo_t* cr, const Look& l) {
  glow(cr, 120, kHorizon, 220, 0xFFD9A0, 0.75);
  ground(cr, l);
  // A pale moon already up, and the wires of the street.
  glow(cr, 236, 44, 40, 0xFFF4E0, 0.5);
  cairo_arc(cr, 236, 44, 11, 0, 2 * kPi);
  setColour(cr, 0xFFF4E0, 0.9);
  cairo_fill(cr);
  wires(cr, 36, 18);
  birds(cr, 21, 5, 40, 110);
}

void forest(cairo_t* cr, const Look& l) {
  Scatter s(37);
  glow(cr, 220, 80, 240, 0xE8F5A0, 0.6);
  // Trunks against the clearing, fading out towards the light below.
  for (int i = 0; i < 9; ++i) {
    const double x = s.between(-10, 300), w = s.between(5, 16);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 330);
    addStop(p, 0, l.ground, s.between(0.6, 0.95));
    addStop(p, 1, l.ground, 0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x, 0, w, 330);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  for (int i = 0; i < 7; ++i) {
    const double a = s.between(1.9, 2.5);
    cairo_move_to(cr, 310, -10);
    cairo_line_to(cr, 310 + 900 * std::cos(a), -10 + 900 * std::sin(a));
    cairo_line_to(cr, 310 + 900 * std::cos(a + 0.05), -10 + 900 * std::sin(a + 0.05));
    cairo_close_path(cr);
    setColour(cr, 0xFFF6C8, s.between(0.08, 0.16));
    cairo_fill(cr);
  }
  const unsigned leaves[] = {0xC8F07A, 0xFFD66B, 0x8EDC8A};
  bokeh(cr, 43, 26, leaves, 3, 0, 660);
  ground(cr, l);
}

// Film that was cross-processed: shadows pulled to teal, highlights to warm yellow.
void crossProcess(cairo_t* cr) {
  cairo_set_operator(cr, CAIRO_OPERATOR_SOFT_LIGHT);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 296, 657);
  addStop(p, 0, 0xFFE36B, 0.55);
  addStop(p, 1, 0x1BA39C, 0.55);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void lightLeak(cairo_t* cr, const Look& l) {
  cairo_set_operator(cr, CAIRO_OPERATOR_SCREEN);
  glow(cr, l.leakX, l.leakY, 190, l.leak, 0.85);
  glow(cr, l.leakX, l.leakY + 70, 110, 0xFFD070, 0.5);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

// Ghosts of the lens along the line from a bright light through the middle of the frame.
void flare(cairo_t* cr, double x, double y) {
  const double cx = 148, cy = 330;
  const double steps[][3] = {{0.35, 16, 0.16}, {0.6, 9, 0.22}, {0.9, 26, 0.1}, {1.3, 12, 0.18}, {1.7, 34, 0.08}};
  for (const auto& s : steps) {
    const double px = x + (cx - x) * s[0], py = y + (cy - y) * s[0];
    cairo_new_path(cr);
    for (int k = 0; k < 6; ++k) cairo_line_to(cr, px + s[1] * std::cos(k * kPi / 3), py + s[1] * std::sin(k * kPi / 3));
    cairo_close_path(cr);
    setColour(cr, 0xFFE6B0, s[2]);
    cairo_fill(cr);
  }
}

}  // namespace

void drawLomoSkin(cairo_t* cr, int variant) {
  const Look& l = kLooks[variant];
  sky(cr, l);
  switch (variant) {
    case 0: sunset(cr, l); break;
    case 1: city(cr, l); break;
    case 2: meadow(cr, l); break;
    case 3: pool(cr, l); break;
    case 4: dusk(cr, l); break;
    default: forest(cr, l); break;
  }
  crossProcess(cr);
  lightLeak(cr, l);
  if (variant == 0 || variant == 2 || variant == 4) flare(cr, l.leakX < 0 ? 20 : 276, 24);
  cairo_surface_t* film = cairo_get_target(cr);
  darkenEdges(film, 0.75, 0.6);
  // Faded prints: the scene stays visible through them. The panel's print is whole from
  // the tabs down; its fading edge runs under the search box, darkened again below.
  softVeil(cr, {kCard.x + 2, kCard.y + 2, kCard.width - 4, kCard.height - 4}, 14, l.print, 0.76);
  veil(cr, kVolume, kVolume.height / 2, 0x6B5A48, 0.2);
  softVeil(cr, {-20, kPanel.y - 4, 336, kHorizon - kPanel.y - 2}, 16, l.print, variant == 1 ? 0.68 : 0.6);
  searchBand(cr, 0x000000, 0.45, 3);
  // The lens darkens the prints' corners too, more gently.
  darkenEdges(film, 0.2, 0.5);
  addGrain(film, 16, 101 + variant);
}

}  // namespace artwork
