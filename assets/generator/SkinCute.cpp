// "可爱": soft pastel grounds scattered with hearts, clouds, dots, stars and flowers, the
// song card and the list panel as white stitched cushions, the search box on a candy band.

#include <cmath>

#include "assets/generator/SkinArt.h"
#include "assets/generator/SkinCanvas.h"

namespace artwork {

namespace {

using namespace skin;
constexpr double kPi = 3.14159265358979323846;

struct Look {
  unsigned top, bottom, band, shapeA, shapeB;
};

constexpr Look kLooks[kSkinsPerStyle] = {
    {0xFFBCD4, 0xFFD9E7, 0xD63A78, 0xFF6F9E, 0xFFFFFF},  // hearts on pink
    {0x8CCEFA, 0xC9E9FF, 0x2A6FBF, 0xFFFFFF, 0xFFD84D},  // clouds and stars on sky
    {0xA6EACF, 0xD6F8EA, 0x137A63, 0xFFFFFF, 0x7FD9BC},  // dots and a rainbow on mint
    {0x6B4FA8, 0xE6DCFF, 0x5A3E99, 0xFFF2A8, 0xFFFFFF},  // moon and stars on lavender
    {0xFFCBA8, 0xFFE6D2, 0xC8502E, 0xFF9A6B, 0xFFFFFF},  // bubbles on peach
    {0xFFE97F, 0xFFF5C4, 0x9C5A1A, 0xFFFFFF, 0xFF8A75},  // daisies on lemon
};

void hearts(cairo_t* cr, const Look& l) {
  Scatter s(7);
  for (int i = 0; i < 34; ++i) {
    const double size = s.between(6, 20);
    heart(cr, s.between(0, 296), s.between(0, 660), size);
    setColour(cr, i % 3 ? l.shapeA : l.shapeB, s.between(0.7, 1));
    cairo_fill(cr);
  }
  heart(cr, 246, 42, 16);
  setColour(cr, l.band, 0.85);
  cairo_fill(cr);
}

void cloudsAndStars(cairo_t* cr, const Look& l) {
  Scatter s(13);
  for (int i = 0; i < 11; ++i) {
    cloud(cr, s.between(-40, 250), 40 + i * 62 + s.between(-10, 10), s.between(70, 130));
    setColour(cr, l.shapeA, s.between(0.7, 0.95));
    cairo_fill(cr);
  }
  for (int i = 0; i < 26; ++i) {
    star(cr, s.between(5, 291), s.between(5, 650), s.between(4, 9), s.between(2, 4), 5, s.between(-0.3, 0.3));
    setColour(cr, l.shapeB, 0.95);
    cairo_fill(cr);
  }
}

void dotsAndRainbow(cairo_t* cr, const Look& l) {
  for (double y = 8; y < 670; y += 26)
    for (double x = (static_cast<int>(y / 26) % 2) * 13 + 6; x < 310; x += 26) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, 5, 0, 2 * kPi);
    }
  setColour(cr, l.shapeA, 0.8);
  cairo_fill(cr);
  const unsigned bows[] = {0xFF9AA2, 0xFFC48A, 0xFFE98A, 0x9EE6A0, 0x8CCBFF, 0xC3A6FF};
  cairo_set_line_width(cr, 6);
  for (int i = 0; i < 6; ++i) {
    cairo_new_path(cr);
    cairo_arc(cr, 240, 64, 46 - i * 6, kPi, 2 * kPi);
    setColour(cr, bows[i]);
    cairo_stroke(cr);
  }
  cloud(cr, 186, 68, 44);
  cloud(cr, 260, 68, 40);
  setColour(cr, 0xFFFFFF);
  cairo_fill(cr);
}

void moonAndStars(cairo_t* cr, const Look& l) {
  Scatter s(29);
  for (int i = 0; i < 40; ++i) {
    const double y = s.between(0, 660);
    star(cr, s.between(4, 292), y, s.between(3, 8), s.between(1.4, 3), 5, s.between(-0.4, 0.4));
    setColour(cr, y < 200 ? l.shapeA : 0xB9A3F0, s.between(0.6, 1));
    cairo_fill(cr);
  }
  // A crescent: the disc less a disc shifted to the side.
  cairo_push_group(cr);
  cairo_arc(cr, 250, 38, 18, 0, 2 * kPi);
  setColour(cr, l.shapeA);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_arc(cr, 259, 32, 15, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
  glow(cr, 250, 38, 50, l.shapeA, 0.25);
}

void bubbles(cairo_t* cr, const Look& l) {
  Scatter s(17);
  for (int i = 0; i < 30; ++i) {
    const double x = s.between(0, 296), y = s.between(0, 660), r = s.between(6, 26);
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    setColour(cr, l.shapeA, 0.75);
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_arc(cr, x - r * 0.35, y - r * 0.35, r * 0.28, 0, 2 * kPi);
    setColour(cr, l.shapeB, 0.8);
    cairo_fill(cr);
  }
}

void daisy(cairo_t* cr, double x, double y, double r, const Look& l) {
  for (int p = 0; p < 6; ++p) {
    const double a = p * kPi / 3;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + r * 0.62 * std::cos(a), y + r * 0.62 * std::sin(a), r * 0.42, 0, 2 * kPi);
  }
  setColour(cr, l.shapeA, 0.95);
  cairo_fill(cr);
  cairo_arc(cr, x, y, r * 0.36, 0, 2 * kPi);
  setColour(cr, 0xFFC93C);
  cairo_fill(cr);
}

void daisies(cairo_t* cr, const Look& l) {
  Scatter s(31);
  for (int i = 0; i < 22; ++i) daisy(cr, s.between(0, 296), s.between(0, 660), s.between(8, 18), l);
  for (int i = 0; i < 14; ++i) {
    heart(cr, s.between(0, 296), s.between(0, 660), s.between(4, 8));
    setColour(cr, l.shapeB, 0.8);
    cairo_fill(cr);
  }
}

void stitchedCushion(cairo_t* cr, Box b, double alpha, unsigned thread) {
  veil(cr, b, 18, 0xFFFFFF, alpha);
  const double dash[] = {4, 3};
  cairo_set_dash(cr, dash, 2, 0);
  roundedBox(cr, {b.x + 4.5, b.y + 4.5, b.width - 9, b.height - 9}, 14);
  setColour(cr, thread, 0.45);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

// A scalloped awning over the title: the title and the caption buttons show white on it.
void awning(cairo_t* cr, unsigned colour) {
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, 300, 27);
  for (double x = 0; x < 310; x += 20) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + 10, 27, 10, 0, kPi);
  }
  setColour(cr, colour);
  cairo_fill(cr);
  for (double x = 0; x < 310; x += 40) {
    cairo_rectangle(cr, x, 0, 20, 27);
  }
  setColour(cr, 0xFFFFFF, 0.12);
  cairo_fill(cr);
}

}  // namespace

void drawCuteSkin(cairo_t* cr, int variant) {
  const Look& l = kLooks[variant];
  paintVertical(cr, l.top, l.bottom, 0, variant == 3 ? 420 : 657);
  switch (variant) {
    case 0: hearts(cr, l); break;
    case 1: cloudsAndStars(cr, l); break;
    case 2: dotsAndRainbow(cr, l); break;
    case 3: moonAndStars(cr, l); break;
    case 4: bubbles(cr, l); break;
    default: daisies(cr, l); break;
  }
  if (variant == 0 || variant == 4) awning(cr, l.band);
  else if (variant != 3) captionPlate(cr, l.band, 0.9);
  searchBand(cr, l.band, 1, 8);
  stitchedCushion(cr, kCard, 0.72, l.band);
  veil(cr, kVolume, kVolume.height / 2, l.band, 0.2);
  stitchedCushion(cr, {kPanel.x, kPanel.y, kPanel.width, kPanel.height - 4}, 0.5, l.band);
}

}  // namespace artwork
