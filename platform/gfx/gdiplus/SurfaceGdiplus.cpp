#include "platform/gfx/Surface.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/gdiplus/GdiplusHandles.h"

namespace platform::gfx {

namespace {
// The total keeps a hostile image header from asking for gigabytes.
constexpr int kMaxSide = 32767;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
}  // namespace

detail::NativeSurface::~NativeSurface() {
  if (bitmap != nullptr) gp::GdipDisposeImage(bitmap);
}

void detail::NativeSurfaceDeleter::operator()(NativeSurface* s) const { delete s; }

Gdiplus::GpBitmap* bitmapOf(const Surface& surface) {
  return surface.valid() ? surface.native()->bitmap : nullptr;
}

Surface Surface::create(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      static_cast<long long>(width) * height > kMaxPixels || !gdiplusReady()) {
    return Surface();
  }
  auto native = std::make_unique<detail::NativeSurface>();
  native->pixels.assign(static_cast<std::size_t>(width) * height, 0u);
  native->width = width;
  native->height = height;
  if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(native->pixels.data()), &native->bitmap) != Gdiplus::Ok) {
    return Surface();
  }
  return Surface(native.release());
}

Surface::Surface(detail::NativeSurface* s) : surface_(s), unitWidth_(s->width), unitHeight_(s->height) {}

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
  return s;
}

void Surface::setScale(double scale) {
  if (!valid() || !(scale > 0) || !std::isfinite(scale)) return;
  scale_ = scale;
  unitWidth_ = std::max(1, static_cast<int>(std::lround(width() / scale)));
  unitHeight_ = std::max(1, static_cast<int>(std::lround(height() / scale)));
}

int Surface::width() const { return valid() ? surface_->width : 0; }
int Surface::height() const { return valid() ? surface_->height : 0; }
int Surface::strideBytes() const { return valid() ? surface_->width * 4 : 0; }

// The bitmap draws straight into these rows, and every graphics object is flushed when
// its drawing call returns.
const std::uint32_t* Surface::pixels() const { return valid() ? surface_->pixels.data() : nullptr; }

void Surface::markDirty() {}

void Surface::clear(Argb colour) {
  if (!valid()) return;
  std::fill(surface_->pixels.begin(), surface_->pixels.end(), premultiply(colour));
}

void Surface::copyScaled(const Surface& source, int sourceX, int sourceY, int w, int h, int destX, int destY) {
  // Through a copy, so that a surface can be copied onto itself.
  Surface from = Surface::create(source.width(), source.height());
  if (!from.valid()) return;
  std::copy(source.surface_->pixels.begin(), source.surface_->pixels.end(), from.surface_->pixels.begin());
  detail::GpGraphicsPtr g = unitGraphicsOn(*this);
  if (!g) return;
  gp::GdipSetCompositingMode(g.get(), Gdiplus::CompositingModeSourceCopy);
  gp::GdipSetInterpolationMode(g.get(), Gdiplus::InterpolationModeBilinear);
  // Outside the source there is nothing to copy; leave those destination pixels alone.
  const float left = static_cast<float>(std::max(destX, destX - sourceX));
  const float top = static_cast<float>(std::max(destY, destY - sourceY));
  const float right = static_cast<float>(std::min(destX + w, destX - sourceX + source.unitWidth()));
  const float bottom = static_cast<float>(std::min(destY + h, destY - sourceY + source.unitHeight()));
  if (right <= left || bottom <= top) return;
  const double s = source.scale();
  const RectF sourcePixels{static_cast<float>((left - destX + sourceX) * s), static_cast<float>((top - destY + sourceY) * s),
                           static_cast<float>((right - left) * s), static_cast<float>((bottom - top) * s)};
  drawBitmap(g.get(), from.surface_->bitmap, RectF{left, top, right - left, bottom - top}, sourcePixels, 1.0f);
}

void Surface::blendFrom(const Surface& source, RectI src, RectI dst, int constantAlpha) {
  if (!valid() || !source.valid() || src.width <= 0 || src.height <= 0 || dst.width <= 0 || dst.height <= 0) {
    return;
  }
  detail::GpGraphicsPtr g = unitGraphicsOn(*this);
  if (!g) return;
  const double s = source.scale();
  drawBitmap(g.get(), source.surface_->bitmap,
             RectF{float(dst.x), float(dst.y), float(dst.width), float(dst.height)},
             RectF{float(src.x * s), float(src.y * s), float(src.width * s), float(src.height * s)},
             std::clamp(constantAlpha, 0, 255) / 255.0f);
}

}  // namespace platform::gfx
