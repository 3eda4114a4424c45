#pragma once
// PNG bytes of the built-in pictures, drawn at build time and stored in the program.

#include <cstdint>
#include <span>

namespace assets {

// 729 x 20 caption-button glyphs.
std::span<const std::uint8_t> captionSpritePng();
// 200 x 40 message-box icons: error, warning, question, information, success.
std::span<const std::uint8_t> messageIconStripPng();
// 14 x 14 slider thumbs, normal and highlighted.
std::span<const std::uint8_t> sliderThumbPng();
std::span<const std::uint8_t> sliderThumbHotPng();

}  // namespace assets
