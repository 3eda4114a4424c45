#include "tools/song-service/catalogue/SingerPortrait.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace songservice {
namespace {

struct Rgb {
  double r, g, b;
};

Rgb fromHsl(double hue, double saturation, double lightness) {
  auto channel = [&](double n) {
    double k = std::fmod(n + hue / 30.0, 12.0);
    double a = saturation * std::min(lightness, 1 - lightness);
    return lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
  };
  return {channel(0), channel(8), channel(4)};
}

}  // namespace

bool drawSingerPortrait(const std::string& pngPath, unsigned hue, unsigned variant) {
  constexpr int kSize = 120;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize), cairo_surface_destroy);
  std::unique_ptr<cairo_t, void (*)(cairo_t*)> context(cairo_create(surface.get()), cairo_destroy);
  cairo_t* cr = context.get();

  Rgb light = fromHsl(hue, 0.65, 0.62), dark = fromHsl(std::fmod(hue + 25.0, 360.0), 0.55, 0.22);
  cairo_pattern_t* background = cairo_pattern_create_linear(0, 0, kSize, kSize);
  cairo_pattern_add_color_stop_rgb(background, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(background, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, background);
  cairo_paint(cr);
  cairo_pattern_destroy(background);

  // Faint rings, like the grooves of a record, placed differently for each singer.
  cairo_set_line_width(cr, 1.2);
  double cx = 20 + (variant * 37) % 80, cy = 18 + (variant * 53) % 40;
  for (int ring = 1; ring <= 6; ++ring) {
    cairo_set_source_rgba(cr, 1, 1, 1, 0.05 + 0.015 * ring);
    cairo_arc(cr, cx, cy, ring * 11.0, 0, 2 * M_PI);
    cairo_stroke(cr);
  }

  // Shoulders and head.
  Rgb figure = fromHsl(hue, 0.35, 0.93);
  cairo_set_source_rgba(cr, figure.r, figure.g, figure.b, 0.92);
  cairo_move_to(cr, 18, kSize);
  cairo_curve_to(cr, 20, 88, 40, 80, 60, 80);
  cairo_curve_to(cr, 80, 80, 100, 88, 102, kSize);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_arc(cr, 60, 52, 21, 0, 2 * M_PI);
  cairo_fill(cr);

  cairo_surface_flush(surface.get());
  return cairo_surface_write_to_png(surface.get(), pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace songservice
