#include "platform/window/SurfacePixels.h"

namespace platform::window {

gfx::Surface createWindowSurface(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  gfx::Surface surface = gfx::Surface::create(width * kDeviceScale, height * kDeviceScale);
  if (surface.valid()) cairo_surface_set_device_scale(surface.cairoSurface(), kDeviceScale, kDeviceScale);
  return surface;
}

}  // namespace platform::window
