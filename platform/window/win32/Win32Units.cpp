#include <cmath>

#include "platform/gfx/Geometry.h"
#include "platform/text/CodePage.h"
#include "platform/window/win32/Win32Native.h"

namespace platform::window::win32 {

std::wstring wide(std::string_view utf8) {
  const std::u16string units = text::utf8ToWide(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string utf8(std::wstring_view wide) {
  return text::wideToUtf8(std::u16string(wide.begin(), wide.end()));
}

int toPixels(int units, double scale) { return gfx::pixelsFloor(units, scale); }

// By the pixel's centre: at fractional scales a pixel straddles two units, and its first
// pixel (floor(u * scale)) must map back to u.
int toUnits(int pixels, double scale) {
  return static_cast<int>(std::floor((pixels + 0.5) / scale + 1e-7));
}

::RECT toPixels(const RECT& units, double scale) {
  // Sized as the shown image is, so that its layered update never resizes the window.
  const int left = gfx::pixelsFloor(units.left, scale), top = gfx::pixelsFloor(units.top, scale);
  return {left, top, left + gfx::pixelsCeil(units.width(), scale), top + gfx::pixelsCeil(units.height(), scale)};
}

// Sizes go back to the most units that fit: a size of u units is ceil(u * scale) pixels,
// and rounding to the nearest would grow a window by a unit on every round trip.
RECT toUnits(const ::RECT& pixels, double scale) {
  const int left = toUnits(pixels.left, scale), top = toUnits(pixels.top, scale);
  auto size = [scale](LONG px) { return static_cast<int>(std::floor(px / scale + 1e-7)); };
  return {left, top, left + size(pixels.right - pixels.left), top + size(pixels.bottom - pixels.top)};
}

}  // namespace platform::window::win32
