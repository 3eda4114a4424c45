#include "platform/gfx/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/cairo/CairoHandles.h"

namespace platform::gfx {

void detail::NativeSurfaceDeleter::operator()(NativeSurface* s) const {
  cairo_surface_destroy(reinterpret_cast<cairo_surface_t*>(s));
}

cairo_surface_t* cairoSurfaceOf(const Surface& surface) {
  return reinterpret_cast<cairo_surface_t*>(surface.native());
}

namespace {
// cairo's own limit per side; the total keeps a hostile image header from asking for
// gigabytes.
constexpr int kMaxSide = 32767;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
}  // namespace

Surface Surface::create(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      static_cast<long long>(width) * height > kMaxPixels) {
    return Surface();
  }
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return Surface();
  }
  return Surface(reinterpret_cast<detail::NativeSurface*>(s));
}

Surface::Surface(detail::NativeSurface* s)
    : surface_(s),
      unitWidth_(cairo_image_surface_get_width(cairoSurfaceOf(*this))),
      unitHeight_(cairo_image_surface_get_height(cairoSurfaceOf(*this))) {}

Surface Surface::createScaled(int width, int height, double scale) {
  if (!(scale > 0) || !std::isfinite(scale) || width <= 0 || height <= 0 || width > kMaxSide ||
      height > kMaxSide) {
    return Surface();
  }
  Surface s = create(pixelsCeil(width, scale), pixelsCeil(height, scale));
  if (!s.valid()) return s;
  s.scale_ = scale;
  s.unitWidth_ = width;
  s.unitHeight_ = height;
  cairo_surface_set_device_scale(cairoSurfaceOf(s), scale, scale);
  return s;
}

void Surface::setScale(double scale) {
  if (!valid() || !(scale > 0) || !std::isfinite(scale)) return;
  scale_ = scale;
  unitWidth_ = std::max(1, static_cast<int>(std::lround(width() / scale)));
  unitHeight_ = std::max(1, static_cast<int>(std::lround(height() / scale)));
  cairo_surface_set_device_scale(cairoSurfaceOf(*this), scale, scale);
}

int Surface::width() const { return valid() ? cairo_image_surface_get_width(cairoSurfaceOf(*this)) : 0; }
int Surface::height() const { return valid() ? cairo_image_surface_get_height(cairoSurfaceOf(*this)) : 0; }
int Surface::strideBytes() const {
  return valid() ? cairo_image_surface_get_stride(cairoSurfaceOf(*this)) : 0;
}

const std::uint32_t* Surface::pixels() const {
  if (!valid()) return nullptr;
  cairo_surface_flush(cairoSurfaceOf(*this));
  return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(cairoSurfaceOf(*this)));
}

void Surface::markDirty() {
  if (valid()) cairo_surface_mark_dirty(cairoSurfaceOf(*this));
}

void Surface::clear(Argb colour) {
  if (!valid()) return;
  detail::ContextPtr cr(cairo_create(cairoSurfaceOf(*this)));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr.get(), redOf(colour) / 255.0, greenOf(colour) / 255.0,
                        blueOf(colour) / 255.0, alphaOf(colour) / 255.0);
  cairo_paint(cr.get());
}

void Surface::copyScaled(const Surface& source, int sourceX, int sourceY, int w, int h, int destX,
                         int destY) {
  detail::ContextPtr cr(cairo_create(cairoSurfaceOf(*this)));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr.get(), destX, destY, w, h);
  cairo_clip(cr.get());
  cairo_set_source_surface(cr.get(), cairoSurfaceOf(source), destX - sourceX, destY - sourceY);
  // Outside the source there is nothing to copy; leave those destination pixels alone.
  cairo_rectangle(cr.get(), destX - sourceX, destY - sourceY, source.unitWidth(), source.unitHeight());
  cairo_clip(cr.get());
  cairo_paint(cr.get());
}

void Surface::blendFrom(const Surface& source, RectI src, RectI dst, int constantAlpha) {
  if (!valid() || !source.valid() || src.width <= 0 || src.height <= 0 || dst.width <= 0 ||
      dst.height <= 0) {
    return;
  }
  detail::SurfacePtr part(cairo_surface_create_for_rectangle(cairoSurfaceOf(source), src.x, src.y,
                                                             src.width, src.height));
  detail::ContextPtr cr(cairo_create(cairoSurfaceOf(*this)));
  cairo_rectangle(cr.get(), dst.x, dst.y, dst.width, dst.height);
  cairo_clip(cr.get());
  cairo_translate(cr.get(), dst.x, dst.y);
  cairo_scale(cr.get(), static_cast<double>(dst.width) / src.width,
              static_cast<double>(dst.height) / src.height);
  cairo_set_source_surface(cr.get(), part.get(), 0, 0);
  cairo_paint_with_alpha(cr.get(), std::clamp(constantAlpha, 0, 255) / 255.0);
}

}  // namespace platform::gfx
