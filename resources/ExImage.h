#pragma once
// The framework's image object: one picture, loaded from bytes, a file, a bitmap or an
// icon, answering size, pixel and animation-frame questions. Windows and controls draw
// with the image that GetHandle returns.

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/IconRecord.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/PixelFormat.h"
#include "platform/gfx/Surface.h"
#include "platform/system/ByteBlock.h"

namespace resources {

class ExImage {
 public:
  using Image = platform::gfx::Image;

  ExImage() = default;
  ~ExImage() = default;
  // Copies duplicate the picture, so that each object frees only its own.
  ExImage(const ExImage& other);
  ExImage& operator=(const ExImage& other);
  ExImage(ExImage&&) noexcept = default;
  ExImage& operator=(ExImage&&) noexcept = default;

  void Release();

  // Each loading operation releases the previous picture first; the result is the new
  // image, nullptr on failure (the object is then empty).
  Image* LoadFromBytes(const platform::system::ByteBlock& bytes);
  // path is a native path, or a program text (ANSI code page) naming the file.
  Image* LoadFromFile(const std::string& path);
  bool CreateBitmap(int width, int height, int stride = 0, const void* pixels = nullptr,
                    int pixelFormat = platform::gfx::kPixelFormat32bppARGB);
  Image* LoadFromIcon(const platform::gfx::IconRecord& icon);
  Image* LoadFromBitmapHandle(const platform::gfx::Surface& bitmap);

  Image* GetHandle() const { return image_.get(); }
  // Takes ownership of image; the picture held before is freed.
  void SetHandle(std::unique_ptr<Image> image);

  int GetWidth() const;
  int GetHeight() const;
  platform::gfx::Argb GetPixel(int x, int y) const;
  int GetFrameCount() const;
  // Fills delays (hundredths of a second per frame) and answers true for a picture that
  // carries frame delays; otherwise leaves delays alone.
  bool GetFrameDelays(std::vector<int>& delays) const;
  bool SelectFrame(int index);
  void RotateFlip(int type);

  // The icon conversion shared with image lists: a 32-bit icon whose colours hold some
  // partial alpha keeps that alpha; any other icon is cut out by its mask.
  static std::unique_ptr<Image> ConvertIcon(const platform::gfx::IconRecord& icon);

 private:
  Image* take(std::unique_ptr<Image> image);
  std::unique_ptr<Image> image_;
};

}  // namespace resources
