#include "ui/framework/Colours.h"

namespace ui {

Argb argbFrom(ColourRef colour, std::optional<int> alpha) {
  std::uint32_t a = static_cast<std::uint32_t>(alpha.value_or(254)) & 0xFF;
  if (a == 255) a = 254;
  const std::uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
  return (a << 24) | (red << 16) | (green << 8) | blue;
}

Argb withAlpha(Argb colour, int alpha) {
  const auto a = static_cast<Argb>(alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha));
  return (colour & 0x00FFFFFFu) | (a << 24);
}

std::uint32_t swapRedBlue(std::uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

bool isDarkColour(Argb colour) {
  const int light = (((colour >> 16) & 0xFF) > 125) + (((colour >> 8) & 0xFF) > 125) + ((colour & 0xFF) > 125);
  return light < 2;
}

}  // namespace ui
