#pragma once
// A figure list of lines and elliptic arcs, filled with the alternate (even-odd) or
// winding rule. An arc or line added to an open figure joins it with a straight line.

#include <span>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace platform::gfx {

enum FillMode : int { kFillAlternate = 0, kFillWinding = 1 };

class Path {
 public:
  explicit Path(int fillMode = kFillAlternate) : fillMode_(fillMode) {}

  // Angles in degrees, clockwise from the positive x axis (y grows downwards). An arc
  // of zero width or height is the single point at its start.
  void addArc(float x, float y, float width, float height, float startDeg, float sweepDeg);
  void addLine(float x1, float y1, float x2, float y2);
  void addRectangle(RectF rect);
  void addPolygon(std::span<const PointF> points);
  void addEllipse(RectF rect);
  void closeFigure();

  int fillMode() const { return fillMode_; }
  bool empty() const { return ops_.empty(); }
  RectF bounds() const;

  // What the drawing back ends replay: Move and Line to (a, b); Arc of the ellipse in the
  // box (a, b, c, d) from e degrees sweeping f; Close.
  enum class Kind { Move, Line, Arc, Close };
  struct Op {
    Kind kind;
    float a, b, c, d, e, f;
  };
  const std::vector<Op>& ops() const { return ops_; }

 private:
  std::vector<Op> ops_;
  bool figureOpen_ = false;
  int fillMode_;
};

}  // namespace platform::gfx
