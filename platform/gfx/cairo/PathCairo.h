#pragma once

#include <cairo.h>

#include "platform/gfx/Path.h"

namespace platform::gfx {

// Appends the figures to the context's current path, shifted by (dx, dy).
void appendPath(cairo_t* cr, const Path& path, double dx = 0, double dy = 0);

}  // namespace platform::gfx
