#pragma once
// Turns encoded picture bytes into an Image through the system's decoders, restricted to
// the formats the program reads, with the picture checked for damage and its size checked
// before anything is decoded.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gfx/Image.h"

namespace platform::gfx {

enum class PictureFormat { Unknown, Png, Jpeg, Bmp, Gif, Ico };

class ImageDecoder {
 public:
  static PictureFormat sniff(std::span<const std::uint8_t> bytes);
  static std::unique_ptr<Image> decode(std::span<const std::uint8_t> bytes);

  // Upper bound on width x height x frames; a picture beyond it is refused.
  static constexpr long long kMaxDecodedPixels = 64LL * 1024 * 1024;
  static bool fitsLimit(long long width, long long height, long long frames);

 private:
  // The back end's half, for bytes that passed the checks; delays holds a GIF's frame
  // delays, one for each frame it has.
  static std::unique_ptr<Image> decodeChecked(PictureFormat format, std::span<const std::uint8_t> bytes,
                                              std::vector<int> delays);
};

}  // namespace platform::gfx
