#include "ui/controls/FocusLook.h"

#include "ui/framework/Drawing.h"

namespace ui::controls {

namespace {

constexpr float kOuterDiameter = 6;
constexpr float kInnerDiameter = 4;

}  // namespace

void drawFocusLook(platform::gfx::Graphics& g, platform::gfx::RectF b) {
  if (!b.finite() || !(b.width >= 6) || !(b.height >= 6)) return;
  drawRoundRect(g, b, kOuterDiameter, std::nullopt, kFocusOuterRing);
  drawRoundRect(g, RectF{b.x + 1, b.y + 1, b.width - 2, b.height - 2}, kInnerDiameter, std::nullopt, kFocusInnerRing);
}

}  // namespace ui::controls
