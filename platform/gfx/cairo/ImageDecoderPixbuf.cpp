#include "platform/gfx/ImageDecoder.h"

#include <utility>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/gfx/cairo/CairoHandles.h"

namespace platform::gfx {

namespace {

const char* loaderType(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png: return "png";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Ico: return "ico";
    default: return nullptr;
  }
}

Surface surfaceFromPixbuf(GdkPixbuf* pixbuf) {
  if (!pixbuf || gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8) {
    return Surface();
  }
  const int w = gdk_pixbuf_get_width(pixbuf);
  const int h = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  if (channels != (alpha ? 4 : 3)) return Surface();
  Surface surface = Surface::create(w, h);
  if (!surface.valid()) return surface;
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guint8* src = gdk_pixbuf_read_pixels(pixbuf);
  auto* dst = reinterpret_cast<std::uint8_t*>(surface.mutablePixels());
  for (int y = 0; y < h; ++y) {
    const guint8* s = src + static_cast<std::size_t>(y) * stride;
    auto* d = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::size_t>(y) * surface.strideBytes());
    for (int x = 0; x < w; ++x, s += channels) {
      // Opaque pixels, most of any picture, need no arithmetic.
      const std::uint32_t opaque = 0xFF000000u | (std::uint32_t{s[0]} << 16) | (std::uint32_t{s[1]} << 8) | s[2];
      d[x] = (!alpha || s[3] == 255) ? opaque : premultiply(makeArgb(s[3], s[0], s[1], s[2]));
    }
  }
  surface.markDirty();
  return surface;
}

struct LoaderResult {
  detail::GObjectPtr<GdkPixbufLoader> loader;
  bool ok = false;
};

// The header checks above cannot follow every decoder's own reading (the JPEG reader skips
// stray bytes before a marker, icons hold bitmaps of their own), so the size each decoder
// arrives at is checked again before it allocates. A size of zero tells it to stop.
void refuseOversized(GdkPixbufLoader* loader, gint width, gint height, gpointer refused) {
  if (ImageDecoder::fitsLimit(width, height, 1)) return;
  *static_cast<bool*>(refused) = true;
  gdk_pixbuf_loader_set_size(loader, 0, 0);
}

LoaderResult runLoader(const char* type, std::span<const std::uint8_t> bytes) {
  LoaderResult result;
  GError* error = nullptr;
  result.loader.reset(gdk_pixbuf_loader_new_with_type(type, &error));
  if (error) g_clear_error(&error);
  if (!result.loader) return result;
  bool refused = false;
  const gulong watch = g_signal_connect(result.loader.get(), "size-prepared",
                                        G_CALLBACK(refuseOversized), &refused);
  const bool written = gdk_pixbuf_loader_write(result.loader.get(), bytes.data(), bytes.size(), &error);
  g_clear_error(&error);
  // Closing is needed even after a failed write, or the loader complains when freed.
  const bool closed = gdk_pixbuf_loader_close(result.loader.get(), &error);
  g_clear_error(&error);
  g_signal_handler_disconnect(result.loader.get(), watch);
  result.ok = written && closed && !refused;
  return result;
}

}  // namespace

std::unique_ptr<Image> ImageDecoder::decodeChecked(PictureFormat format, std::span<const std::uint8_t> bytes,
                                                   std::vector<int> delays) {
  LoaderResult loaded = runLoader(loaderType(format), bytes);
  if (!loaded.ok) return nullptr;

  std::unique_ptr<Image> image(new Image());
  if (format != PictureFormat::Gif) {
    Surface s = surfaceFromPixbuf(gdk_pixbuf_loader_get_pixbuf(loaded.loader.get()));
    if (!s.valid()) return nullptr;
    const bool alpha = gdk_pixbuf_get_has_alpha(gdk_pixbuf_loader_get_pixbuf(loaded.loader.get()));
    image->pixelFormat_ = (alpha || format == PictureFormat::Ico) ? kPixelFormat32bppARGB
                                                                 : kPixelFormat24bppRGB;
    image->frames_.push_back(std::move(s));
    return image;
  }

  GdkPixbufAnimation* animation = gdk_pixbuf_loader_get_animation(loaded.loader.get());
  if (!animation) return nullptr;
  image->pixelFormat_ = kPixelFormat8bppIndexed;
  // The iterator API is the only way to reach the frames; it works on elapsed time.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GTimeVal clock{0, 0};
  detail::GObjectPtr<GdkPixbufAnimationIter> iter(gdk_pixbuf_animation_get_iter(animation, &clock));
  const std::size_t wanted = delays.size();
  for (std::size_t i = 0; i < wanted; ++i) {
    Surface s = surfaceFromPixbuf(gdk_pixbuf_animation_iter_get_pixbuf(iter.get()));
    if (!s.valid()) break;
    image->frames_.push_back(std::move(s));
    const int delayMs = gdk_pixbuf_animation_iter_get_delay_time(iter.get());
    if (delayMs < 0 || i + 1 == wanted) break;
    g_time_val_add(&clock, static_cast<glong>(delayMs) * 1000);
    gdk_pixbuf_animation_iter_advance(iter.get(), &clock);
  }
  G_GNUC_END_IGNORE_DEPRECATIONS
  if (image->frames_.empty()) return nullptr;
  delays.resize(image->frames_.size());
  image->delays_ = std::move(delays);
  return image;
}

}  // namespace platform::gfx
