#pragma once
// The framework's process-wide state and its one-time start routine. UI thread only.

#include <memory>

#include "platform/gfx/Font.h"
#include "resources/ExImage.h"
#include "ui/framework/WindowTable.h"

namespace ui {

struct FrameworkState {
  bool started = false;
  // 12 px regular; nullptr when no candidate face exists.
  std::unique_ptr<platform::gfx::Font> defaultFont;
  int defaultInterval = 0;  // ms, for timers started without one
  // Major version of the running kernel.
  int osMajorVersion = 0;
  WindowTable windows;
  // 729 x 20 caption-button glyphs, and the same drawn at twice the scale.
  resources::ExImage captionSprite;
  resources::ExImage captionSprite2x;
};

// The caption glyphs drawn for a window at scale. UI thread only.
const platform::gfx::Image* captionSpriteFor(double scale);

// The one instance; it outlives every other global object.
FrameworkState& framework();

// Fills the state once; later calls do nothing. Runs on the user-interface thread
// before the first window is attached.
void start(int gdiplusVersion = 1);

inline constexpr int kDefaultTimerInterval = 80;

// Every fade, the window's and the controls', rises by this much on each tick up to 255.
inline constexpr int kFadeStep = 51;
constexpr int nextFadeLevel(int level) { return level < 255 - kFadeStep ? level + kFadeStep : 255; }

}  // namespace ui
