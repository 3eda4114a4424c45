// Picture boxes in a real window host on the headless desktop: still pictures with a
// border, animated GIFs on the test clock, and bad picture bytes.

#include <gtest/gtest.h>

#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExPicture.h"

using namespace controltest;
using ui::controls::ExPicture;
using ui::controls::PictureOptions;

namespace {

constexpr platform::gfx::Argb kRed = 0xFFFF0000;
constexpr platform::gfx::Argb kGreen = 0xFF00FF00;
constexpr platform::gfx::Argb kBlue = 0xFF0000FF;

resources::ExImage picture(const testpictures::Bytes& bytes) {
  resources::ExImage image;
  image.LoadFromBytes(platform::system::ByteBlock(bytes.begin(), bytes.end()));
  return image;
}

class Pictures : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(200, 150, plainOptions());
  }
  // Red, green, blue frames with the given delays.
  resources::ExImage threeFrames(std::vector<int> delays) {
    return picture(testpictures::encodeGif({0xFF0000, 0x00FF00, 0x0000FF}, delays));
  }
};

TEST_F(Pictures, StillPictureIsStretchedInsideItsBorder) {
  ExPicture p;
  PictureOptions options;
  options.borderColour = 0xFFFFFFFF;
  ASSERT_NE(p.create(hwnd, {20, 20, 30, 30}, picture(testpictures::encodeSolid("png", 3, 2, kRed)), options), 0);
  window->redraw();
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the border is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_EQ(shown(20, 20), 0xFFFFFFFFu);
  EXPECT_EQ(shown(49, 49), 0xFFFFFFFFu);
  EXPECT_EQ(shown(35, 21), kRed);
  EXPECT_EQ(shown(48, 48), kRed);
  EXPECT_EQ(shown(50, 50), kBackgroundArgb);
  EXPECT_EQ(p.frameCount(), 1);
}

TEST_F(Pictures, GifFramesFollowTheirDelaysWithZeroAsATenthAndWrapToTheFirst) {
  ExPicture p;
  PictureOptions options;
  options.animate = true;
  p.create(hwnd, {10, 10, 40, 40}, threeFrames({0, 20, 5}), options);
  EXPECT_EQ(p.frameDelays(), (std::vector<int>{10, 20, 5}));
  window->redraw();
  EXPECT_EQ(shown(30, 30), kRed);
  desk->advance(99);
  EXPECT_EQ(shown(30, 30), kRed);
  desk->advance(1);
  EXPECT_EQ(shown(30, 30), kGreen);
  desk->advance(199);
  EXPECT_EQ(shown(30, 30), kGreen);
  desk->advance(1);
  EXPECT_EQ(shown(30, 30), kBlue);
  desk->advance(50);
  EXPECT_EQ(p.frame(), 0);
  EXPECT_EQ(shown(30, 30), kRed);
  desk->advance(100);
  EXPECT_EQ(shown(30, 30), kGreen);
}

TEST_F(Pictures, NothingTicksForASingleFrameOrWithAnimationOff) {
  ExPicture single, gif;
  PictureOptions animated;
  animated.animate = true;
  single.create(hwnd, {10, 10, 40, 40}, picture(testpictures::encodeGif({0xFF0000}, {0})), animated);
  gif.create(hwnd, {60, 10, 40, 40}, threeFrames({10, 10, 10}));  // animation off
  window->redraw();
  const int presents = desk->presentCount(hwnd);
  desk->advance(1000);
  EXPECT_EQ(desk->presentCount(hwnd), presents);
  EXPECT_EQ(shown(80, 30), kRed);

  gif.setAnimate(true);
  desk->advance(100);
  EXPECT_EQ(shown(80, 30), kGreen);
  gif.setAnimate(false);  // back to the first frame, and still
  EXPECT_EQ(shown(80, 30), kRed);
  const int stopped = desk->presentCount(hwnd);
  desk->advance(1000);
  EXPECT_EQ(desk->presentCount(hwnd), stopped);
}

TEST_F(Pictures, ReplacingTheImageStartsFromItsFirstFrame) {
  ExPicture p;
  PictureOptions animated;
  animated.animate = true;
  p.create(hwnd, {10, 10, 40, 40}, threeFrames({10, 10, 10}), animated);
  window->redraw();
  desk->advance(100);
  EXPECT_EQ(p.frame(), 1);
  p.setImage(picture(testpictures::encodeGif({0x0000FF, 0xFF0000}, {30, 30})), true);
  EXPECT_EQ(p.frame(), 0);
  EXPECT_EQ(p.frameCount(), 2);
  EXPECT_EQ(shown(30, 30), kBlue);
  desk->advance(300);
  EXPECT_EQ(shown(30, 30), kRed);
}

TEST_F(Pictures, UndecodableBytesShowOnlyTheBorder) {
  ExPicture p;
  const std::string junk = "GIF89a not really";
  ASSERT_NE(p.createFromData(hwnd, {10, 10, 30, 30}, platform::system::ByteBlock(junk.begin(), junk.end()),
                             0xFF00FF00),
            0);
  window->redraw();
  EXPECT_EQ(p.frameCount(), 0);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the border is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_EQ(shown(10, 10), kGreen);
  EXPECT_EQ(shown(25, 25), kBackgroundArgb);
  desk->advance(500);
}

TEST_F(Pictures, DestroyingTheWindowStopsTheAnimation) {
  auto p = std::make_unique<ExPicture>();
  PictureOptions animated;
  animated.animate = true;
  p->create(hwnd, {10, 10, 40, 40}, threeFrames({10, 10, 10}), animated);
  window->redraw();
  pw::DestroyWindow(hwnd);
  desk->advance(500);
  EXPECT_EQ(p->frameCount(), 0);
  EXPECT_EQ(p->image().GetHandle(), nullptr);
}

}  // namespace
