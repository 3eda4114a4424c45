#include <shlwapi.h>

#include <cwchar>

#include "platform/gfx/gdiplus/GdiplusHandles.h"
#include "tests/support/TestPictureWriter.h"

namespace testpictures {

namespace gp = Gdiplus::DllExports;

namespace {

bool encoderFor(const std::wstring& mime, CLSID& clsid) {
  UINT count = 0, size = 0;
  if (gp::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<std::uint8_t> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (gp::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (mime == codecs[i].MimeType) {
      clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

Bytes streamBytes(IStream* stream) {
  STATSTG stat{};
  if (stream->Stat(&stat, STATFLAG_NONAME) != S_OK) return {};
  Bytes bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start{};
  ULONG read = 0;
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  if (stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read) != S_OK) return {};
  bytes.resize(read);
  return bytes;
}

}  // namespace

bool exactPixels() { return false; }

Bytes writePicture(const std::string& type, int width, int height, const std::vector<std::uint32_t>& argb,
                   bool alpha) {
  // GDI+ writes no icons.
  const std::wstring mime = type == "png" ? L"image/png" : type == "jpeg" ? L"image/jpeg" : type == "bmp" ? L"image/bmp" : L"";
  CLSID clsid{};
  if (mime.empty() || !platform::gfx::gdiplusReady() || !encoderFor(mime, clsid)) return {};
  std::vector<std::uint32_t> rows = argb;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, alpha ? PixelFormat32bppARGB : PixelFormat32bppRGB,
                                    reinterpret_cast<BYTE*>(rows.data()), &bitmap) != Gdiplus::Ok) {
    return {};
  }
  IStream* stream = SHCreateMemStream(nullptr, 0);
  Bytes bytes;
  if (stream != nullptr && gp::GdipSaveImageToStream(bitmap, stream, &clsid, nullptr) == Gdiplus::Ok) {
    bytes = streamBytes(stream);
  }
  if (stream != nullptr) stream->Release();
  gp::GdipDisposeImage(bitmap);
  return bytes;
}

}  // namespace testpictures
