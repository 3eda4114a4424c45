#include "platform/window/Region.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform::window {

Region::Region(std::vector<RECT> rectangles) {
  for (const RECT& r : rectangles) {
    if (!r.empty()) rectangles_.push_back(r);
  }
}

Region Region::roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                         int ellipseHeight) {
  // Window coordinates are 16-bit on the desktop; larger values would only cost rows.
  auto limit = [](int v) { return std::clamp(v, -32768, 32767); };
  left = limit(left);
  top = limit(top);
  right = limit(right);
  bottom = limit(bottom);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  Region region;
  region.hasRoundRect_ = true;
  region.roundRect_ = {RECT{left, top, right, bottom}, ellipseWidth, ellipseHeight};
  const int width = right - left;
  const int height = bottom - top;
  if (width <= 0 || height <= 0) return region;
  const double rx = std::clamp(std::abs(ellipseWidth), 0, width) / 2.0;
  const double ry = std::clamp(std::abs(ellipseHeight), 0, height) / 2.0;
  for (int row = 0; row < height; ++row) {
    int inset = 0;
    if (rx >= 1.0 && ry >= 1.0) {
      // Distance of the pixel row's centre from the ellipse centre, in the corner bands.
      double dy = 0.0;
      if (row + 0.5 < ry) dy = ry - (row + 0.5);
      else if (height - (row + 0.5) < ry) dy = ry - (height - (row + 0.5));
      if (dy > 0.0) {
        const double t = std::max(0.0, 1.0 - (dy * dy) / (ry * ry));
        inset = static_cast<int>(std::lround(rx - rx * std::sqrt(t)));
      }
    }
    const RECT band{left + inset, top + row, right - inset, top + row + 1};
    if (band.empty()) continue;
    // Rows with the same span merge into one rectangle.
    if (!region.rectangles_.empty()) {
      RECT& last = region.rectangles_.back();
      if (last.left == band.left && last.right == band.right && last.bottom == band.top) {
        last.bottom = band.bottom;
        continue;
      }
    }
    region.rectangles_.push_back(band);
  }
  return region;
}

bool Region::contains(int x, int y) const {
  return std::any_of(rectangles_.begin(), rectangles_.end(),
                     [&](const RECT& r) { return r.contains(x, y); });
}

RECT Region::bounds() const {
  if (rectangles_.empty()) return {};
  RECT b = rectangles_.front();
  for (const RECT& r : rectangles_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

}  // namespace platform::window
