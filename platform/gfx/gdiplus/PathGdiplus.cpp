#include "platform/gfx/Path.h"

#include <cmath>

#include "platform/gfx/gdiplus/GdiplusHandles.h"

namespace platform::gfx {

detail::GpPathPtr gpPathOf(const Path& path, float dx, float dy) {
  Gdiplus::GpPath* made = nullptr;
  if (!gdiplusReady() ||
      gp::GdipCreatePath(path.fillMode() == kFillWinding ? Gdiplus::FillModeWinding : Gdiplus::FillModeAlternate,
                         &made) != Gdiplus::Ok) {
    return nullptr;
  }
  detail::GpPathPtr result(made);
  Gdiplus::GpPath* p = result.get();
  // GDI+ has no "move to": a figure's first line starts at the point last moved to.
  bool open = false;
  float x = 0, y = 0;
  for (const Path::Op& op : path.ops()) {
    if (!std::isfinite(op.a) || !std::isfinite(op.b) || !std::isfinite(op.c) || !std::isfinite(op.d) ||
        !std::isfinite(op.e) || !std::isfinite(op.f)) {
      continue;
    }
    switch (op.kind) {
      case Path::Kind::Move:
        gp::GdipStartPathFigure(p);
        x = op.a + dx, y = op.b + dy;
        open = true;
        break;
      case Path::Kind::Line:
        if (open) gp::GdipAddPathLine(p, x, y, op.a + dx, op.b + dy);
        else gp::GdipStartPathFigure(p);
        x = op.a + dx, y = op.b + dy;
        open = true;
        break;
      case Path::Kind::Arc: {
        if (!(op.c > 0) || !(op.d > 0)) {
          const double a = op.e * 3.14159265358979323846 / 180.0;
          const float px = static_cast<float>(op.a + dx + op.c / 2.0 * (1 + std::cos(a)));
          const float py = static_cast<float>(op.b + dy + op.d / 2.0 * (1 + std::sin(a)));
          if (open) gp::GdipAddPathLine(p, x, y, px, py);
          x = px, y = py;
        } else {
          gp::GdipAddPathArc(p, op.a + dx, op.b + dy, op.c, op.d, op.e, op.f);
          Gdiplus::GpPointF last{};
          gp::GdipGetPathLastPoint(p, &last);
          x = last.X, y = last.Y;
        }
        open = true;
        break;
      }
      case Path::Kind::Close:
        gp::GdipClosePathFigure(p);
        open = false;
        break;
    }
  }
  return result;
}

RectF Path::bounds() const {
  if (ops_.empty()) return {};
  detail::GpPathPtr p = gpPathOf(*this);
  Gdiplus::GpRectF r{};
  if (!p || gp::GdipGetPathWorldBounds(p.get(), &r, nullptr, nullptr) != Gdiplus::Ok) return {};
  return RectF{r.X, r.Y, r.Width, r.Height};
}

}  // namespace platform::gfx
