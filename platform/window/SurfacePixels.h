#pragma once
// The window layer reads drawing surfaces through a PixelView; this is the one place that
// builds it, so stride and pixel pointer always come from the surface itself.

#include "platform/gfx/Surface.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

// An empty view for an empty surface. Valid until the surface is drawn on, resized or freed.
inline PixelView pixelViewOf(const gfx::Surface& surface) {
  if (!surface.valid()) return {};
  return {surface.pixels(), surface.width(), surface.height(), surface.strideBytes()};
}

}  // namespace platform::window
