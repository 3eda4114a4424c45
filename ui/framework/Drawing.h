#pragma once
// The framework's drawing primitives: rectangles, lines, rounded shapes, clipping,
// nine-grid pictures and text with simple effects. Geometry is in float pixels,
// rectangles are (x, y, width, height); colours are ARGB.

#include <optional>
#include <string_view>

#include "platform/gfx/Graphics.h"
#include "ui/framework/Colours.h"

namespace ui {

using platform::gfx::Graphics;
using platform::gfx::RectF;

RectF makeRect(float x, float y, float width, float height);
platform::gfx::Pen createPen(Argb colour, float width = 1.0f);
platform::gfx::Brush createSolidBrush(Argb colour);

// Covers (x, y, width - 1, height - 1), the framework's rectangle convention.
void fillRect(Graphics& g, RectF rect, Argb colour);
// Reflects beyond the rectangle, so a band drawn larger than its gradient mirrors.
void fillGradientRect(Graphics& g, RectF rect, Argb from, Argb to,
                      int mode = platform::gfx::kGradientVertical);
void drawLine(Graphics& g, Argb colour, float x1, float y1, float x2, float y2, float width = 1.0f);

// Four quarter arcs of diameter d from (x, y) to (x + width - 1, y + height - 1); with d
// 0 it is that rectangle.
platform::gfx::Path roundedPath(RectF rect, float diameter, int fillMode = platform::gfx::kFillAlternate);
// The rounded outline along the outer pixel edges of rect, for clipping pictures so that
// their outermost pixels stay visible.
platform::gfx::Path roundedClipPath(RectF rect, float diameter, int fillMode = platform::gfx::kFillAlternate);
void drawRoundRect(Graphics& g, RectF rect, float diameter, std::optional<Argb> fill,
                   std::optional<Argb> border, float borderWidth = 1.0f);

void setClipRect(Graphics& g, RectF rect, int combine = platform::gfx::kCombineReplace);
void setClipPath(Graphics& g, const platform::gfx::Path& path, int combine = platform::gfx::kCombineReplace);
void resetClip(Graphics& g);

struct NineGridMargins {
  float left = 0, top = 0, right = 0, bottom = 0;
};
// Corners keep their size, edges stretch along one axis, the centre along both. alpha is
// a constant opacity applied to the picture.
void drawNineGrid(Graphics& g, const platform::gfx::Image& image, RectF dest, NineGridMargins margins,
                  float alpha = 1.0f);
// Margins of 100 px for a side longer than 100 px, half the side otherwise.
NineGridMargins nineGridMarginsFor(int imageWidth, int imageHeight);

// Text is a program text (ANSI code page). Measuring without a graphics object uses the
// default text settings.
RectF measureText(const Graphics* g, std::string_view text, const platform::gfx::Font* font, RectF layout);

enum TextEffect : int { kEffectNone = 0, kEffectRaised = 1, kEffectShadow = 2, kEffectGlow = 3 };

// alignment 0..2 places the text near/centre/far on the horizontal axis at the top; 3..5
// does the same and centres it vertically. effectColour empty or -1 picks white (alpha
// 90) for a dark text colour and black (alpha 70) for a light one.
void drawText(Graphics& g, std::string_view text, const platform::gfx::Font* font, RectF rect, Argb colour,
              int alignment = 0, int effect = kEffectNone, std::optional<std::int64_t> effectColour = std::nullopt,
              int formatFlags = platform::gfx::kFlagNoWrap, int trimming = platform::gfx::kTrimmingCharacter);
// The string format drawText uses for an alignment code and flags.
platform::gfx::StringFormat textFormatFor(int alignment, int formatFlags,
                                          int trimming = platform::gfx::kTrimmingCharacter);
Argb defaultEffectColour(Argb textColour);

bool pointInRect(RectF rect, float x, float y);
// The pixels two rectangles share; empty when they share none.
platform::gfx::RectI intersect(platform::gfx::RectI a, platform::gfx::RectI b);
// The smallest rectangle holding both; an empty one adds nothing.
platform::gfx::RectI unite(platform::gfx::RectI a, platform::gfx::RectI b);

}  // namespace ui
