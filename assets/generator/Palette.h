#pragma once
// Colours shared by the client's pictures, so the background and the buttons agree.

#include <cairo.h>

namespace artwork::palette {

inline constexpr unsigned kHeaderDeep = 0x1B2F6E;   // night blue, left of the header
inline constexpr unsigned kHeaderBright = 0x1786C9;  // sky blue, right of the header
inline constexpr unsigned kAccent = 0x1E88E5;        // the blue of controls that are on
inline constexpr unsigned kAccentDark = 0x1565C0;
inline constexpr unsigned kAccentTeal = 0x14B8A6;    // end of the accent gradient
inline constexpr unsigned kInk = 0x2B3445;           // glyphs and captions at rest
inline constexpr unsigned kInkMuted = 0x6E7A8E;
inline constexpr unsigned kBodyTop = 0xF3F6FA;
inline constexpr unsigned kBodyBottom = 0xE3EAF2;
inline constexpr unsigned kPanel = 0xEAF0F6;         // behind the lists
inline constexpr unsigned kHairline = 0xCBD5E1;

inline void source(cairo_t* cr, unsigned colour, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                        (colour & 0xFF) / 255.0, alpha);
}

inline void stop(cairo_pattern_t* p, double offset, unsigned colour, double alpha = 1.0) {
  cairo_pattern_add_color_stop_rgba(p, offset, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                                    (colour & 0xFF) / 255.0, alpha);
}

inline void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  constexpr double kHalfPi = 1.57079632679489661923;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kHalfPi, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kHalfPi);
  cairo_arc(cr, x + r, y + h - r, r, kHalfPi, 2 * kHalfPi);
  cairo_arc(cr, x + r, y + r, r, 2 * kHalfPi, 3 * kHalfPi);
  cairo_close_path(cr);
}

}  // namespace artwork::palette
