#pragma once
// The look of a control that holds the focus from the keyboard: a light one-pixel ring
// just inside a dark one along the control's edge, so it reads on light and dark skins
// alike. Drawn over the control, inside its bounds.

#include "platform/gfx/Graphics.h"

namespace ui::controls {

inline constexpr platform::gfx::Argb kFocusOuterRing = 0xA0000000u;
inline constexpr platform::gfx::Argb kFocusInnerRing = 0xE6FFFFFFu;

// Draws nothing for bounds too small to hold both rings.
void drawFocusLook(platform::gfx::Graphics& g, platform::gfx::RectF bounds);

}  // namespace ui::controls
