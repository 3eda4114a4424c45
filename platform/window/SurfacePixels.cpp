#include "platform/window/SurfacePixels.h"

namespace platform::window {

gfx::Surface createWindowSurface(int width, int height, double scale) {
  return gfx::Surface::createScaled(width, height, scale);
}

}  // namespace platform::window
