#include "platform/gfx/Image.h"

#include <cstring>
#include <utility>

#include "platform/gfx/ImageDecoder.h"
#include "platform/system/Files.h"

namespace platform::gfx {

namespace {

int bytesPerPixel(int format) {
  switch (format) {
    case kPixelFormat24bppRGB: return 3;
    case kPixelFormat32bppRGB:
    case kPixelFormat32bppARGB:
    case kPixelFormat32bppPARGB: return 4;
    default: return 0;
  }
}

std::uint32_t rawFrom(int format, const std::uint8_t* p) {
  switch (format) {
    case kPixelFormat24bppRGB: return makeArgb(255, p[2], p[1], p[0]);
    case kPixelFormat32bppRGB: return makeArgb(255, p[2], p[1], p[0]);
    case kPixelFormat32bppPARGB: {
      const std::uint32_t a = p[3];
      // Premultiplied input can carry colour above its alpha; clamp so that it stays valid.
      auto c = [a](std::uint8_t v) { return std::min<std::uint32_t>(v, a); };
      return (a << 24) | (c(p[2]) << 16) | (c(p[1]) << 8) | c(p[0]);
    }
    default: return premultiply(makeArgb(p[3], p[2], p[1], p[0]));
  }
}

std::uint32_t* rowOf(Surface& s, int y) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(s.mutablePixels()) +
                                          static_cast<std::size_t>(y) * s.strideBytes());
}

}  // namespace

std::unique_ptr<Image> Image::fromBytes(std::span<const std::uint8_t> bytes) {
  return ImageDecoder::decode(bytes);
}

std::unique_ptr<Image> Image::fromFile(const std::string& path) {
  const auto bytes = platform::system::readWholeFile(path);
  if (!bytes) return nullptr;
  return fromBytes(*bytes);
}

std::unique_ptr<Image> Image::fromSurface(Surface surface, int pixelFormat) {
  if (!surface.valid()) return nullptr;
  std::unique_ptr<Image> image(new Image());
  image->frames_.push_back(std::move(surface));
  image->pixelFormat_ = pixelFormat;
  return image;
}

std::unique_ptr<Image> Image::createBitmap(int width, int height, int format, int stride,
                                           const void* pixels) {
  const int bpp = bytesPerPixel(format);
  if (bpp == 0) return nullptr;
  Surface s = Surface::create(width, height);
  if (!s.valid()) return nullptr;
  if (pixels) {
    const long long rowBytes = static_cast<long long>(width) * bpp;
    if (stride == 0) stride = static_cast<int>(rowBytes);
    if ((stride < 0 ? -static_cast<long long>(stride) : stride) < rowBytes) return nullptr;
    const auto* base = static_cast<const std::uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* src = base + static_cast<std::ptrdiff_t>(y) * stride;
      std::uint32_t* dst = rowOf(s, y);
      for (int x = 0; x < width; ++x) dst[x] = rawFrom(format, src + static_cast<std::size_t>(x) * bpp);
    }
    s.markDirty();
  } else if (format == kPixelFormat24bppRGB || format == kPixelFormat32bppRGB) {
    s.clear(0xFF000000);  // formats without alpha start out opaque black
  }
  return fromSurface(std::move(s), format);
}

std::unique_ptr<Image> Image::fromIcon(const IconRecord& icon) {
  if (!icon.wellFormed()) return nullptr;
  Surface s = Surface::create(icon.width, icon.height);
  if (!s.valid()) return nullptr;
  for (int y = 0; y < icon.height; ++y) {
    std::uint32_t* dst = rowOf(s, y);
    for (int x = 0; x < icon.width; ++x) {
      const std::uint32_t c = icon.colour[static_cast<std::size_t>(y) * icon.width + x];
      dst[x] = icon.maskBit(x, y) ? 0 : (0xFF000000u | (c & 0xFFFFFF));
    }
  }
  s.markDirty();
  return fromSurface(std::move(s), kPixelFormat32bppARGB);
}

std::unique_ptr<Image> Image::fromBitmap(const Surface& bitmap) {
  if (!bitmap.valid()) return nullptr;
  Surface s = bitmap.clone();
  if (!s.valid()) return nullptr;
  for (int y = 0; y < s.height(); ++y) {
    std::uint32_t* row = rowOf(s, y);
    for (int x = 0; x < s.width(); ++x) row[x] |= 0xFF000000u;
  }
  s.markDirty();
  return fromSurface(std::move(s), kPixelFormat32bppRGB);
}

std::unique_ptr<Image> Image::clone() const {
  std::unique_ptr<Image> copy(new Image());
  for (const Surface& f : frames_) {
    Surface s = f.clone();
    if (!s.valid()) return nullptr;
    copy->frames_.push_back(std::move(s));
  }
  copy->delays_ = delays_;
  copy->active_ = active_;
  copy->pixelFormat_ = pixelFormat_;
  return copy;
}

std::unique_ptr<Image> Image::cloneArea(int x, int y, int w, int h) const {
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x > width() - w || y > height() - h) return nullptr;
  Surface s = Surface::createScaled(w, h, scale());
  if (!s.valid()) return nullptr;
  s.copyFrom(surface(), x, y, w, h, 0, 0);
  return fromSurface(std::move(s), pixelFormat_);
}

int Image::width() const { return frames_.empty() ? 0 : surface().unitWidth(); }
int Image::height() const { return frames_.empty() ? 0 : surface().unitHeight(); }

void Image::setScale(double scale) {
  for (Surface& frame : frames_) frame.setScale(scale);
}

Argb Image::pixel(int x, int y) const {
  if (frames_.empty()) return 0;
  const double s = scale();
  return surface().pixel(pixelsFloor(x, s), pixelsFloor(y, s));
}

bool Image::setPixel(int x, int y, Argb colour) {
  if (frames_.empty() || x < 0 || y < 0 || x >= width() || y >= height()) return false;
  surface().setPixel(pixelsFloor(x, scale()), pixelsFloor(y, scale()), colour);
  return true;
}

bool Image::selectFrame(int index) {
  if (index < 0 || index >= frameCount()) return false;
  active_ = index;
  return true;
}

void Image::rotateFlip(int type) {
  if (type < 0 || type > 7) return;
  const int turns = type & 3;
  const bool flipX = (type & 4) != 0;
  if (turns == 0 && !flipX) return;
  for (Surface& frame : frames_) {
    const int w = frame.width();
    const int h = frame.height();
    const int nw = (turns % 2) ? h : w;
    const int nh = (turns % 2) ? w : h;
    Surface out = Surface::create(nw, nh);
    if (!out.valid()) return;
    for (int ny = 0; ny < nh; ++ny) {
      std::uint32_t* dst = rowOf(out, ny);
      for (int nx = 0; nx < nw; ++nx) {
        const int rx = flipX ? nw - 1 - nx : nx;  // position in the rotated picture
        int sx = rx, sy = ny;
        if (turns == 1) { sx = ny; sy = h - 1 - rx; }
        else if (turns == 2) { sx = w - 1 - rx; sy = h - 1 - ny; }
        else if (turns == 3) { sx = w - 1 - ny; sy = rx; }
        dst[nx] = frame.rawPixel(sx, sy);
      }
    }
    out.markDirty();
    if (frame.scale() != 1) out.setScale(frame.scale());
    frame = std::move(out);
  }
}

}  // namespace platform::gfx
