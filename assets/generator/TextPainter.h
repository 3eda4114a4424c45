#pragma once
// Captions for the generator's pictures, laid out with Pango in the CJK face the program
// itself draws its texts with.

#include <cairo.h>

namespace artwork {

enum class TextAlign { Left, Centre, Right };

// Draws UTF-8 `text` of `pixelSize` in the current source, vertically centred in the box.
void drawCaption(cairo_t* cr, const char* text, double pixelSize, bool bold, double x, double y, double width,
                 double height, TextAlign align = TextAlign::Centre);

}  // namespace artwork
