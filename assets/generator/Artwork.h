#pragma once
// Built-in pictures drawn with cairo at build time; each function returns a new surface
// owned by the caller.

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "assets/generator/GifWriter.h"

namespace artwork {

// 729 x 20: close (39 px cells) then maximise, restore, minimise, menu, skin, feedback
// and settings (28 px cells), three states each, one clear column between cells.
cairo_surface_t* drawCaptionSprite();
// 200 x 40: error cross, warning, question, information, success.
cairo_surface_t* drawMessageIcons();
// 14 x 14 round slider thumbs.
cairo_surface_t* drawSliderThumb(bool hot);

// Pictures of the framework demo, written as files only.
// 296 x 657 dusk landscape: a starry sky, a low sun and layered hills.
cairo_surface_t* drawDemoBackground();
// 48 x 48 animated GIF of bouncing equaliser bars, 8 frames of 90 ms.
std::vector<std::uint8_t> drawDemoEqualiserGif();
// Round media buttons of the demo, one row per glyph (previous, play, pause, next, stop,
// heart), columns normal, hover and pressed; cells of kDemoButtonCell pixels.
inline constexpr int kDemoButtonCell = 36;
inline constexpr int kDemoButtonGlyphs = 6;
cairo_surface_t* drawDemoButtons();

}  // namespace artwork
