#include <cmath>
#include <cstdint>

#include "assets/generator/Artwork.h"

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;

void rgb(cairo_t* cr, unsigned colour, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                        (colour & 0xFF) / 255.0, alpha);
}

// A ridge line across the picture from y0, rising and falling by the given waves, filled
// down to the bottom edge.
void hills(cairo_t* cr, int width, int height, double y0, double a1, double f1, double a2, double f2,
           double phase, unsigned colour) {
  cairo_new_path(cr);
  cairo_move_to(cr, 0, height);
  for (int x = 0; x <= width; x += 2) {
    const double y = y0 - a1 * std::sin(x * f1 + phase) - a2 * std::sin(x * f2 + 2.3 * phase);
    cairo_line_to(cr, x, y);
  }
  cairo_line_to(cr, width, height);
  cairo_close_path(cr);
  rgb(cr, colour);
  cairo_fill(cr);
}

}  // namespace

cairo_surface_t* drawDemoBackground() {
  constexpr int kWidth = 296;
  constexpr int kHeight = 657;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);

  // Dusk sky: deep blue above, rose and amber towards the horizon.
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 470);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.07, 0.10, 0.22);
  cairo_pattern_add_color_stop_rgb(sky, 0.45, 0.27, 0.22, 0.43);
  cairo_pattern_add_color_stop_rgb(sky, 0.78, 0.74, 0.42, 0.45);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.96, 0.68, 0.45);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);

  // Stars thinning out towards the horizon, placed by a fixed sequence.
  std::uint32_t seed = 20261209;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;
  };
  for (int i = 0; i < 90; ++i) {
    const double x = next() * kWidth, y = 30 + next() * next() * 300, r = 0.5 + next() * 0.9;
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 0.95, 0.35 + 0.55 * next() * (1 - y / 340));
    cairo_fill(cr);
  }

  // A low sun with a wide glow.
  cairo_pattern_t* glow = cairo_pattern_create_radial(196, 430, 10, 196, 430, 150);
  cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.86, 0.6, 0.85);
  cairo_pattern_add_color_stop_rgba(glow, 1.0, 1.0, 0.7, 0.5, 0.0);
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);
  cairo_arc(cr, 196, 430, 30, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 1.0, 0.9, 0.7, 0.95);
  cairo_fill(cr);

  hills(cr, kWidth, kHeight, 440, 18, 0.021, 7, 0.057, 0.4, 0x7A5A86);
  hills(cr, kWidth, kHeight, 478, 24, 0.015, 9, 0.043, 1.7, 0x4C3F6C);
  hills(cr, kWidth, kHeight, 520, 16, 0.027, 6, 0.071, 2.9, 0x2B2C50);
  hills(cr, kWidth, kHeight, 565, 12, 0.019, 5, 0.083, 4.1, 0x1B1E38);

  cairo_destroy(cr);
  return surface;
}

std::vector<std::uint8_t> drawDemoEqualiserGif() {
  constexpr int kSize = 48;
  constexpr int kFrames = 8;
  constexpr int kBars = 5;
  // 0 tile, 1 tile edge, 2..6 bar colours from teal to rose.
  const std::vector<std::uint32_t> palette = {0x1E2440, 0x343B63, 0x4FD1C5, 0x63B3ED,
                                              0x9F7AEA, 0xED64A6, 0xF6AD55};
  std::vector<GifFrame> frames;
  for (int f = 0; f < kFrames; ++f) {
    GifFrame frame;
    frame.delayCentiseconds = 9;
    frame.indices.assign(kSize * kSize, 0);
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        if (x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1) frame.indices[y * kSize + x] = 1;
      }
    }
    for (int b = 0; b < kBars; ++b) {
      const double phase = 2 * kPi * f / kFrames + b * 1.3;
      const int barHeight = 8 + static_cast<int>(std::lround(14 * (1 + std::sin(phase))));
      const int left = 7 + b * 7;
      for (int y = kSize - 7 - barHeight; y < kSize - 7; ++y) {
        for (int x = left; x < left + 5; ++x) frame.indices[y * kSize + x] = static_cast<std::uint8_t>(2 + b);
      }
    }
    frames.push_back(std::move(frame));
  }
  return encodeGif(kSize, kSize, palette, frames);
}

}  // namespace artwork
