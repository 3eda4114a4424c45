#pragma once

#include <cairo.h>

#include <string>

namespace artwork {

// Writes an image surface as a baseline JPEG (alpha, if any, is dropped); false on failure.
bool writeJpeg(cairo_surface_t* surface, const std::string& path, int quality);

}  // namespace artwork
