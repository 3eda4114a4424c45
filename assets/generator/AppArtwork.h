#pragma once
// The client's own pictures: the 30 button pictures of the main window (by their index in
// the button table), its background, the preset rows' picture and the program icon. Each
// draw function returns a new surface owned by the caller.

#include <cairo.h>

namespace artwork {

inline constexpr int kButtonPictureCount = 30;

struct PictureSize {
  int width;
  int height;
};

// The size the main window gives the control that shows picture `index` (0-29).
PictureSize buttonPictureSize(int index);
// Picture `index` of the button table; nullptr for an index outside 0-29.
cairo_surface_t* drawButtonPicture(int index);

// 296 x 657 background of the main window.
cairo_surface_t* drawMainSkin();
// 45 x 45 picture of a preset row (opaque; written as JPEG).
cairo_surface_t* drawPresetRowPicture();
// Square program icon of the given edge length.
cairo_surface_t* drawProgramIcon(int size);
// The main window on first start, with a preset playing and on the search tab: the skin as the
// window host lays it out, the pictures at their controls' places and the texts plainly.
cairo_surface_t* drawAppPreview(cairo_surface_t* const (&buttons)[kButtonPictureCount], cairo_surface_t* skin,
                                cairo_surface_t* rowPicture, cairo_surface_t* icon);

}  // namespace artwork
