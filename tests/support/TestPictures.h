#pragma once
// Encoded pictures made on the fly for the image tests.

#include <cstdint>
#include <string>
#include <vector>

namespace platform::gfx {
class Surface;
}

namespace testpictures {

using Bytes = std::vector<std::uint8_t>;

// A solid picture in a format the system can write: "png", "jpeg", "bmp" or "ico" (not on Windows).
Bytes encodeSolid(const std::string& type, int width, int height, std::uint32_t argb);

// The same format with random grain, so every row costs bytes of its own (a cut file loses
// rows, not just its end). Opaque; the same seed gives the same picture.
Bytes encodeGrain(const std::string& type, int width, int height, unsigned seed = 1);

// An animated GIF of 2 x 2 frames, each filled with one RGB colour, with the given
// delays (hundredths of a second) in the graphic control blocks; without loop it plays once.
Bytes encodeGif(const std::vector<std::uint32_t>& frameRgb, const std::vector<int>& delays, bool loop = true);

// Whether drawing is cairo's, from whose pixels the exact checks were written. GDI+ under
// Wine neither smooths fills nor offsets one-pixel strokes as Windows does.
bool exactPixels();

// A surface's pixels as a PNG with alpha; saveSurface writes it to a file (false on failure),
// for a person to look at.
Bytes encodeSurface(const platform::gfx::Surface& surface);
bool saveSurface(const platform::gfx::Surface& surface, const std::string& path);

}  // namespace testpictures
