#pragma once
// The pixels a window shows, held once, by the back end that puts them on the screen.
// Layered updates and paint copies write into it rectangle by rectangle, and the back end
// shows just the rectangle that changed. Sizes and rectangles are in window units; the
// pixels are scale() to a unit, by the rounding rule of Geometry.h. UI thread only.

#include "platform/gfx/Surface.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

class ShownImage {
 public:
  int width() const { return width_; }
  int height() const { return height_; }
  double scale() const { return scale_; }

  // Keeps the pixels both sizes share; new ones are transparent, and all are when the
  // scale changes.
  void resize(int width, int height, double scale);

  // Writes rect (window coordinates, cut to the image) from a window surface, unit
  // (x, y) from unit (x + sourceOrigin.x, y + sourceOrigin.y); what lies outside it turns
  // transparent. Premultiplied channels scale with constantAlpha. A source at another
  // scale is resampled. Returns the rectangle written, empty when none.
  RECT copyFrom(PixelView source, POINT sourceOrigin, const RECT& rect, BYTE constantAlpha);

  PixelView view() const;
  // Without pixels (not valid) while the image has none.
  const gfx::Surface& surface() const { return surface_; }

 private:
  RECT copyResampled(PixelView source, POINT sourceOrigin, const RECT& rect, BYTE constantAlpha);

  gfx::Surface surface_;
  int width_ = 0;
  int height_ = 0;
  double scale_ = 1;
};

}  // namespace platform::window
