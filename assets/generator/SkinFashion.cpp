// "时尚": bold gradients in two or three saturated colours with geometric light (rings,
// stripes, facets, a horizon grid, beams, halftone). The art runs dark behind the title and
// the search box; the song card and the list panel are frosted glass it glows through.

#include <algorithm>
#include <cmath>

#include "assets/generator/SkinArt.h"
#include "assets/generator/SkinCanvas.h"

namespace artwork {

namespace {

using namespace skin;
constexpr double kPi = 3.14159265358979323846;

struct Look {
  unsigned deep, far, neonA, neonB, glass;
};

// deep: behind the title and the search box; far: where the art runs out under the lists,
// vivid enough to colour the glass.
constexpr Look kLooks[kSkinsPerStyle] = {
    {0x0B1030, 0x9B2FAE, 0xFF2EB4, 0x19E3FF, 0xFFFFFF},  // neon rings
    {0x8E0E44, 0xFF7A3D, 0xFFD166, 0xFF3D7F, 0xFFFFFF},  // sunset stripes
    {0x1A0B3D, 0x3A6FD8, 0x7B5CFF, 0x2EE6D6, 0xFFFFFF},  // prism facets
    {0x120A2E, 0xB0207E, 0xFF3CAC, 0xFFB84D, 0xFFFFFF},  // horizon grid
    {0x0B2230, 0x1F9E8E, 0x5CFFC8, 0xE3FF5C, 0xFFFFFF},  // light beams
    {0x1B1B3A, 0xE0344F, 0xFFC857, 0xFF5470, 0xFFFFFF},  // halftone
};

void rings(cairo_t* cr, const Look& l) {
  for (int i = 0; i < 18; ++i) {
    cairo_new_path(cr);
    cairo_arc(cr, 250, 30, 26 + i * 36, 0, 2 * kPi);
    setColour(cr, i % 2 ? l.neonB : l.neonA, 0.55 - i * 0.02);
    cairo_set_line_width(cr, i % 3 == 0 ? 3 : 1.5);
    cairo_stroke(cr);
  }
  glow(cr, 250, 30, 120, l.neonA, 0.45);
  glow(cr, 40, 600, 160, l.neonB, 0.35);
}

void stripes(cairo_t* cr, const Look& l) {
  Scatter s(11);
  for (double x = -700; x < 400;) {
    const double w = s.between(10, 46);
    cairo_new_path(cr);
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x + w, 0);
    cairo_line_to(cr, x + w + 657 * 0.9, 657);
    cairo_line_to(cr, x + 657 * 0.9, 657);
    cairo_close_path(cr);
    const bool light = s.next() < 0.5;
    setColour(cr, light ? 0xFFFFFF : l.deep, light ? s.between(0.06, 0.16) : s.between(0.08, 0.2));
    cairo_fill(cr);
    x += w + s.between(6, 40);
  }
  // A sun outline in the header.
  cairo_new_path(cr);
  cairo_arc(cr, 232, 40, 30, 0, 2 * kPi);
  setColour(cr, l.neonA, 0.85);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  glow(cr, 232, 40, 70, l.neonA, 0.35);
}

void facets(cairo_t* cr, const Look& l) {
  constexpr int kCols = 6, kRows = 14;
  double px[kRows + 1][kCols + 1], py[kRows + 1][kCols + 1];
  Scatter s(23);
  for (int r = 0; r <= kRows; ++r)
    for (int c = 0; c <= kCols; ++c) {
      const bool edgeX = c == 0 || c == kCols, edgeY = r == 0 || r == kRows;
      px[r][c] = c * 300.0 / kCols + (edgeX ? 0 : s.between(-18, 18));
      py[r][c] = r * 660.0 / kRows + (edgeY ? 0 : s.between(-16, 16));
    }
  const unsigned colours[] = {l.deep, l.far, l.neonA, l.neonB};
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      for (int half = 0; half < 2; ++half) {
        cairo_new_path(cr);
        if (half == 0) {
          cairo_move_to(cr, px[r][c], py[r][c]);
          cairo_line_to(cr, px[r][c + 1], py[r][c + 1]);
          cairo_line_to(cr, px[r + 1][c], py[r + 1][c]);
        } else {
          cairo_move_to(cr, px[r][c + 1], py[r][c + 1]);
          cairo_line_to(cr, px[r + 1][c + 1], py[r + 1][c + 1]);
          cairo_line_to(cr, px[r + 1][c], py[r + 1][c]);
        }
        cairo_close_path(cr);
        // Light falls from the top right: facets there pick up the bright colours.
        const double lit = 0.5 * (c + half) / kCols + 0.5 * (1 - r / double(kRows));
        const int pick = lit + s.between(-0.25, 0.25) > 0.62 ? 2 + (s.next() < 0.5) : (s.next() < 0.55);
        setColour(cr, colours[pick], s.between(0.35, 0.75));
        cairo_fill_preserve(cr);
        setColour(cr, 0xFFFFFF, 0.06);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
      }
}

void horizonGrid(cairo_t* cr, const Look& l) {
  constexpr double kHorizon = 64, kCx = 148;
  // The sun, banded as it sinks.
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_arc(cr, kCx, kHorizon - 4, 44, kPi, 2 * kPi);
  cairo_clip(cr);
  cairo_pattern_t* sun = cairo_pattern_create_linear(0, kHorizon - 48, 0, kHorizon);
  addStop(sun, 0, l.neonB);
  addStop(sun, 1, l.neonA);
  cairo_set_source(cr, sun);
  cairo_paint(cr);
  cairo_pattern_destroy(sun);
  for (int i = 0; i < 5; ++i) {
    cairo_rectangle(cr, 0, kHorizon - 26 + i * 5.5, 296, 1 + i * 0.6);
    setColour(cr, l.far);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  glow(cr, kCx, kHorizon - 20, 110, l.neonA, 0.35);
  cairo_set_line_width(cr, 1.4);
  setColour(cr, l.neonA, 0.7);
  for (int i = 1; i < 40; ++i) {
    const double y = kHorizon + 3 * i * i * 0.45;
    if (y > 660) break;
    cairo_move_to(cr, 0, y);
    cairo_line_to(cr, 300, y);
  }
  for (int i = -14; i <= 14; ++i) {
    cairo_move_to(cr, kCx + i * 4, kHorizon);
    cairo_line_to(cr, kCx + i * 150, 660);
  }
  cairo_stroke(cr);
}

void beams(cairo_t* cr, const Look& l) {
  Scatter s(41);
  for (int i = 0; i < 9; ++i) {
    const double a0 = s.between(0.15, 1.35), spread = s.between(0.03, 0.12);
    cairo_new_path(cr);
    cairo_move_to(cr, -30, -30);
    cairo_line_to(cr, -30 + 1200 * std::cos(a0), -30 + 1200 * std::sin(a0));
    cairo_line_to(cr, -30 + 1200 * std::cos(a0 + spread), -30 + 1200 * std::sin(a0 + spread));
    cairo_close_path(cr);
    setColour(cr, i % 3 == 0 ? l.neonA : 0xFFFFFF, s.between(0.06, 0.16));
    cairo_fill(cr);
  }
  glow(cr, 0, 0, 200, l.neonB, 0.35);
  glow(cr, 296, 420, 220, l.neonA, 0.3);
}

void halftone(cairo_t* cr, const Look& l) {
  for (double y = 0; y < 670; y += 11)
    for (double x = (static_cast<int>(y / 11) % 2) * 5.5; x < 310; x += 11) {
      // Dots swell towards the top right, behind the title, and thin out under the lists.
      const double t = ((1 - x / 296) * 0.35 + y / 657 * 0.65);
      // ... and are gone before the tabs' captions.
      const double fade = std::clamp((300 - y) / 150, 0.0, 1.0);
      const double r = (4.8 * (1 - t) * (1 - t) + 0.3) * fade;
      if (r < 0.3) continue;
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, r, 0, 2 * kPi);
    }
  setColour(cr, l.neonA, 0.55);
  cairo_fill(cr);
  glow(cr, 230, 30, 150, l.neonB, 0.5);
}

void neonEdge(cairo_t* cr, const Look& l, double y, double x0, double x1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
  addStop(p, 0, l.neonA, 0.9);
  addStop(p, 1, l.neonB, 0.9);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, x0, y, x1 - x0, 2);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

}  // namespace

void drawFashionSkin(cairo_t* cr, int variant) {
  const Look& l = kLooks[variant];
  cairo_pattern_t* ground = cairo_pattern_create_linear(0, 0, 120, 657);
  addStop(ground, 0, l.deep);
  addStop(ground, 0.33, l.deep);
  addStop(ground, 1, l.far);
  cairo_set_source(cr, ground);
  cairo_paint(cr);
  cairo_pattern_destroy(ground);
  switch (variant) {
    case 0: rings(cr, l); break;
    case 1: stripes(cr, l); break;
    case 2: facets(cr, l); break;
    case 3: horizonGrid(cr, l); break;
    case 4: beams(cr, l); break;
    default: halftone(cr, l); break;
  }
  // The title strip stays deep whatever the motif does there.
  cairo_pattern_t* top = cairo_pattern_create_linear(0, 0, 0, 40);
  addStop(top, 0, l.deep, 0.55);
  addStop(top, 1, l.deep, 0);
  cairo_set_source(cr, top);
  cairo_rectangle(cr, 0, 0, 300, 40);
  cairo_fill(cr);
  cairo_pattern_destroy(top);

  searchBand(cr, l.deep, 0.62);
  // Busy motifs (facets, the grid's dense lines by the horizon, dots) get denser glass.
  const bool busy = variant == 2 || variant == 3 || variant == 5;
  lightVeils(cr, l.glass, busy ? 0.84 : 0.74, variant == 2 ? 0.7 : 0.6, 12);
  neonEdge(cr, l, kPanel.y, kPanel.x + 10, kPanel.x + kPanel.width - 10);
  neonEdge(cr, l, kCard.y + kCard.height - 2, kCard.x + 14, kCard.x + kCard.width - 14);
}

}  // namespace artwork
