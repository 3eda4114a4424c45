#pragma once
// PNG bytes of the built-in pictures, drawn at build time and stored in the program.

#include <cstdint>
#include <span>
#include <string_view>

namespace assets {

// 729 x 20 caption-button glyphs.
std::span<const std::uint8_t> captionSpritePng();
// 200 x 40 message-box icons: error, warning, question, information, success.
std::span<const std::uint8_t> messageIconStripPng();
// 14 x 14 slider thumbs, normal and highlighted.
std::span<const std::uint8_t> sliderThumbPng();
std::span<const std::uint8_t> sliderThumbHotPng();
// 32 x 32 program icon, for the main window's icon.
std::span<const std::uint8_t> windowIconPng();
// The caption glyphs, message-box icons and slider thumbs drawn at twice the scale (twice
// the pixels of the sizes above), for windows above scale 1.
std::span<const std::uint8_t> captionSpritePng2x();
std::span<const std::uint8_t> messageIconStripPng2x();
std::span<const std::uint8_t> sliderThumbPng2x();
std::span<const std::uint8_t> sliderThumbHotPng2x();

// A built-in picture by its name ("captionSprite", "messageIconStrip", "sliderThumb",
// "sliderThumbHot", "windowIcon"); empty for an unknown name.
std::span<const std::uint8_t> embeddedPicture(std::string_view name);

}  // namespace assets
