#pragma once
// A decoded picture or an in-memory bitmap: one or more frames of the same size (the
// frames of an animated GIF), the active frame, the pixel format and, for animations,
// the frame delays in hundredths of a second.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/IconRecord.h"
#include "platform/gfx/PixelFormat.h"
#include "platform/gfx/Surface.h"

namespace platform::gfx {

class Image {
 public:
  // PNG, JPEG, BMP, GIF (every frame) or ICO; nullptr for anything else, for a truncated
  // or corrupt picture and for one too large to hold.
  static std::unique_ptr<Image> fromBytes(std::span<const std::uint8_t> bytes);
  // path is a native file path.
  static std::unique_ptr<Image> fromFile(const std::string& path);
  // A new bitmap. Without pixels it is transparent; with pixels, strideBytes bytes per
  // row in the given format are copied in (32-bit formats, 24-bit RGB). nullptr for a bad
  // size, an unknown format or a stride too small for the width.
  static std::unique_ptr<Image> createBitmap(int width, int height, int pixelFormat = kPixelFormat32bppARGB,
                                             int strideBytes = 0, const void* pixels = nullptr);
  // The icon's colours with its mask applied: masked pixels transparent, the rest opaque.
  static std::unique_ptr<Image> fromIcon(const IconRecord& icon);
  // A device bitmap read as 32-bit RGB: the stored bytes with alpha taken as opaque.
  static std::unique_ptr<Image> fromBitmap(const Surface& bitmap);
  static std::unique_ptr<Image> fromSurface(Surface surface, int pixelFormat = kPixelFormat32bppARGB);

  std::unique_ptr<Image> clone() const;
  // Copy of an area of the active frame; nullptr when the area is not inside the image.
  std::unique_ptr<Image> cloneArea(int x, int y, int width, int height) const;

  // In units: a picture of a 2x set is as large as its 1x sibling.
  int width() const;
  int height() const;
  // Pixels a unit: 1 unless setScale said the picture was drawn for another scale.
  double scale() const { return frames_.empty() ? 1 : frames_.front().scale(); }
  void setScale(double scale);
  int pixelFormat() const { return pixelFormat_; }
  // Straight ARGB of the active frame at a unit position, 0 outside.
  Argb pixel(int x, int y) const;
  bool setPixel(int x, int y, Argb colour);

  int frameCount() const { return static_cast<int>(frames_.size()); }
  // Present only for pictures that carry delays (GIF).
  const std::optional<std::vector<int>>& frameDelays() const { return delays_; }
  bool selectFrame(int index);
  int activeFrame() const { return active_; }
  void rotateFlip(int type);

  // The active frame, for drawing with or onto.
  Surface& surface() { return frames_[active_]; }
  const Surface& surface() const { return frames_[active_]; }

 private:
  Image() = default;
  friend class ImageDecoder;

  std::vector<Surface> frames_;
  std::optional<std::vector<int>> delays_;
  int active_ = 0;
  int pixelFormat_ = kPixelFormat32bppARGB;
};

}  // namespace platform::gfx
