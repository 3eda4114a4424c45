#pragma once
// Solid and linear-gradient fills.

#include "platform/gfx/Geometry.h"

namespace platform::gfx {

enum LinearGradientMode : int {
  kGradientHorizontal = 0,
  kGradientVertical = 1,
  kGradientForwardDiagonal = 2,
  kGradientBackwardDiagonal = 3,
};

enum WrapMode : int {
  kWrapTile = 0,
  kWrapTileFlipX = 1,
  kWrapTileFlipY = 2,
  kWrapTileFlipXY = 3,
  kWrapClamp = 4,
};

class Brush {
 public:
  static Brush solid(Argb colour);
  // From the first colour at the rectangle's start edge to the second at its far edge,
  // in the direction of the mode; beyond the rectangle the wrap mode repeats it.
  static Brush linearGradient(RectF rect, Argb from, Argb to, int mode, int wrap = kWrapTile);

  bool isGradient() const { return gradient_; }
  Argb colour() const { return from_; }
  Argb from() const { return from_; }
  Argb to() const { return to_; }
  RectF rect() const { return rect_; }
  int mode() const { return mode_; }
  int wrap() const { return wrap_; }

 private:
  bool gradient_ = false;
  Argb from_ = 0;
  Argb to_ = 0;
  RectF rect_{};
  int mode_ = kGradientHorizontal;
  int wrap_ = kWrapTile;
};

struct Pen {
  Argb colour = 0xFF000000;
  float width = 1.0f;
};

}  // namespace platform::gfx
