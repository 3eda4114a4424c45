#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "resources/ExImage.h"
#include "tests/support/FileContents.h"
#include "tests/support/TestPictures.h"

using resources::ExImage;
namespace gfx = platform::gfx;

namespace {

platform::system::ByteBlock png(int w, int h, std::uint32_t argb = 0xFF2080FF) {
  return testpictures::encodeSolid("png", w, h, argb);
}

gfx::IconRecord icon32(std::uint32_t colour) {
  gfx::IconRecord icon;
  icon.width = 4;
  icon.height = 4;
  icon.bitsPerPixel = 32;
  icon.colour.assign(16, colour);
  icon.mask.assign(4, 0);
  return icon;
}

}  // namespace

TEST(ExImageLoading, BytesFilesAndFailuresLeaveTheObjectEmpty) {
  ExImage image;
  EXPECT_EQ(image.LoadFromBytes({}), nullptr);
  EXPECT_EQ(image.GetHandle(), nullptr);
  ASSERT_NE(image.LoadFromBytes(png(10, 6)), nullptr);
  EXPECT_EQ(image.GetWidth(), 10);
  EXPECT_EQ(image.GetHeight(), 6);
  EXPECT_EQ(image.GetPixel(2, 2), 0xFF2080FFu);
  EXPECT_EQ(image.GetFrameCount(), 1);
  // Garbage replaces the previous picture with nothing.
  EXPECT_EQ(image.LoadFromBytes({1, 2, 3, 4, 5}), nullptr);
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_EQ(image.GetPixel(0, 0), 0u);
  EXPECT_EQ(image.GetFrameCount(), 0);

  // A second load replaces the first.
  image.LoadFromBytes(png(3, 3));
  image.LoadFromBytes(png(5, 7));
  EXPECT_EQ(image.GetWidth(), 5);

  // A file whose name holds Chinese: the path is a program text.
  const std::string utf8Path = ::testing::TempDir() + "/皮肤-test.png";
  const auto bytes = png(8, 8);
  testsupport::writeFile(utf8Path, std::string(bytes.begin(), bytes.end()));
  ASSERT_NE(image.LoadFromFile(platform::text::utf8ToAnsi(utf8Path)), nullptr);
  EXPECT_EQ(image.GetWidth(), 8);
  image.Release();
  ASSERT_NE(image.LoadFromFile(utf8Path), nullptr);  // a native path works as it is
  EXPECT_EQ(image.LoadFromFile(""), nullptr);
  EXPECT_EQ(image.GetHandle(), nullptr);
}

TEST(ExImageLoading, FrameDelaysOnlyForAnimations) {
  ExImage image;
  image.LoadFromBytes(png(4, 4));
  std::vector<int> delays = {7, 7};
  EXPECT_FALSE(image.GetFrameDelays(delays));
  EXPECT_EQ(delays, (std::vector<int>{7, 7}));
  image.LoadFromBytes(testpictures::encodeGif({0xFF0000, 0x00FF00, 0x0000FF}, {0, 5, 20}));
  EXPECT_EQ(image.GetFrameCount(), 3);
  ASSERT_TRUE(image.GetFrameDelays(delays));
  EXPECT_EQ(delays, (std::vector<int>{0, 5, 20}));
  EXPECT_TRUE(image.SelectFrame(2));
  EXPECT_EQ(image.GetPixel(0, 0), 0xFF0000FFu);
  EXPECT_FALSE(image.SelectFrame(5));
}

TEST(ExImageBitmaps, CreateBitmapCopiesAndHandles) {
  ExImage image;
  ASSERT_TRUE(image.CreateBitmap(12, 9));
  EXPECT_EQ(image.GetWidth(), 12);
  EXPECT_EQ(image.GetHandle()->pixelFormat(), gfx::kPixelFormat32bppARGB);
  EXPECT_EQ(image.GetPixel(11, 8), 0u);
  EXPECT_FALSE(image.CreateBitmap(-1, 9));
  EXPECT_EQ(image.GetHandle(), nullptr);

  image.CreateBitmap(2, 2);
  image.GetHandle()->setPixel(0, 0, 0xFF112233);
  ExImage copy = image;
  copy.GetHandle()->setPixel(0, 0, 0xFF445566);
  EXPECT_EQ(image.GetPixel(0, 0), 0xFF112233u);
  EXPECT_NE(copy.GetHandle(), image.GetHandle());

  image.SetHandle(gfx::Image::createBitmap(3, 1));
  EXPECT_EQ(image.GetWidth(), 3);
  image.RotateFlip(gfx::kRotate90FlipNone);
  EXPECT_EQ(image.GetWidth(), 1);
  EXPECT_EQ(image.GetHeight(), 3);
  image.Release();
  EXPECT_EQ(image.GetHandle(), nullptr);

  gfx::Surface device = gfx::Surface::create(5, 4);
  ASSERT_NE(image.LoadFromBitmapHandle(device), nullptr);
  EXPECT_EQ(image.GetPixel(1, 1), 0xFF000000u);
}

TEST(ExImageIcons, PartialAlphaKeepsItAndHardAlphaUsesTheMask) {
  ExImage image;
  // Alpha only 0 and 255: the mask decides, so a zero-alpha colour still shows.
  gfx::IconRecord hard = icon32(0x00FF0000);
  hard.setMaskBit(3, 3, true);
  ASSERT_NE(image.LoadFromIcon(hard), nullptr);
  EXPECT_EQ(image.GetPixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(image.GetPixel(3, 3), 0u);

  // One half-transparent pixel: per-pixel alpha is kept and the mask is ignored.
  gfx::IconRecord soft = icon32(0xFF00FF00);
  soft.colour[5] = 0x8000FF00;
  soft.colour[0] = 0x0000FF00;
  soft.setMaskBit(3, 3, true);
  ASSERT_NE(image.LoadFromIcon(soft), nullptr);
  EXPECT_EQ(image.GetPixel(0, 0), 0u);
  EXPECT_EQ(image.GetPixel(1, 1) >> 24, 0x80u);
  EXPECT_EQ(image.GetPixel(3, 3), 0xFF00FF00u);

  // A 24-bit icon always goes through the mask.
  gfx::IconRecord low = soft;
  low.bitsPerPixel = 24;
  ASSERT_NE(image.LoadFromIcon(low), nullptr);
  EXPECT_EQ(image.GetPixel(1, 1), 0xFF00FF00u);
  EXPECT_EQ(image.GetPixel(3, 3), 0u);

  gfx::IconRecord broken = hard;
  broken.mask.clear();
  EXPECT_EQ(image.LoadFromIcon(broken), nullptr);
}
