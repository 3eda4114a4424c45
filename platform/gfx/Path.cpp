#include "platform/gfx/Path.h"

#include <algorithm>

namespace platform::gfx {

void Path::addArc(float x, float y, float w, float h, float start, float sweep) {
  sweep = std::clamp(sweep, -360.0f, 360.0f);  // beyond one turn it is the whole ellipse
  ops_.push_back({Kind::Arc, x, y, w, h, start, sweep});
  figureOpen_ = true;
}

void Path::addLine(float x1, float y1, float x2, float y2) {
  ops_.push_back({figureOpen_ ? Kind::Line : Kind::Move, x1, y1, 0, 0, 0, 0});
  ops_.push_back({Kind::Line, x2, y2, 0, 0, 0, 0});
  figureOpen_ = true;
}

void Path::addRectangle(RectF r) {
  const PointF corners[] = {{r.x, r.y}, {r.right(), r.y}, {r.right(), r.bottom()}, {r.x, r.bottom()}};
  addPolygon(corners);
}

void Path::addPolygon(std::span<const PointF> points) {
  if (points.empty()) return;
  closeFigure();
  ops_.push_back({Kind::Move, points[0].x, points[0].y, 0, 0, 0, 0});
  for (std::size_t i = 1; i < points.size(); ++i) ops_.push_back({Kind::Line, points[i].x, points[i].y, 0, 0, 0, 0});
  ops_.push_back({Kind::Close, 0, 0, 0, 0, 0, 0});
}

void Path::addEllipse(RectF r) {
  closeFigure();
  addArc(r.x, r.y, r.width, r.height, 0, 360);
  closeFigure();
}

void Path::closeFigure() {
  if (figureOpen_) ops_.push_back({Kind::Close, 0, 0, 0, 0, 0, 0});
  figureOpen_ = false;
}

}  // namespace platform::gfx
