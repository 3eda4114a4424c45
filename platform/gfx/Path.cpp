#include "platform/gfx/Path.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/CairoHandles.h"

namespace platform::gfx {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

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

void Path::appendTo(cairo_t* cr, double dx, double dy) const {
  bool open = false;
  for (const Op& op : ops_) {
    if (!std::isfinite(op.a) || !std::isfinite(op.b) || !std::isfinite(op.c) || !std::isfinite(op.d) ||
        !std::isfinite(op.e) || !std::isfinite(op.f)) {
      continue;  // a NaN or infinite figure point would break the whole drawing context
    }
    switch (op.kind) {
      case Kind::Move:
        cairo_move_to(cr, op.a + dx, op.b + dy);
        open = true;
        break;
      case Kind::Line:
        if (open) cairo_line_to(cr, op.a + dx, op.b + dy);
        else cairo_move_to(cr, op.a + dx, op.b + dy);
        open = true;
        break;
      case Kind::Arc: {
        const double rx = op.c / 2.0, ry = op.d / 2.0;
        const double cx = op.a + dx + rx, cy = op.b + dy + ry;
        const double a1 = op.e * kPi / 180.0, a2 = (op.e + op.f) * kPi / 180.0;
        if (!(rx > 0) || !(ry > 0)) {
          const double px = cx + rx * std::cos(a1), py = cy + ry * std::sin(a1);
          if (open) cairo_line_to(cr, px, py);
          else cairo_move_to(cr, px, py);
        } else {
          if (!open) cairo_new_sub_path(cr);
          cairo_save(cr);
          cairo_translate(cr, cx, cy);
          cairo_scale(cr, rx, ry);
          if (op.f >= 0) cairo_arc(cr, 0, 0, 1, a1, a2);
          else cairo_arc_negative(cr, 0, 0, 1, a1, a2);
          cairo_restore(cr);
        }
        open = true;
        break;
      }
      case Kind::Close:
        cairo_close_path(cr);
        open = false;
        break;
    }
  }
}

RectF Path::bounds() const {
  if (ops_.empty()) return {};
  detail::SurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  detail::ContextPtr cr(cairo_create(scratch.get()));
  appendTo(cr.get());
  double x1, y1, x2, y2;
  cairo_path_extents(cr.get(), &x1, &y1, &x2, &y2);
  return RectF{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - x1),
               static_cast<float>(y2 - y1)};
}

}  // namespace platform::gfx
