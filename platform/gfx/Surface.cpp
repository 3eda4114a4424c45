#include "platform/gfx/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::gfx {

namespace {
// cairo's own limit per side; the total keeps a hostile image header from asking for
// gigabytes.
constexpr int kMaxSide = 32767;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
}  // namespace

std::uint32_t premultiply(Argb c) {
  const unsigned a = alphaOf(c);
  auto mul = [a](unsigned v) { return (v * a + 127) / 255; };
  return (std::uint32_t{a} << 24) | (mul(redOf(c)) << 16) | (mul(greenOf(c)) << 8) | mul(blueOf(c));
}

Argb unpremultiply(std::uint32_t raw) {
  const unsigned a = raw >> 24;
  if (a == 0) return 0;
  if (a == 255) return raw;
  auto div = [a](unsigned v) { return std::min(255u, (v * 255 + a / 2) / a); };
  return makeArgb(a, div((raw >> 16) & 0xFF), div((raw >> 8) & 0xFF), div(raw & 0xFF));
}

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
  return Surface(s);
}

Surface::Surface(cairo_surface_t* s)
    : surface_(s), unitWidth_(cairo_image_surface_get_width(s)), unitHeight_(cairo_image_surface_get_height(s)) {}

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
  cairo_surface_set_device_scale(s.cairoSurface(), scale, scale);
  return s;
}

void Surface::setScale(double scale) {
  if (!valid() || !(scale > 0) || !std::isfinite(scale)) return;
  scale_ = scale;
  unitWidth_ = std::max(1, static_cast<int>(std::lround(width() / scale)));
  unitHeight_ = std::max(1, static_cast<int>(std::lround(height() / scale)));
  cairo_surface_set_device_scale(surface_.get(), scale, scale);
}

Surface Surface::clone() const {
  if (!valid()) return Surface();
  Surface copy = createScaled(unitWidth_, unitHeight_, scale_);
  if (copy.valid()) copy.copyFrom(*this, 0, 0, unitWidth_, unitHeight_, 0, 0);
  return copy;
}

int Surface::width() const { return valid() ? cairo_image_surface_get_width(surface_.get()) : 0; }
int Surface::height() const { return valid() ? cairo_image_surface_get_height(surface_.get()) : 0; }
int Surface::strideBytes() const {
  return valid() ? cairo_image_surface_get_stride(surface_.get()) : 0;
}

const std::uint32_t* Surface::pixels() const {
  if (!valid()) return nullptr;
  cairo_surface_flush(surface_.get());
  return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface_.get()));
}

std::uint32_t* Surface::mutablePixels() { return const_cast<std::uint32_t*>(pixels()); }

void Surface::markDirty() {
  if (valid()) cairo_surface_mark_dirty(surface_.get());
}

std::uint32_t Surface::rawPixel(int x, int y) const {
  if (!valid() || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  const auto* row = reinterpret_cast<const std::uint8_t*>(pixels()) +
                    static_cast<std::size_t>(y) * strideBytes();
  std::uint32_t v;
  std::memcpy(&v, row + static_cast<std::size_t>(x) * 4, 4);
  return v;
}

Argb Surface::pixel(int x, int y) const { return unpremultiply(rawPixel(x, y)); }

void Surface::setPixel(int x, int y, Argb colour) {
  if (!valid() || x < 0 || y < 0 || x >= width() || y >= height()) return;
  auto* row = reinterpret_cast<std::uint8_t*>(mutablePixels()) +
              static_cast<std::size_t>(y) * strideBytes();
  const std::uint32_t v = premultiply(colour);
  std::memcpy(row + static_cast<std::size_t>(x) * 4, &v, 4);
  markDirty();
}

void Surface::clear(Argb colour) {
  if (!valid()) return;
  detail::ContextPtr cr(cairo_create(surface_.get()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr.get(), redOf(colour) / 255.0, greenOf(colour) / 255.0,
                        blueOf(colour) / 255.0, alphaOf(colour) / 255.0);
  cairo_paint(cr.get());
}

void Surface::copyFrom(const Surface& source, int sourceX, int sourceY, int w, int h, int destX,
                       int destY) {
  if (!valid() || !source.valid() || w <= 0 || h <= 0) return;
  if (source.scale_ != scale_ || &source == this) {
    copyScaled(source, sourceX, sourceY, w, h, destX, destY);
    return;
  }
  // Whole pixels, so that a copy of a part lands exactly where a copy of the whole does.
  const RectI d = pixelRectOf({destX, destY, w, h}, scale_);
  const int shiftX = pixelsFloor(sourceX, scale_) - d.x, shiftY = pixelsFloor(sourceY, scale_) - d.y;
  // Outside either surface there is nothing to copy; those destination pixels stay.
  const int left = std::max({d.x, 0, -shiftX}), top = std::max({d.y, 0, -shiftY});
  const int right = std::min({d.x + d.width, width(), source.width() - shiftX});
  const int bottom = std::min({d.y + d.height, height(), source.height() - shiftY});
  if (right <= left || bottom <= top) return;
  const auto* from = reinterpret_cast<const std::uint8_t*>(source.pixels());
  auto* to = reinterpret_cast<std::uint8_t*>(mutablePixels());
  const std::size_t fromStride = static_cast<std::size_t>(source.strideBytes());
  const std::size_t toStride = static_cast<std::size_t>(strideBytes());
  for (int y = top; y < bottom; ++y) {
    std::memmove(to + static_cast<std::size_t>(y) * toStride + static_cast<std::size_t>(left) * 4,
                 from + static_cast<std::size_t>(y + shiftY) * fromStride + static_cast<std::size_t>(left + shiftX) * 4,
                 static_cast<std::size_t>(right - left) * 4);
  }
  cairo_surface_mark_dirty_rectangle(surface_.get(), left, top, right - left, bottom - top);
}

void Surface::copyScaled(const Surface& source, int sourceX, int sourceY, int w, int h, int destX,
                         int destY) {
  detail::ContextPtr cr(cairo_create(surface_.get()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr.get(), destX, destY, w, h);
  cairo_clip(cr.get());
  cairo_set_source_surface(cr.get(), source.cairoSurface(), destX - sourceX, destY - sourceY);
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
  detail::SurfacePtr part(cairo_surface_create_for_rectangle(source.cairoSurface(), src.x, src.y,
                                                             src.width, src.height));
  detail::ContextPtr cr(cairo_create(surface_.get()));
  cairo_rectangle(cr.get(), dst.x, dst.y, dst.width, dst.height);
  cairo_clip(cr.get());
  cairo_translate(cr.get(), dst.x, dst.y);
  cairo_scale(cr.get(), static_cast<double>(dst.width) / src.width,
              static_cast<double>(dst.height) / src.height);
  cairo_set_source_surface(cr.get(), part.get(), 0, 0);
  cairo_paint_with_alpha(cr.get(), std::clamp(constantAlpha, 0, 255) / 255.0);
}

}  // namespace platform::gfx
