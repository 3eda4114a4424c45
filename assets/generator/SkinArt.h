#pragma once
// The 24 pictures of the change-appearance window: four styles of six, in package order.
// Each is a main-window background (drawn stretched over the window) that is also shown
// squeezed into a small landscape preview, so every picture keeps its character in broad
// colour fields and leaves the places of the window's texts quiet: light under the black
// labels, tabs and lists, dark under the search box's white text.

#include <cairo.h>

namespace artwork {

inline constexpr int kSkinCount = 24;
inline constexpr int kSkinsPerStyle = 6;
inline constexpr int kSkinWidth = 296;
inline constexpr int kSkinHeight = 657;

enum class SkinFormat { Png, Jpeg };

// Photographic styles (1 and 3) travel as JPEG, the flat ones as PNG.
SkinFormat skinFormat(int entry);
// Picture `entry` (0-23) as an opaque 296 x 657 surface owned by the caller; nullptr outside.
cairo_surface_t* drawSkinPicture(int entry);

// One per style; `variant` is 0-5.
void drawFashionSkin(cairo_t* cr, int variant);
void drawCuteSkin(cairo_t* cr, int variant);
void drawLomoSkin(cairo_t* cr, int variant);
void drawPlainSkin(cairo_t* cr, int variant);

}  // namespace artwork
