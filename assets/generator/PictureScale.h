#pragma once
// The scale the generator draws at: every picture is drawn in its own units, onto a
// surface of that many pixels a unit, so the 2x set comes from the same vectors as the 1x.

#include <cairo.h>

namespace artwork {

// 1 until changed; 2 for the @2x pictures.
void setPictureScale(double scale);
double pictureScale();
// width x height units at the picture scale (a plain surface at 1).
cairo_surface_t* newPicture(cairo_format_t format, int width, int height);

}  // namespace artwork
