#pragma once
// Writing pixels held outside any surface into one: the window layer's shown image takes
// the pixels of layered updates this way. UI thread only.

#include <cstdint>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"

namespace platform::gfx {

// Premultiplied 0xAARRGGBB pixels, top-down rows, scale pixels a unit.
struct PixelSource {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int strideBytes = 0;
  double scale = 1;
};

// After writing through dest.mutablePixels(): the pixels of rect (in pixels) changed.
void markPixelsDirty(Surface& dest, RectI rect);
// Replaces dest's pixels in pixelRect with the source resampled to dest's scale, dest's
// unit (x, y) showing the source's unit (x + originX, y + originY), its channels scaled by
// constantAlpha (0..255); transparent where the source has nothing.
void replaceResampled(Surface& dest, const PixelSource& source, int originX, int originY, RectI pixelRect,
                      int constantAlpha);

}  // namespace platform::gfx
