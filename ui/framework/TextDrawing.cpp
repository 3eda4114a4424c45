#include <algorithm>
#include <cmath>

#include "ui/framework/Drawing.h"
#include "ui/framework/WideText.h"

namespace ui {

namespace gfx = platform::gfx;

gfx::StringFormat textFormatFor(int alignment, int formatFlags, int trimming) {
  gfx::StringFormat format;
  format.flags = formatFlags;
  format.trimming = trimming;
  if (alignment > 2) {
    format.alignment = std::clamp(alignment - 3, 0, 2);
    format.lineAlignment = gfx::kAlignCenter;
  } else {
    format.alignment = std::clamp(alignment, 0, 2);
    format.lineAlignment = gfx::kAlignNear;
  }
  return format;
}

Argb defaultEffectColour(Argb textColour) { return isDarkColour(textColour) ? 0x5AFFFFFFu : 0x46000000u; }

RectF measureText(const Graphics* g, std::string_view text, const gfx::Font* font, RectF layout) {
  const std::u16string wide = toWide(text);
  const gfx::StringFormat format;
  if (g) return g->measureString(wide, font, layout, format);
  return Graphics::measureDetached(wide, font, layout, format);
}

namespace {

// The text in the glow colour, shrunk to a third and stretched back: a soft halo.
void drawGlow(Graphics& g, std::u16string_view text, const gfx::Font* font, RectF rect,
              const gfx::StringFormat& format, Argb glowColour) {
  const int width = static_cast<int>(std::ceil(rect.width)) + 2;
  const int height = static_cast<int>(std::ceil(rect.height)) + 2;
  // At the target's scale, so the halo keeps its shape and softness at any scale.
  const double scale = g.scale();
  gfx::Surface sharp = gfx::Surface::createScaled(width, height, scale);
  if (!sharp.valid()) return;
  {
    Graphics onSharp(sharp);
    onSharp.drawString(text, font, RectF{1, 1, rect.width, rect.height}, format, glowColour);
  }
  gfx::Surface small = gfx::Surface::createScaled(std::max(1, width / 3), std::max(1, height / 3), scale);
  if (!small.valid()) return;
  const RectF smallRect{0, 0, float(small.unitWidth()), float(small.unitHeight())};
  {
    Graphics onSmall(small);
    onSmall.setInterpolation(gfx::kInterpolationHighQualityBilinear);
    onSmall.drawSurface(sharp, smallRect, RectF{0, 0, float(width), float(height)});
  }
  const int previous = g.interpolation();
  g.setInterpolation(gfx::kInterpolationHighQualityBilinear);
  g.drawSurface(small, RectF{rect.x - 1, rect.y - 1, float(width), float(height)}, smallRect);
  g.setInterpolation(previous);
}

}  // namespace

void drawText(Graphics& g, std::string_view text, const gfx::Font* font, RectF rect, Argb colour,
              int alignment, int effect, std::optional<std::int64_t> effectColour, int formatFlags, int trimming) {
  if (text.empty() || !font) return;
  const std::u16string wide = toWide(text);
  const gfx::StringFormat format = textFormatFor(alignment, formatFlags, trimming);
  if (effect >= kEffectRaised && effect <= kEffectGlow) {
    const Argb shade = (!effectColour || *effectColour == -1) ? defaultEffectColour(colour)
                                                               : static_cast<Argb>(*effectColour);
    if (effect == kEffectGlow) {
      drawGlow(g, wide, font, rect, format, shade);
    } else {
      const float offset = effect == kEffectRaised ? -1.0f : 1.0f;
      g.drawString(wide, font, RectF{rect.x + offset, rect.y + offset, rect.width, rect.height}, format, shade);
    }
  }
  g.drawString(wide, font, rect, format, colour);
}

}  // namespace ui
