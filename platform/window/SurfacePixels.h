#pragma once
// Where drawing surfaces meet windows: the pixel view the window layer reads, and the
// surfaces made at a window's device scale (GetWindowScale), drawn on in window units.

#include "platform/gfx/Surface.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

// An empty view for an empty surface. Valid until the surface is drawn on, resized or freed.
inline PixelView pixelViewOf(const gfx::Surface& surface) {
  if (!surface.valid()) return {};
  return {surface.pixels(), surface.width(), surface.height(), surface.strideBytes(), surface.scale()};
}

// A transparent surface for a whole window of width x height units at scale pixels a
// unit, with drawing coordinates in units. Empty when the size is not positive.
gfx::Surface createWindowSurface(int width, int height, double scale);

}  // namespace platform::window
