#include "platform/gfx/ImageDecoder.h"

#include <cstring>
#include <utility>

#include <shlwapi.h>

#include "platform/gfx/gdiplus/GdiplusHandles.h"

namespace platform::gfx {

namespace {

// The frame as premultiplied rows, converted by GDI+ while reading.
Surface surfaceOf(Gdiplus::GpBitmap* bitmap) {
  UINT w = 0, h = 0;
  gp::GdipGetImageWidth(bitmap, &w);
  gp::GdipGetImageHeight(bitmap, &h);
  if (!ImageDecoder::fitsLimit(w, h, 1)) return Surface();
  Surface surface = Surface::create(static_cast<int>(w), static_cast<int>(h));
  if (!surface.valid()) return surface;
  Gdiplus::BitmapData data{};
  data.Width = w;
  data.Height = h;
  data.Stride = surface.strideBytes();
  data.PixelFormat = PixelFormat32bppPARGB;
  data.Scan0 = surface.mutablePixels();
  const Gdiplus::GpRect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
  if (gp::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                             PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
    return Surface();
  }
  gp::GdipBitmapUnlockBits(bitmap, &data);
  return surface;
}

}  // namespace

std::unique_ptr<Image> ImageDecoder::decodeChecked(PictureFormat format, std::span<const std::uint8_t> bytes,
                                                   std::vector<int> delays) {
  if (!gdiplusReady() || bytes.size() > 0x7FFFFFFF) return nullptr;
  IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (stream == nullptr) return nullptr;
  Gdiplus::GpBitmap* bitmap = nullptr;
  const Gdiplus::GpStatus status = gp::GdipCreateBitmapFromStream(stream, &bitmap);
  if (status != Gdiplus::Ok || bitmap == nullptr) {
    stream->Release();
    return nullptr;
  }
  detail::GpImagePtr owned(bitmap);
  std::unique_ptr<Image> image(new Image());
  if (format != PictureFormat::Gif) {
    Gdiplus::PixelFormat pixelFormat = 0;
    gp::GdipGetImagePixelFormat(bitmap, &pixelFormat);
    Surface s = surfaceOf(bitmap);
    owned.reset();
    stream->Release();
    if (!s.valid()) return nullptr;
    const bool alpha = (pixelFormat & PixelFormatAlpha) != 0;
    image->pixelFormat_ = (alpha || format == PictureFormat::Ico) ? kPixelFormat32bppARGB : kPixelFormat24bppRGB;
    image->frames_.push_back(std::move(s));
    return image;
  }
  // The delays come from our own reading of the file, as on every system.
  UINT frames = 0;
  GUID time = Gdiplus::FrameDimensionTime;
  if (gp::GdipImageGetFrameCount(bitmap, &time, &frames) != Gdiplus::Ok || frames == 0) frames = 1;
  image->pixelFormat_ = kPixelFormat8bppIndexed;
  for (UINT i = 0; i < frames && i < delays.size(); ++i) {
    if (gp::GdipImageSelectActiveFrame(bitmap, &time, i) != Gdiplus::Ok) break;
    Surface s = surfaceOf(bitmap);
    if (!s.valid()) break;
    image->frames_.push_back(std::move(s));
  }
  owned.reset();
  stream->Release();
  if (image->frames_.empty()) return nullptr;
  delays.resize(image->frames_.size());
  image->delays_ = std::move(delays);
  return image;
}

}  // namespace platform::gfx
