#include "assets/generator/SkinCanvas.h"

#include <algorithm>
#include <cmath>

#include "assets/generator/SkinArt.h"

namespace artwork::skin {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The window host keeps a 5-pixel margin and stretches the picture over what is left.
constexpr double kMargin = 5;

double channel(unsigned rgb, int shift) { return ((rgb >> shift) & 0xFF) / 255.0; }

}  // namespace

void useWindowCoordinates(cairo_t* cr) {
  cairo_scale(cr, kSkinWidth / (kSkinWidth - 2 * kMargin), kSkinHeight / (kSkinHeight - 2 * kMargin));
  cairo_translate(cr, -kMargin, -kMargin);
}

void setColour(cairo_t* cr, unsigned rgb, double alpha) {
  cairo_set_source_rgba(cr, channel(rgb, 16), channel(rgb, 8), channel(rgb, 0), alpha);
}

void addStop(cairo_pattern_t* p, double offset, unsigned rgb, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, offset, channel(rgb, 16), channel(rgb, 8), channel(rgb, 0), alpha);
}

void roundedBox(cairo_t* cr, Box b, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, b.x + b.width - r, b.y + r, r, -kPi / 2, 0);
  cairo_arc(cr, b.x + b.width - r, b.y + b.height - r, r, 0, kPi / 2);
  cairo_arc(cr, b.x + r, b.y + b.height - r, r, kPi / 2, kPi);
  cairo_arc(cr, b.x + r, b.y + r, r, kPi, 1.5 * kPi);
  cairo_close_path(cr);
}

void paintVertical(cairo_t* cr, unsigned top, unsigned bottom, double y0, double y1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  addStop(p, 0, top);
  addStop(p, 1, bottom);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

void paintDiagonal(cairo_t* cr, unsigned from, unsigned to) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 296, 657);
  addStop(p, 0, from);
  addStop(p, 1, to);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

void glow(cairo_t* cr, double x, double y, double radius, unsigned rgb, double alpha) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, radius);
  addStop(p, 0, rgb, alpha);
  addStop(p, 0.45, rgb, alpha * 0.45);
  addStop(p, 1, rgb, 0);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

void veil(cairo_t* cr, Box b, double radius, unsigned rgb, double alpha) {
  roundedBox(cr, b, radius);
  setColour(cr, rgb, alpha);
  cairo_fill(cr);
}

void softVeil(cairo_t* cr, Box b, double feather, unsigned rgb, double alpha) {
  constexpr int kSteps = 8;
  // Layers that add up to `alpha` where they all overlap.
  const double each = 1 - std::pow(1 - alpha, 1.0 / kSteps);
  for (int i = 0; i < kSteps; ++i) {
    const double grow = feather * (i / (kSteps - 1.0) - 0.5);
    roundedBox(cr, {b.x - grow, b.y - grow, b.width + 2 * grow, b.height + 2 * grow}, feather * 0.5 + grow + 2);
    setColour(cr, rgb, each);
    cairo_fill(cr);
  }
}

void searchBand(cairo_t* cr, unsigned rgb, double alpha, double radius) {
  veil(cr, {kSearch.x + 0.5, kSearch.y + 0.5, kSearch.width - 1, kSearch.height - 1}, radius, rgb, alpha);
}

void captionPlate(cairo_t* cr, unsigned rgb, double alpha) {
  // Under the three buttons at the top right (28 + 28 + 39 wide, ending 3 pixels in).
  veil(cr, {190, 4, 104, 23}, 11.5, rgb, alpha);
}

void lightVeils(cairo_t* cr, unsigned tint, double cardAlpha, double panelAlpha, double radius) {
  veil(cr, kCard, radius, tint, cardAlpha);
  veil(cr, kVolume, kVolume.height / 2, 0x8899AA, 0.22);
  veil(cr, {kPanel.x, kPanel.y, kPanel.width, kPanel.height + radius}, radius, tint, panelAlpha);
}

double Scatter::next() {
  // xorshift32: enough for placing shapes, and the same on every machine.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return (state_ >> 8) / 16777216.0;
}

void addGrain(cairo_surface_t* surface, int amount, std::uint32_t seed) {
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  Scatter noise(seed);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width; ++x) {
      // One value for all three channels: film grain is a change of brightness, not colour.
      const int delta = static_cast<int>((noise.next() + noise.next() - 1.0) * amount);
      std::uint32_t out = row[x] & 0xFF000000u;
      for (int shift : {16, 8, 0}) {
        const int v = std::clamp(static_cast<int>((row[x] >> shift) & 0xFF) + delta, 0, 255);
        out |= static_cast<std::uint32_t>(v) << shift;
      }
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(surface);
}

void darkenEdges(cairo_surface_t* surface, double strength, double reach) {
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    const double dy = (y + 0.5) / height * 2 - 1;
    for (int x = 0; x < width; ++x) {
      const double dx = (x + 0.5) / width * 2 - 1;
      // Distance in the picture's own proportions, so the darkening follows its edges.
      const double d = std::sqrt(dx * dx + dy * dy) / std::sqrt(2.0);
      const double t = std::clamp((d - (1 - reach)) / reach, 0.0, 1.0);
      const double keep = 1 - strength * t * t;
      std::uint32_t out = row[x] & 0xFF000000u;
      for (int shift : {16, 8, 0}) {
        const auto v = static_cast<std::uint32_t>(((row[x] >> shift) & 0xFF) * keep + 0.5);
        out |= std::min(v, 255u) << shift;
      }
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(surface);
}

void heart(cairo_t* cr, double cx, double cy, double s) {
  cairo_new_sub_path(cr);
  cairo_move_to(cr, cx, cy + s * 0.9);
  cairo_curve_to(cr, cx - s * 1.3, cy + s * 0.1, cx - s * 0.9, cy - s * 0.9, cx, cy - s * 0.35);
  cairo_curve_to(cr, cx + s * 0.9, cy - s * 0.9, cx + s * 1.3, cy + s * 0.1, cx, cy + s * 0.9);
  cairo_close_path(cr);
}

void star(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turn) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < points * 2; ++i) {
    const double a = turn - kPi / 2 + i * kPi / points;
    const double r = (i % 2 == 0) ? outer : inner;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

void cloud(cairo_t* cr, double x, double y, double w) {
  // Puffs over a flat base, the middle one tallest.
  const double h = w * 0.32;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w * 0.22, y - h * 0.35, h * 0.62, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w * 0.5, y - h * 0.6, h * 0.85, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w * 0.78, y - h * 0.38, h * 0.6, 0, 2 * kPi);
  roundedBox(cr, {x, y - h * 0.55, w, h * 0.55}, h * 0.27);
}

}  // namespace artwork::skin
