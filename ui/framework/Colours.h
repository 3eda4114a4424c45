#pragma once
// Colour conversions between GDI colour references (0x00BBGGRR) and ARGB.

#include <cstdint>
#include <optional>

namespace ui {

using ColourRef = std::uint32_t;
using Argb = std::uint32_t;

// Alpha defaults to 254, and 255 is stored as 254: the most opaque value it yields.
Argb argbFrom(ColourRef colour, std::optional<int> alpha = std::nullopt);
// The colour with its alpha byte replaced; alpha is clamped to 0..255.
Argb withAlpha(Argb colour, int alpha);
// Exchanges the lowest and third bytes and clears the top one.
std::uint32_t swapRedBlue(std::uint32_t colour);
// False when at least two of red, green and blue exceed 125.
bool isDarkColour(Argb colour);

}  // namespace ui
