#pragma once
// Turns encoded picture bytes into an Image through gdk-pixbuf, restricted to the
// formats the program reads, with the picture size checked before anything is decoded.

#include <cstdint>
#include <memory>
#include <span>

#include "platform/gfx/Image.h"

namespace platform::gfx {

enum class PictureFormat { Unknown, Png, Jpeg, Bmp, Gif, Ico };

class ImageDecoder {
 public:
  static PictureFormat sniff(std::span<const std::uint8_t> bytes);
  static std::unique_ptr<Image> decode(std::span<const std::uint8_t> bytes);

  // Upper bound on width x height x frames; a picture beyond it is refused.
  static constexpr long long kMaxDecodedPixels = 64LL * 1024 * 1024;
};

}  // namespace platform::gfx
