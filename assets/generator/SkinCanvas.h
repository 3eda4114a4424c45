#pragma once
// Shared means of the skin pictures: the places of the window's controls, veils that keep
// text readable over any art, and the film effects (grain, vignette) done on pixels.

#include <cairo.h>

#include <cstdint>

namespace artwork::skin {

struct Box {
  double x, y, width, height;
};

// Window coordinates of what lies on the picture (the canvas is set up so that drawing at a
// window position lands under that position once the host has stretched the picture).
inline constexpr Box kCard{8, 60, 280, 121};       // song, times, transport, volume
inline constexpr Box kVolume{211.5, 141.5, 74, 25};  // capsule that lets the white volume track show
inline constexpr Box kSearch{6, 186, 285, 30};     // white text on a faint dark film
inline constexpr Box kPanel{5, 218, 286, 440};     // tabs and both lists, black text
inline constexpr double kBottom = 657;

// Maps window coordinates onto the picture; call once on a fresh context.
void useWindowCoordinates(cairo_t* cr);

void setColour(cairo_t* cr, unsigned rgb, double alpha = 1.0);
void addStop(cairo_pattern_t* p, double offset, unsigned rgb, double alpha = 1.0);
void roundedBox(cairo_t* cr, Box b, double radius);
// Linear gradient from top to bottom of the whole canvas (or of a span) with two colours.
void paintVertical(cairo_t* cr, unsigned top, unsigned bottom, double y0 = 0, double y1 = kBottom);
void paintDiagonal(cairo_t* cr, unsigned from, unsigned to);
// A soft round light: full `alpha` in the middle, nothing at `radius`.
void glow(cairo_t* cr, double x, double y, double radius, unsigned rgb, double alpha);

// A veil of `rgb` at `alpha` over the box, rounded; the art shows through it.
void veil(cairo_t* cr, Box b, double radius, unsigned rgb, double alpha);
// The same with edges that fade over `feather` pixels, half inside the box and half outside.
void softVeil(cairo_t* cr, Box b, double feather, unsigned rgb, double alpha);
// A band under the search box deep enough for white text.
void searchBand(cairo_t* cr, unsigned rgb, double alpha, double radius = 6);
// A darker plate behind the white caption buttons, for pictures that are light at the top.
void captionPlate(cairo_t* cr, unsigned rgb, double alpha);
// The usual light card and panel with a slightly darker capsule behind the volume track.
void lightVeils(cairo_t* cr, unsigned tint, double cardAlpha, double panelAlpha, double radius);

// Deterministic numbers for scattering shapes: same seed, same picture.
class Scatter {
 public:
  explicit Scatter(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  double next();  // 0 <= value < 1
  double between(double low, double high) { return low + (high - low) * next(); }

 private:
  std::uint32_t state_;
};

// Pixel effects on the finished surface (in surface pixels).
void addGrain(cairo_surface_t* surface, int amount, std::uint32_t seed);
void darkenEdges(cairo_surface_t* surface, double strength, double reach);

void heart(cairo_t* cr, double cx, double cy, double size);
void star(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turn = 0);
void cloud(cairo_t* cr, double x, double y, double width);

}  // namespace artwork::skin
