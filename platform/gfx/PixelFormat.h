#pragma once
// Pixel-format and rotate/flip codes with the values the image calls use.

namespace platform::gfx {

enum PixelFormat : int {
  kPixelFormat8bppIndexed = 0x30803,
  kPixelFormat24bppRGB = 0x21808,
  kPixelFormat32bppRGB = 0x22009,
  kPixelFormat32bppARGB = 0x26200A,
  kPixelFormat32bppPARGB = 0xE200B,
};

// Clockwise rotation in quarter turns (low two bits), then a horizontal flip (bit 2).
enum RotateFlipType : int {
  kRotateNoneFlipNone = 0,
  kRotate90FlipNone = 1,
  kRotate180FlipNone = 2,
  kRotate270FlipNone = 3,
  kRotateNoneFlipX = 4,
  kRotate90FlipX = 5,
  kRotate180FlipX = 6,
  kRotate270FlipX = 7,
};

}  // namespace platform::gfx
