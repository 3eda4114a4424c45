#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/gfx/GifStructure.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/ImageDecoder.h"
#include "tests/support/TestPictures.h"

using namespace platform::gfx;
using testpictures::Bytes;

namespace {

std::string writeTemp(const Bytes& bytes, const std::string& name) {
  const std::string path = ::testing::TempDir() + "/tunora-gfx-" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

bool near(Argb a, Argb b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

}  // namespace

TEST(GfxImageLoading, EveryFormatLoadsFromBytesAndFromFile) {
  for (const char* type : {"png", "jpeg", "bmp", "ico"}) {
    SCOPED_TRACE(type);
    const Bytes bytes = testpictures::encodeSolid(type, 16, 8, 0xFF3366CC);
    ASSERT_FALSE(bytes.empty());
    auto image = Image::fromBytes(bytes);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 16);
    EXPECT_EQ(image->height(), 8);
    EXPECT_EQ(image->frameCount(), 1);
    EXPECT_TRUE(near(image->pixel(3, 3), 0xFF3366CC, 6)) << std::hex << image->pixel(3, 3);
    EXPECT_FALSE(image->frameDelays().has_value());

    auto fromFile = Image::fromFile(writeTemp(bytes, std::string("pic.") + type));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromFile->width(), 16);
  }
  EXPECT_EQ(Image::fromFile(::testing::TempDir() + "/no-such-picture.png"), nullptr);
}

TEST(GfxImageLoading, APictureCutShortIsRefusedThoughItsFirstRowsWouldDecode) {
  for (const char* type : {"png", "jpeg", "bmp"}) {
    SCOPED_TRACE(type);
    const Bytes whole = testpictures::encodeGrain(type, 40, 30);
    ASSERT_NE(Image::fromBytes(whole), nullptr);
    for (double kept : {0.3, 0.6, 0.99}) {
      EXPECT_EQ(Image::fromBytes(Bytes(whole.begin(), whole.begin() + static_cast<long>(whole.size() * kept))),
                nullptr)
          << kept;
    }
    EXPECT_EQ(Image::fromBytes(Bytes(whole.begin(), whole.end() - 1)), nullptr);
    // Bytes after the end, as some programs leave them, are no harm.
    Bytes trailing = whole;
    trailing.insert(trailing.end(), 64, 0x5A);
    EXPECT_NE(Image::fromBytes(trailing), nullptr);
  }
}

TEST(GfxImageLoading, GarbageTruncatedAndOversizedPicturesFailCleanly) {
  EXPECT_EQ(Image::fromBytes(Bytes{}), nullptr);
  EXPECT_EQ(Image::fromBytes(Bytes{'h', 'e', 'l', 'l', 'o'}), nullptr);
  const Bytes png = testpictures::encodeSolid("png", 20, 20, 0xFF00FF00);
  EXPECT_EQ(Image::fromBytes(Bytes(png.begin(), png.begin() + png.size() / 2)), nullptr);
  Bytes notReallyBmp = {'B', 'M', 0, 0, 0, 0};
  EXPECT_EQ(Image::fromBytes(notReallyBmp), nullptr);

  // A header that claims 60000 x 60000 pixels is refused before any decoding.
  Bytes huge = png;
  const std::uint8_t side[] = {0x00, 0x00, 0xEA, 0x60};
  std::copy(std::begin(side), std::end(side), huge.begin() + 16);
  std::copy(std::begin(side), std::end(side), huge.begin() + 20);
  EXPECT_EQ(Image::fromBytes(huge), nullptr);
  // Header fields that point beyond the data (pixel offset, colour count, icon entries)
  // are refused instead of sizing a decoder's buffers.
  Bytes bmp = testpictures::encodeSolid("bmp", 4, 4, 0xFF000000);
  ASSERT_NE(Image::fromBytes(bmp), nullptr);
  Bytes farPixels = bmp;
  farPixels[13] = 0x80;
  EXPECT_EQ(Image::fromBytes(farPixels), nullptr);
  Bytes manyColours = bmp;
  manyColours[49] = 0xFF;
  EXPECT_EQ(Image::fromBytes(manyColours), nullptr);
  Bytes ico = testpictures::encodeSolid("ico", 16, 16, 0xFF000000);
  ico[6 + 12 + 3] = 0x7F;
  EXPECT_EQ(Image::fromBytes(ico), nullptr);
  Bytes wide = png;  // 4294967295 x 4294967295 must not overflow the size check
  std::fill(wide.begin() + 16, wide.begin() + 24, 0xFF);
  EXPECT_EQ(Image::fromBytes(wide), nullptr);
  // The JPEG reader skips stray bytes before a marker, so the frame header it reads may be
  // one the header check never saw; its size is checked before the decoder allocates.
  const Bytes jpeg = testpictures::encodeSolid("jpeg", 16, 8, 0xFF3366CC);
  Bytes stray = jpeg;
  for (std::size_t i = 2; i + 1 < stray.size(); ++i) {
    if (stray[i] == 0xFF && stray[i + 1] == 0xC0) {
      stray.insert(stray.begin() + static_cast<std::ptrdiff_t>(i), {0x63, 0x63, 0x63});
      break;
    }
  }
  ASSERT_NE(stray.size(), jpeg.size());
  auto strayButSmall = Image::fromBytes(stray);
  ASSERT_NE(strayButSmall, nullptr);
  EXPECT_EQ(strayButSmall->width(), 16);
  for (std::size_t i = 2; i + 8 < stray.size(); ++i) {
    if (stray[i] == 0xFF && stray[i + 1] == 0xC0) {
      const std::uint8_t nineThousand[] = {0x23, 0x28};
      std::copy(std::begin(nineThousand), std::end(nineThousand), stray.begin() + static_cast<std::ptrdiff_t>(i) + 5);
      std::copy(std::begin(nineThousand), std::end(nineThousand), stray.begin() + static_cast<std::ptrdiff_t>(i) + 7);
      break;
    }
  }
  EXPECT_EQ(Image::fromBytes(stray), nullptr);
  // Formats outside the program's set are not handed to other decoders.
  const Bytes xpm = {'/', '*', ' ', 'X', 'P', 'M', ' ', '*', '/'};
  EXPECT_EQ(ImageDecoder::sniff(xpm), PictureFormat::Unknown);
}

TEST(GfxImageLoading, AnimatedGifReportsFramesDelaysAndTheirPixels) {
  const Bytes gif = testpictures::encodeGif({0xFF0000, 0x00FF00, 0x0000FF}, {0, 5, 20});
  auto image = Image::fromBytes(gif);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->frameCount(), 3);
  ASSERT_TRUE(image->frameDelays().has_value());
  EXPECT_EQ(*image->frameDelays(), (std::vector<int>{0, 5, 20}));
  EXPECT_EQ(image->pixel(1, 1), 0xFFFF0000u);
  ASSERT_TRUE(image->selectFrame(1));
  EXPECT_EQ(image->pixel(0, 0), 0xFF00FF00u);
  ASSERT_TRUE(image->selectFrame(2));
  EXPECT_EQ(image->pixel(1, 0), 0xFF0000FFu);
  EXPECT_FALSE(image->selectFrame(3));
  EXPECT_FALSE(image->selectFrame(-1));
  EXPECT_EQ(image->activeFrame(), 2);

  // Played once, with no loop block, every frame is still there.
  auto once = Image::fromBytes(testpictures::encodeGif({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {3, 0, 0, 7}, false));
  ASSERT_NE(once, nullptr);
  EXPECT_EQ(once->frameCount(), 4);
  EXPECT_EQ(*once->frameDelays(), (std::vector<int>{3, 0, 0, 7}));
  once->selectFrame(3);
  EXPECT_EQ(once->pixel(0, 1), 0xFFFFFFFFu);
  once->selectFrame(1);
  EXPECT_EQ(once->pixel(0, 1), 0xFF00FF00u);

  // A GIF cut inside its second frame keeps the structure that is complete.
  auto structure = readGifStructure(std::span(gif).first(gif.size() - 20));
  ASSERT_TRUE(structure.has_value());
  EXPECT_EQ(structure->screenWidth, 2);
  EXPECT_LE(structure->delays.size(), 3u);
}

TEST(GfxImageBitmaps, CreateInEachFormatAndCopyPixelsIn) {
  auto empty = Image::createBitmap(7, 5);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->width(), 7);
  EXPECT_EQ(empty->pixelFormat(), kPixelFormat32bppARGB);
  EXPECT_EQ(empty->pixel(6, 4), 0u);
  EXPECT_EQ(Image::createBitmap(0, 5), nullptr);
  EXPECT_EQ(Image::createBitmap(5, 5, kPixelFormat8bppIndexed), nullptr);

  auto opaque = Image::createBitmap(2, 2, kPixelFormat24bppRGB);
  ASSERT_NE(opaque, nullptr);
  EXPECT_EQ(opaque->pixel(1, 1), 0xFF000000u);

  // Straight ARGB in memory is BGRA bytes; a padded stride is honoured.
  const std::uint8_t argb[] = {0x10, 0x20, 0x30, 0xFF, 0, 0, 0, 0, 0xAA, 0xAA, 0xAA, 0xAA,
                               0x00, 0x00, 0xFF, 0x80, 0, 0, 0, 0, 0xAA, 0xAA, 0xAA, 0xAA};
  auto copied = Image::createBitmap(2, 2, kPixelFormat32bppARGB, 12, argb);
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->pixel(0, 0), 0xFF302010u);
  EXPECT_EQ(copied->pixel(1, 0), 0u);
  EXPECT_TRUE(near(copied->pixel(0, 1), 0x80FF0000u, 2));
  EXPECT_EQ(Image::createBitmap(2, 2, kPixelFormat32bppARGB, 4, argb), nullptr);  // stride too small
}

TEST(GfxImageBitmaps, RotateFlipAndCloneArea) {
  auto image = Image::createBitmap(3, 2);
  image->setPixel(0, 0, 0xFFFF0000);  // top-left red
  image->setPixel(2, 1, 0xFF0000FF);  // bottom-right blue
  auto turned = image->clone();
  turned->rotateFlip(kRotate90FlipNone);
  EXPECT_EQ(turned->width(), 2);
  EXPECT_EQ(turned->height(), 3);
  EXPECT_EQ(turned->pixel(1, 0), 0xFFFF0000u);  // top-left goes to top-right
  EXPECT_EQ(turned->pixel(0, 2), 0xFF0000FFu);
  auto mirrored = image->clone();
  mirrored->rotateFlip(kRotateNoneFlipX);
  EXPECT_EQ(mirrored->pixel(2, 0), 0xFFFF0000u);
  auto upside = image->clone();
  upside->rotateFlip(kRotate270FlipNone);
  EXPECT_EQ(upside->pixel(0, 2), 0xFFFF0000u);

  auto area = image->cloneArea(1, 1, 2, 1);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->width(), 2);
  EXPECT_EQ(area->pixel(1, 0), 0xFF0000FFu);
  EXPECT_EQ(image->cloneArea(2, 1, 2, 1), nullptr);
}

TEST(GfxImageBitmaps, IconMaskAndDeviceBitmapConversions) {
  IconRecord icon;
  icon.width = 9;
  icon.height = 2;
  icon.colour.assign(18, 0x40112233);
  icon.setMaskBit(8, 1, true);
  auto image = Image::fromIcon(icon);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->pixel(0, 0), 0xFF112233u);
  EXPECT_EQ(image->pixel(8, 1), 0u);
  icon.colour.pop_back();
  EXPECT_EQ(Image::fromIcon(icon), nullptr);

  Surface bitmap = Surface::create(2, 1);
  bitmap.setPixel(0, 0, 0x80FF0000);
  auto fromDevice = Image::fromBitmap(bitmap);
  ASSERT_NE(fromDevice, nullptr);
  EXPECT_EQ(fromDevice->pixelFormat(), kPixelFormat32bppRGB);
  EXPECT_EQ(alphaOf(fromDevice->pixel(0, 0)), 255);
  EXPECT_EQ(fromDevice->pixel(1, 0), 0xFF000000u);
}
