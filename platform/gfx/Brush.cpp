#include "platform/gfx/Brush.h"

namespace platform::gfx {

Brush Brush::solid(Argb colour) {
  Brush b;
  b.from_ = b.to_ = colour;
  return b;
}

Brush Brush::linearGradient(RectF rect, Argb from, Argb to, int mode, int wrap) {
  Brush b;
  b.gradient_ = true;
  b.rect_ = rect;
  b.from_ = from;
  b.to_ = to;
  b.mode_ = mode;
  b.wrap_ = wrap;
  return b;
}

}  // namespace platform::gfx
