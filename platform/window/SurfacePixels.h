#pragma once
// Where drawing surfaces meet windows: the pixel view the window layer reads, and the
// device scale. The scale enters only here and in ShownImage, so a window can be drawn at
// 2x by changing kDeviceScale without touching anything that draws in window units.

#include "platform/gfx/Surface.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

// Pixels per window unit along each axis.
inline constexpr int kDeviceScale = 1;

// An empty view for an empty surface. Valid until the surface is drawn on, resized or freed.
inline PixelView pixelViewOf(const gfx::Surface& surface) {
  if (!surface.valid()) return {};
  return {surface.pixels(), surface.width(), surface.height(), surface.strideBytes()};
}

// A transparent surface for a whole window of width x height units: kDeviceScale pixels a
// unit, with drawing coordinates in units. Empty when the size is not positive.
gfx::Surface createWindowSurface(int width, int height);

}  // namespace platform::window
