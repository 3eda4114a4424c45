#include "platform/gfx/PixelCopy.h"

#include "platform/gfx/gdiplus/GdiplusHandles.h"

namespace platform::gfx {

// The pixels are the bitmap's own rows: nothing to tell.
void markPixelsDirty(Surface&, RectI) {}

void replaceResampled(Surface& dest, const PixelSource& source, int originX, int originY, RectI p,
                      int constantAlpha) {
  if (!dest.valid()) return;
  detail::GpGraphicsPtr g = unitGraphicsOn(dest);
  if (!g) return;
  const float scale = static_cast<float>(dest.scale());
  const RectF area{p.x / scale, p.y / scale, p.width / scale, p.height / scale};
  // Cleared first: where the source has nothing the result is transparent.
  gp::GdipSetClipRect(g.get(), area.x, area.y, area.width, area.height, Gdiplus::CombineModeReplace);
  gp::GdipGraphicsClear(g.get(), 0);
  if (source.pixels == nullptr || source.width <= 0 || source.height <= 0) return;
  Gdiplus::GpBitmap* from = nullptr;
  if (gp::GdipCreateBitmapFromScan0(source.width, source.height, source.strideBytes, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(source.pixels)),
                                    &from) != Gdiplus::Ok) {
    return;
  }
  gp::GdipSetCompositingMode(g.get(), Gdiplus::CompositingModeSourceCopy);
  const float w = static_cast<float>(source.width / source.scale);
  const float h = static_cast<float>(source.height / source.scale);
  drawBitmap(g.get(), from, RectF{static_cast<float>(-originX), static_cast<float>(-originY), w, h},
             RectF{0, 0, static_cast<float>(source.width), static_cast<float>(source.height)},
             constantAlpha / 255.0f);
  gp::GdipDisposeImage(from);
}

}  // namespace platform::gfx
