#include "platform/gfx/PixelCopy.h"

#include "platform/gfx/cairo/CairoHandles.h"

namespace platform::gfx {

void markPixelsDirty(Surface& dest, RectI r) {
  // In pixels: cairo leaves the device scale out here.
  if (dest.valid()) cairo_surface_mark_dirty_rectangle(cairoSurfaceOf(dest), r.x, r.y, r.width, r.height);
}

void replaceResampled(Surface& dest, const PixelSource& source, int originX, int originY, RectI p,
                      int constantAlpha) {
  if (!dest.valid()) return;
  const double scale = dest.scale();
  detail::SurfacePtr from(cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(source.pixels)), CAIRO_FORMAT_ARGB32,
      source.width, source.height, source.strideBytes));
  cairo_surface_set_device_scale(from.get(), source.scale, source.scale);
  {
    detail::ContextPtr cr(cairo_create(cairoSurfaceOf(dest)));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    // The clip in pixels, so no edge pixel is left half old.
    cairo_rectangle(cr.get(), p.x / scale, p.y / scale, p.width / scale, p.height / scale);
    cairo_clip(cr.get());
    cairo_set_source_surface(cr.get(), from.get(), -originX, -originY);
    cairo_paint_with_alpha(cr.get(), constantAlpha / 255.0);
  }
  cairo_surface_flush(cairoSurfaceOf(dest));
}

}  // namespace platform::gfx
