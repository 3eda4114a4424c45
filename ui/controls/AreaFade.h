#pragma once
// A new look faded in over what part of the window showed before: the old pixels are kept
// when the look changes, and every paint of the new look mixes them back in at the fade
// level, keeping the mix as the starting point of the next step. Each tick of the owner's
// timer raises the level by 51; the tick after full ends the fade. UI thread only.

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"

namespace ui::controls {

class AreaFade {
 public:
  // Keeps what shown holds in area (cut to the surface) and starts at level (1..255).
  void start(const platform::gfx::Surface& shown, platform::gfx::RectI area, int level);
  void stop();
  bool running() const { return level_ > 0; }
  int level() const { return level_; }
  platform::gfx::RectI area() const { return area_; }
  // One tick: the next level; false (and stopped) on the tick after full.
  bool step();
  // After the new look is drawn within clip: mixes the kept pixels back in at the level.
  void blendOver(platform::gfx::Surface& shown, platform::gfx::RectI clip);

 private:
  platform::gfx::Surface kept_;
  platform::gfx::RectI area_;
  int level_ = 0;
};

// Mixes kept (which holds the pixels of keptArea) and shown inside area at level (0..255),
// and writes the mix into both, so the next step starts from what is on the screen.
void mixKeptIntoShown(platform::gfx::Surface& shown, platform::gfx::Surface& kept, platform::gfx::RectI keptArea,
                      platform::gfx::RectI area, int level);

}  // namespace ui::controls
