#include "platform/gfx/cairo/PathCairo.h"

#include <cmath>

#include "platform/gfx/cairo/CairoHandles.h"

namespace platform::gfx {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

void appendPath(cairo_t* cr, const Path& path, double dx, double dy) {
  using Kind = Path::Kind;
  bool open = false;
  for (const Path::Op& op : path.ops()) {
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
  appendPath(cr.get(), *this);
  double x1, y1, x2, y2;
  cairo_path_extents(cr.get(), &x1, &y1, &x2, &y2);
  return RectF{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - x1),
               static_cast<float>(y2 - y1)};
}

}  // namespace platform::gfx
