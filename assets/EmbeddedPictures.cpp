#include "assets/EmbeddedArtwork.h"

namespace assets {

std::span<const std::uint8_t> embeddedPicture(std::string_view name) {
  if (name == "captionSprite") return captionSpritePng();
  if (name == "messageIconStrip") return messageIconStripPng();
  if (name == "sliderThumb") return sliderThumbPng();
  if (name == "sliderThumbHot") return sliderThumbHotPng();
  if (name == "windowIcon") return windowIconPng();
  return {};
}

}  // namespace assets
