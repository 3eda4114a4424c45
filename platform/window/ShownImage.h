#pragma once
// The pixels a window shows, held once, by the back end that puts them on the screen.
// Layered updates and paint copies write into it rectangle by rectangle, and the back end
// shows just the rectangle that changed. Sizes and rectangles are in window units; the
// pixels are kDeviceScale to a unit (SurfacePixels.h). UI thread only.

#include <cairo.h>

#include "platform/gfx/Surface.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

class ShownImage {
 public:
  int width() const { return width_; }
  int height() const { return height_; }

  // Keeps the pixels both sizes share; new ones are transparent.
  void resize(int width, int height);

  // Writes rect (window coordinates, cut to the image) from a window surface, unit
  // (x, y) from unit (x + sourceOrigin.x, y + sourceOrigin.y); what lies outside it turns
  // transparent. Premultiplied channels scale with constantAlpha. Returns the rectangle
  // written, empty when none.
  RECT copyFrom(PixelView source, POINT sourceOrigin, const RECT& rect, BYTE constantAlpha);

  PixelView view() const;
  const gfx::Surface& surface() const { return surface_; }
  // Null while the image has no pixels.
  cairo_surface_t* cairoSurface() const { return surface_.cairoSurface(); }

 private:
  gfx::Surface surface_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace platform::window
