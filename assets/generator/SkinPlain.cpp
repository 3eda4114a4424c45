// "简约": near-flat tones in three calm planes (header, a darker band for the search box,
// a light sheet for the lists) and one quiet accent each.

#include <cmath>

#include "assets/generator/SkinArt.h"
#include "assets/generator/SkinCanvas.h"

namespace artwork {

namespace {

using namespace skin;
constexpr double kPi = 3.14159265358979323846;

struct Look {
  unsigned header, card, band, sheet, accent;
};

constexpr Look kLooks[kSkinsPerStyle] = {
    {0xE6E1D8, 0xF7F5F1, 0x4A4947, 0xEDE9E1, 0xC8664B},  // paper, a terracotta sun
    {0x9DB5A0, 0xF1F5F0, 0x4F6B57, 0xDCE6DA, 0xF2F7E8},  // sage, a pale stem
    {0x2F3A45, 0xF4F5F7, 0x1F272F, 0xDEE2E7, 0xD4A64A},  // slate, a gold line
    {0xE3D3B8, 0xF8F2E8, 0x6E5A43, 0xF0E4D0, 0xE0876A},  // sand, a low dune
    {0x5C6B85, 0xF2F4F8, 0x3D4A60, 0xD8DEEA, 0xF3E9C8},  // dusk, a moon
    {0xF0D6CF, 0xFCF4F1, 0x6B4E57, 0xF4E0DA, 0xD98A7A},  // blush, a single dot
};

void accent(cairo_t* cr, int variant, const Look& l) {
  cairo_new_path(cr);
  switch (variant) {
    case 0:
      cairo_arc(cr, 258, 40, 9, 0, 2 * kPi);
      setColour(cr, l.accent);
      cairo_fill(cr);
      break;
    case 1:
      cairo_move_to(cr, 236, 58);
      cairo_curve_to(cr, 244, 44, 256, 36, 276, 30);
      cairo_set_line_width(cr, 1.5);
      setColour(cr, l.accent, 0.9);
      cairo_stroke(cr);
      cairo_move_to(cr, 252, 41);
      cairo_curve_to(cr, 262, 36, 266, 44, 272, 46);
      cairo_curve_to(cr, 264, 50, 256, 48, 252, 41);
      setColour(cr, l.accent, 0.8);
      cairo_fill(cr);
      cairo_arc(cr, 230, 540, 95, 0, 2 * kPi);
      setColour(cr, 0xFFFFFF, 0.22);
      cairo_fill(cr);
      break;
    case 2:
      cairo_rectangle(cr, 20, kPanel.y + 430, 256, 1.5);
      cairo_rectangle(cr, 20, 50, 40, 1.5);
      setColour(cr, l.accent);
      cairo_fill(cr);
      break;
    case 3:
      cairo_move_to(cr, -10, 600);
      cairo_curve_to(cr, 80, 560, 180, 620, 310, 575);
      cairo_line_to(cr, 310, 670);
      cairo_line_to(cr, -10, 670);
      cairo_close_path(cr);
      setColour(cr, 0xE4D2B4);
      cairo_fill(cr);
      cairo_arc(cr, 70, 50, 7, kPi, 2 * kPi);
      setColour(cr, l.accent);
      cairo_fill(cr);
      break;
    case 4:
      cairo_arc(cr, 254, 40, 10, 0, 2 * kPi);
      setColour(cr, l.accent);
      cairo_fill(cr);
      glow(cr, 254, 40, 40, l.accent, 0.2);
      break;
    default:
      cairo_arc(cr, 148, 640, 4, 0, 2 * kPi);
      setColour(cr, l.accent);
      cairo_fill(cr);
      break;
  }
}

}  // namespace

void drawPlainSkin(cairo_t* cr, int variant) {
  const Look& l = kLooks[variant];
  // Near-flat: a barely visible fall of light in each plane.
  paintVertical(cr, l.header, l.header, 0, 657);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, kPanel.y);
  addStop(shade, 0, 0xFFFFFF, 0.06);
  addStop(shade, 1, 0x000000, 0.05);
  cairo_set_source(cr, shade);
  cairo_rectangle(cr, 0, 0, 300, kPanel.y);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);

  veil(cr, kCard, 6, l.card, 1);
  veil(cr, kVolume, kVolume.height / 2, l.band, 0.12);
  cairo_rectangle(cr, 0, kSearch.y - 3, 300, kSearch.height + 6);
  setColour(cr, l.band);
  cairo_fill(cr);
  cairo_rectangle(cr, 0, kPanel.y - 2, 300, 700);
  setColour(cr, l.sheet);
  cairo_fill(cr);
  // Pale headers keep the white caption buttons on a plate of the band's tone.
  const unsigned h = l.header;
  if (((h >> 16) & 0xFF) + ((h >> 8) & 0xFF) + (h & 0xFF) > 3 * 150) captionPlate(cr, l.band, 0.85);
  accent(cr, variant, l);
}

}  // namespace artwork
