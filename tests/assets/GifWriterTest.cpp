// The generator's GIF encoder, read back by the picture decoder.

#include <gtest/gtest.h>

#include <random>

#include "assets/generator/GifWriter.h"
#include "platform/gfx/Image.h"

namespace {

std::vector<std::uint32_t> fullPalette() {
  std::vector<std::uint32_t> palette;
  for (std::uint32_t i = 0; i < 256; ++i) palette.push_back((i * 0x9E3779B1u) & 0xFFFFFF);
  return palette;
}

TEST(GifWriter, FramesDecodeToTheirIndexesAndDelays) {
  // Noise fills the code table past its 4095 limit, so the width changes and the resets
  // are all exercised; the long flat frame grows long strings instead.
  const int width = 160, height = 120;
  std::mt19937 random(7);
  artwork::GifFrame noise, flat, stripes;
  for (int i = 0; i < width * height; ++i) {
    noise.indices.push_back(static_cast<std::uint8_t>(random() & 0xFF));
    flat.indices.push_back(3);
    stripes.indices.push_back(static_cast<std::uint8_t>((i / 7) % 5));
  }
  noise.delayCentiseconds = 0;
  flat.delayCentiseconds = 25;
  stripes.delayCentiseconds = 7;
  const auto palette = fullPalette();
  const std::vector<artwork::GifFrame> frames = {noise, flat, stripes};
  const std::vector<std::uint8_t> gif = artwork::encodeGif(width, height, palette, frames);
  auto image = platform::gfx::Image::fromBytes(gif);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->frameCount(), 3);
  ASSERT_TRUE(image->frameDelays().has_value());
  EXPECT_EQ(*image->frameDelays(), (std::vector<int>{0, 25, 7}));
  for (int f = 0; f < 3; ++f) {
    ASSERT_TRUE(image->selectFrame(f));
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t expected = 0xFF000000u | palette[frames[f].indices[y * width + x]];
        if (image->pixel(x, y) != expected) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << "frame " << f;
  }
}

TEST(GifWriter, InconsistentInputGivesNothing) {
  artwork::GifFrame frame;
  frame.indices.assign(10, 0);
  EXPECT_TRUE(artwork::encodeGif(4, 4, {0xFFFFFF}, {frame}).empty());
  EXPECT_TRUE(artwork::encodeGif(0, 4, {0xFFFFFF}, {}).empty());
  EXPECT_TRUE(artwork::encodeGif(2, 5, std::vector<std::uint32_t>(257, 0), {frame}).empty());
}

}  // namespace
