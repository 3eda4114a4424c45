// "lomo": small scenes in the colours of cross-processed film (teal shadows, warm yellow
// highlights), with light leaks at the edges, a strong vignette and grain. Below the
// horizon the ground runs dark behind the search box; the card and the list panel are
// faded prints of the scene.

#include <cmath>

#include "assets/generator/SkinArt.h"
#include "assets/generator/SkinCanvas.h"

namespace artwork {

namespace {

using namespace skin;
constexpr double kPi = 3.14159265358979323846;
constexpr double kHorizon = 183;

struct Look {
  unsigned skyTop, skyLow, ground, leak, print;
  double leakX, leakY;
};

constexpr Look kLooks[kSkinsPerStyle] = {
    {0x2B1E4A, 0xFF9A5C, 0x0E3444, 0xFF4A1C, 0xFFF4E4, 300, 80},   // seaside sunset
    {0x07161C, 0x163B45, 0x06161C, 0xFF3B5C, 0xF7F1E8, 300, 520},  // city lights at night
    {0x4E7F3A, 0xE4E98A, 0x1D3320, 0xFFB000, 0xFDF8E2, -10, 10},   // summer meadow
    {0x073D5A, 0x37B8C9, 0x052B40, 0xFF3D9A, 0xEFFAF9, -10, 600},  // pool water
    {0x4A2350, 0xF7A1A8, 0x261530, 0xFF7A00, 0xFFF1F0, 300, 40},   // dusk with palms
    {0x0E2A22, 0x5E8A4E, 0x0A1F18, 0xFFB43A, 0xF4F8EA, 300, 0},    // forest light
};

void sky(cairo_t* cr, const Look& l) {
  paintVertical(cr, l.skyTop, l.skyLow, 0, kHorizon);
  cairo_rectangle(cr, 0, kHorizon, 300, 480);
  setColour(cr, l.ground);
  cairo_fill(cr);
}

void bokeh(cairo_t* cr, std::uint32_t seed, int count, const unsigned* colours, int colourCount, double y0,
           double y1) {
  Scatter s(seed);
  for (int i = 0; i < count; ++i) {
    const double x = s.between(-10, 306), y = s.between(y0, y1), r = s.between(8, 30);
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, r * 0.6, x, y, r);
    const unsigned c = colours[i % colourCount];
    const double a = s.between(0.25, 0.6);
    addStop(p, 0, c, a);
    addStop(p, 1, c, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

void sunset(cairo_t* cr, const Look& l) {
  glow(cr, 200, 150, 170, 0xFFD27A, 0.9);
  cairo_arc(cr, 200, 150, 22, 0, 2 * kPi);
  setColour(cr, 0xFFF0C0);
  cairo_fill(cr);
  // Glitter on the water under the sun.
  Scatter s(3);
  for (int i = 0; i < 60; ++i) {
    const double y = kHorizon + s.between(2, 140), w = s.between(4, 24) * (1 - (y - kHorizon) / 200);
    cairo_rectangle(cr, 200 + s.between(-40, 40) * (1 + (y - kHorizon) / 60) - w / 2, y, w, 1.5);
    setColour(cr, 0xFFC27A, s.between(0.2, 0.6));
    cairo_fill(cr);
  }
  (void)l;
}

void city(cairo_t* cr, const Look&) {
  const unsigned lights[] = {0xFFB347, 0xFF6F61, 0xFFE08A, 0x7FD8FF};
  bokeh(cr, 5, 46, lights, 4, 0, 660);
  // Skyline against a faintly lit sky.
  Scatter s(9);
  cairo_move_to(cr, 0, kHorizon);
  for (double x = 0; x < 300;) {
    const double w = s.between(14, 34), h = s.between(20, 90);
    cairo_line_to(cr, x, kHorizon - h);
    cairo_line_to(cr, x + w, kHorizon - h);
    x += w;
  }
  cairo_line_to(cr, 300, kHorizon);
  cairo_close_path(cr);
  setColour(cr, 0x04100F, 0.85);
  cairo_fill(cr);
}

void meadow(cairo_t* cr, const Look& l) {
  glow(cr, 30, 30, 200, 0xFFF6C0, 0.9);
  // Hills and tall grass stalks at the horizon.
  cairo_move_to(cr, 0, kHorizon - 18);
  cairo_curve_to(cr, 80, kHorizon - 40, 160, kHorizon - 6, 300, kHorizon - 30);
  cairo_line_to(cr, 300, kHorizon + 4);
  cairo_line_to(cr, 0, kHorizon + 4);
  cairo_close_path(cr);
  setColour(cr, 0x3E5E2C);
  cairo_fill(cr);
  Scatter s(19);
  cairo_set_line_width(cr, 1.2);
  for (int i = 0; i < 90; ++i) {
    const double x = s.between(0, 296), h = s.between(10, 40);
    cairo_move_to(cr, x, kHorizon + 4);
    cairo_curve_to(cr, x, kHorizon - h / 2, x + s.between(-6, 6), kHorizon - h, x + s.between(-8, 8), kHorizon - h);
  }
  setColour(cr, l.ground, 0.9);
  cairo_stroke(cr);
}

void pool(cairo_t* cr, const Look&) {
  // The whole picture is water; its ground is only deeper water.
  paintVertical(cr, 0x0A5F80, 0x1C9FB5, 0, 657);
  cairo_rectangle(cr, 0, kHorizon - 4, 300, 40);
  setColour(cr, 0x04324A, 0.75);
  cairo_fill(cr);
  cairo_set_line_width(cr, 2);
  for (int row = 0; row < 30; ++row) {
    cairo_new_path(cr);
    for (int x = -10; x <= 310; x += 4) {
      const double y = row * 23 + 6 * std::sin(x * 0.06 + row * 1.7) + 3 * std::sin(x * 0.17 + row);
      if (x == -10) cairo_move_to(cr, x, y);
      else cairo_line_to(cr, x, y);
    }
    setColour(cr, 0xCFFFF8, 0.22);
    cairo_stroke(cr);
  }
}

void palm(cairo_t* cr, double baseX, double topX, double topY, double size) {
  cairo_move_to(cr, baseX - 4, kHorizon + 2);
  cairo_curve_to(cr, baseX, kHorizon - 60, topX - 10, topY + 40, topX - 2, topY);
  cairo_line_to(cr, topX + 2, topY);
  cairo_curve_to(cr, topX - 6, topY + 40, baseX + 4, kHorizon - 60, baseX + 4, kHorizon + 2);
  cairo_close_path(cr);
  cairo_fill(cr);
  for (int f = 0; f < 7; ++f) {
    const double a = -kPi + f * kPi / 6 + 0.15;
    const double ex = topX + size * std::cos(a), ey = topY + size * 0.55 * std::sin(a) + size * 0.35;
    cairo_move_to(cr, topX, topY);
    cairo_curve_to(cr, topX + size * 0.5 * std::cos(a), topY - size * 0.25, ex, ey - 8, ex, ey);
    cairo_curve_to(cr, ex - 4, ey - 14, topX + size * 0.4 * std::cos(a), topY - size * 0.15, topX, topY + 3);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
}

void dusk(cairo_t* cr, const Look& l) {
  glow(cr, 110, 170, 120, 0xFFD9A0, 0.8);
  setColour(cr, l.ground, 0.95);
  palm(cr, 40, 60, 40, 58);
  palm(cr, 262, 238, 78, 46);
}

void forest(cairo_t* cr, const Look&) {
  Scatter s(37);
  // Trunks in front of a bright clearing.
  glow(cr, 200, 90, 220, 0xE8F5A0, 0.7);
  for (int i = 0; i < 9; ++i) {
    const double x = s.between(-10, 300), w = s.between(5, 16);
    cairo_rectangle(cr, x, 0, w, kHorizon + 2);
    setColour(cr, 0x0A1F18, s.between(0.5, 0.9));
    cairo_fill(cr);
  }
  for (int i = 0; i < 7; ++i) {
    const double a = s.between(1.9, 2.5);
    cairo_move_to(cr, 310, -10);
    cairo_line_to(cr, 310 + 900 * std::cos(a), -10 + 900 * std::sin(a));
    cairo_line_to(cr, 310 + 900 * std::cos(a + 0.05), -10 + 900 * std::sin(a + 0.05));
    cairo_close_path(cr);
    setColour(cr, 0xFFF6C8, s.between(0.06, 0.14));
    cairo_fill(cr);
  }
  const unsigned leaves[] = {0xC8F07A, 0xFFD66B, 0x8EDC8A};
  bokeh(cr, 43, 26, leaves, 3, 0, 660);
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
  cairo_surface_t* film = cairo_get_target(cr);
  darkenEdges(film, 0.75, 0.6);
  searchBand(cr, 0x000000, 0.35, 3);
  // Faded prints: the scene stays faintly visible through them.
  veil(cr, kCard, 4, l.print, 0.84);
  veil(cr, kVolume, kVolume.height / 2, 0x6B5A48, 0.2);
  veil(cr, {kPanel.x, kPanel.y, kPanel.width, kPanel.height}, 4, l.print, 0.8);
  // The lens darkens the prints' corners too, more gently.
  darkenEdges(film, 0.22, 0.5);
  addGrain(film, 16, 101 + variant);
}

}  // namespace artwork
