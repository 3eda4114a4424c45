// The client's files as the build leaves them beside the program: the button package, the
// background, the preset rows' picture and the skin package, read back the way the program
// reads them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <span>
#include <string>
#include <vector>

#include "assets/EmbeddedArtwork.h"
#include "platform/gfx/Image.h"
#include "platform/system/Files.h"
#include "resources/ResourcePackage.h"

namespace {

using platform::gfx::Argb;
using platform::gfx::Image;

const std::string kFiles = TUNORA_APP_FILES_DIR;

struct Size {
  int width;
  int height;
};

// The sizes of the controls that show each picture of the button table.
Size expectedSize(int index) {
  if (index <= 8 || index >= 27) return {45, 45};  // play, previous, next, pause
  if (index <= 14) return {95, 35};                // tabs
  if (index <= 17) return {22, 22};                // volume
  if (index <= 23) return {282, 30};               // group headers
  return {30, 27};                                 // search
}

// The pictures of a package; the first `count` unless all is asked for (what a reader of
// the 1x set sees: the 2x set follows it).
std::vector<std::unique_ptr<Image>> packagePictures(const std::string& name, std::size_t count) {
  std::vector<platform::system::ByteBlock> entries;
  std::string message;
  EXPECT_TRUE(resources::UnpackResourcePackage(kFiles + "/Resource/" + name, entries, message));
  std::vector<std::unique_ptr<Image>> pictures;
  for (std::size_t i = 0; i < std::min(count, entries.size()); ++i) pictures.push_back(Image::fromBytes(entries[i]));
  return pictures;
}

std::vector<std::unique_ptr<Image>> buttonPictures() { return packagePictures("Resu.rdb", 30); }

// How far a 2x picture, averaged 2 x 2 down to 1x, is from its 1x sibling: the mean
// difference of the premultiplied channels.
double meanDifferenceAtOneX(const Image& twice, const Image& once) {
  const auto& big = twice.surface();
  const auto& small = once.surface();
  if (big.width() != 2 * small.width() || big.height() != 2 * small.height()) return 255;
  double total = 0;
  for (int y = 0; y < small.height(); ++y) {
    for (int x = 0; x < small.width(); ++x) {
      for (int shift = 0; shift < 32; shift += 8) {
        int sum = 0;
        for (int k = 0; k < 4; ++k) sum += static_cast<int>((big.rawPixel(2 * x + k % 2, 2 * y + k / 2) >> shift) & 0xFF);
        total += std::abs(sum / 4.0 - static_cast<double>((small.rawPixel(x, y) >> shift) & 0xFF));
      }
    }
  }
  return total / (4.0 * small.width() * small.height());
}

bool samePixels(const Image& a, const Image& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
  return true;
}

double luminance(Argb c) {
  return (0.2126 * ((c >> 16) & 0xFF) + 0.7152 * ((c >> 8) & 0xFF) + 0.0722 * (c & 0xFF)) / 255.0;
}

// Mean luminance of the skin under a window rectangle, through the host's stretch of the
// picture into the window less its 5-pixel margin.
double meanLuminanceUnder(const Image& skin, int x, int y, int width, int height) {
  double sum = 0;
  int count = 0;
  for (int wy = y; wy < y + height; ++wy) {
    for (int wx = x; wx < x + width; ++wx) {
      const int px = (wx - 5) * skin.width() / (skin.width() - 10);
      const int py = (wy - 5) * skin.height() / (skin.height() - 10);
      sum += luminance(skin.pixel(px, py));
      ++count;
    }
  }
  return sum / count;
}

struct Zone {
  int x, y, width, height;
};

// Black texts: song, elapsed and length labels, the tabs and both lists.
constexpr Zone kBlackTextZones[] = {{18, 69, 250, 27}, {18, 113, 35, 22}, {240, 113, 35, 22},
                                    {6, 222, 285, 29},  {7, 251, 283, 350}, {8, 283, 280, 350}};
// White text: the search box's line of text.
constexpr Zone kSearchText{8, 190, 248, 22};

// Darkest and lightest mean of the 8 x 8 window blocks in a zone: a dark stroke under a few
// words hurts as much as a dark zone.
std::pair<double, double> blockLuminanceRange(const Image& skin, Zone z) {
  double darkest = 1, lightest = 0;
  for (int y = z.y; y + 8 <= z.y + z.height; y += 8)
    for (int x = z.x; x + 8 <= z.x + z.width; x += 8) {
      const double l = meanLuminanceUnder(skin, x, y, 8, 8);
      darkest = std::min(darkest, l);
      lightest = std::max(lightest, l);
    }
  return {darkest, lightest};
}

TEST(AppArtwork, PackageHoldsThirtyPicturesAtTheirControlsSizes) {
  const auto pictures = buttonPictures();
  ASSERT_EQ(pictures.size(), 30u);
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE("picture " + std::to_string(i));
    ASSERT_NE(pictures[i], nullptr);
    EXPECT_EQ(pictures[i]->width(), expectedSize(i).width);
    EXPECT_EQ(pictures[i]->height(), expectedSize(i).height);
  }
}

TEST(AppArtwork, EachStateOfAButtonLooksDifferent) {
  const auto pictures = buttonPictures();
  ASSERT_EQ(pictures.size(), 30u);
  for (const auto& p : pictures) ASSERT_NE(p, nullptr);
  // Normal, hover and pressed of play, previous, next, volume, search and pause; closed,
  // hover and open of both group headers.
  for (int first : {0, 3, 6, 15, 18, 21, 24, 27}) {
    SCOPED_TRACE("looks from " + std::to_string(first));
    EXPECT_FALSE(samePixels(*pictures[first], *pictures[first + 1]));
    EXPECT_FALSE(samePixels(*pictures[first + 1], *pictures[first + 2]));
    EXPECT_FALSE(samePixels(*pictures[first], *pictures[first + 2]));
  }
  // Each tab at rest and chosen; the three tabs and the two headers carry their own captions.
  for (int tab : {9, 11, 13}) EXPECT_FALSE(samePixels(*pictures[tab], *pictures[tab + 1])) << tab;
  EXPECT_FALSE(samePixels(*pictures[9], *pictures[11]));
  EXPECT_FALSE(samePixels(*pictures[11], *pictures[13]));
  EXPECT_FALSE(samePixels(*pictures[18], *pictures[21]));
  EXPECT_FALSE(samePixels(*pictures[0], *pictures[27]));
}

TEST(AppArtwork, RoundButtonsLeaveTheirCornersTransparent) {
  const auto pictures = buttonPictures();
  ASSERT_EQ(pictures.size(), 30u);
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 27, 28, 29}) {
    ASSERT_NE(pictures[i], nullptr);
    EXPECT_EQ(pictures[i]->pixel(0, 0) >> 24, 0u) << i;
    EXPECT_EQ(pictures[i]->pixel(44, 44) >> 24, 0u) << i;
  }
}

TEST(AppArtwork, BackgroundRowPictureAndIconsDecodeAtTheirSizes) {
  const auto skin = Image::fromFile(kFiles + "/Resource/skin.png");
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->width(), 296);
  EXPECT_EQ(skin->height(), 657);
  // The host lays the picture over its own colour; a see-through pixel would show that.
  int seeThrough = 0;
  for (int y = 0; y < skin->height(); ++y)
    for (int x = 0; x < skin->width(); ++x) seeThrough += (skin->pixel(x, y) >> 24) != 255;
  EXPECT_EQ(seeThrough, 0);

  const auto jpegBytes = platform::system::readWholeFile(kFiles + "/Resource/rilu.jpg");
  ASSERT_TRUE(jpegBytes.has_value());
  ASSERT_GE(jpegBytes->size(), 3u);
  EXPECT_EQ((*jpegBytes)[0], 0xFF);
  EXPECT_EQ((*jpegBytes)[1], 0xD8);
  const auto row = Image::fromBytes(*jpegBytes);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->width(), 45);
  EXPECT_EQ(row->height(), 45);

  for (int size : {48, 128}) {
    const auto icon = Image::fromFile(kFiles + "/icons/tunora-" + std::to_string(size) + ".png");
    ASSERT_NE(icon, nullptr) << size;
    EXPECT_EQ(icon->width(), size);
    EXPECT_EQ(icon->height(), size);
    // A rounded tile: clear corners for the desktop behind, solid middle.
    EXPECT_EQ(icon->pixel(0, 0) >> 24, 0u) << size;
    EXPECT_EQ(icon->pixel(size / 2, size / 2) >> 24, 255u) << size;
  }
  // The window's own icon travels inside the program.
  const auto windowIcon = Image::fromBytes(assets::embeddedPicture("windowIcon"));
  ASSERT_NE(windowIcon, nullptr);
  EXPECT_EQ(windowIcon->width(), 32);
  EXPECT_EQ(windowIcon->height(), 32);
}

TEST(AppArtwork, BackgroundKeepsTheTextsReadable) {
  const auto skin = Image::fromFile(kFiles + "/Resource/skin.png");
  ASSERT_NE(skin, nullptr);
  for (const auto& r : kBlackTextZones)
    EXPECT_GT(meanLuminanceUnder(*skin, r.x, r.y, r.width, r.height), 0.8) << r.x << "," << r.y;
  // White texts: the title and the search box's.
  EXPECT_LT(meanLuminanceUnder(*skin, 33, 11, 158, 17), 0.4);
  EXPECT_LT(meanLuminanceUnder(*skin, 6, 186, 250, 30), 0.45);
}

std::vector<platform::system::ByteBlock> skinEntries() {
  std::vector<platform::system::ByteBlock> entries;
  std::string message;
  EXPECT_TRUE(resources::UnpackResourcePackage(kFiles + "/Resource/Skin.rdb", entries, message)) << message;
  if (entries.size() > 24) entries.resize(24);
  return entries;
}

// Each 2x picture is its 1x sibling drawn again at twice the pixels, in the same order
// after the whole 1x set; the loose pictures have their @2x files beside them.
TEST(AppArtwork, TheTwiceScaleSetFollowsTheOneXSetAndShowsTheSamePictures) {
  for (const auto& [name, count] : {std::pair<std::string, std::size_t>{"Resu.rdb", 30}, {"Skin.rdb", 24}}) {
    SCOPED_TRACE(name);
    const auto all = packagePictures(name, 1000);
    ASSERT_EQ(all.size(), 2 * count);
    for (std::size_t i = 0; i < count; ++i) {
      ASSERT_NE(all[i], nullptr);
      ASSERT_NE(all[count + i], nullptr);
      EXPECT_LT(meanDifferenceAtOneX(*all[count + i], *all[i]), 8.0) << i;  // text and grain land on other pixels
    }
    // A neighbour differs by more than the sibling: the order is the 1x set's.
    EXPECT_GT(meanDifferenceAtOneX(*all[count + 1], *all[0]), meanDifferenceAtOneX(*all[count], *all[0]));
  }
  // The program's built-in pictures too.
  const std::pair<std::span<const std::uint8_t>, std::span<const std::uint8_t>> embedded[] = {
      {assets::captionSpritePng(), assets::captionSpritePng2x()},
      {assets::messageIconStripPng(), assets::messageIconStripPng2x()},
      {assets::sliderThumbPng(), assets::sliderThumbPng2x()},
      {assets::sliderThumbHotPng(), assets::sliderThumbHotPng2x()}};
  for (const auto& [once, twice] : embedded) {
    const auto small = Image::fromBytes(once), big = Image::fromBytes(twice);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(big, nullptr);
    EXPECT_LT(meanDifferenceAtOneX(*big, *small), 8.0) << small->width() << "x" << small->height();
  }
  for (const char* file : {"skin", "rilu"}) {
    const std::string ext = file == std::string("skin") ? ".png" : ".jpg";
    const auto once = Image::fromFile(kFiles + "/Resource/" + file + ext);
    const auto twice = Image::fromFile(kFiles + "/Resource/" + file + "@2x" + ext);
    ASSERT_NE(once, nullptr);
    ASSERT_NE(twice, nullptr);
    EXPECT_LT(meanDifferenceAtOneX(*twice, *once), 4.0) << file;
  }
}

TEST(AppArtwork, SkinPackageHoldsTwentyFourOpaqueBackgroundsInBothFormats) {
  const auto entries = skinEntries();
  ASSERT_EQ(entries.size(), 24u);
  int jpeg = 0, png = 0;
  std::vector<std::vector<Argb>> samples;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE("skin " + std::to_string(i));
    const auto& bytes = entries[i];
    ASSERT_GE(bytes.size(), 8u);
    jpeg += bytes[0] == 0xFF && bytes[1] == 0xD8;
    png += bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G';
    const auto picture = Image::fromBytes(bytes);
    ASSERT_NE(picture, nullptr);
    // Portrait at the window's size, so the host's stretch keeps every shape in its place.
    EXPECT_EQ(picture->width(), 296);
    EXPECT_EQ(picture->height(), 657);
    std::vector<Argb> sample;
    for (int y = 3; y < picture->height(); y += 16)
      for (int x = 3; x < picture->width(); x += 16) sample.push_back(picture->pixel(x, y));
    for (Argb c : sample) ASSERT_EQ(c >> 24, 255u);
    for (std::size_t j = 0; j < samples.size(); ++j) EXPECT_NE(samples[j], sample) << "same as skin " << j;
    samples.push_back(std::move(sample));
  }
  EXPECT_EQ(jpeg + png, 24);
  EXPECT_GT(jpeg, 0);
  EXPECT_GT(png, 0);
  std::size_t total = 0;
  for (const auto& e : entries) total += e.size();
  EXPECT_LT(total, 3u * 1024 * 1024);
}

TEST(AppArtwork, EverySkinKeepsTheTextsReadable) {
  const auto entries = skinEntries();
  ASSERT_EQ(entries.size(), 24u);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE("skin " + std::to_string(i));
    const auto skin = Image::fromBytes(entries[i]);
    ASSERT_NE(skin, nullptr);
    for (const Zone& z : kBlackTextZones) {
      EXPECT_GT(meanLuminanceUnder(*skin, z.x, z.y, z.width, z.height), 0.62) << z.x << "," << z.y;
      EXPECT_GT(blockLuminanceRange(*skin, z).first, 0.5) << z.x << "," << z.y;
    }
    EXPECT_LT(meanLuminanceUnder(*skin, kSearchText.x, kSearchText.y, kSearchText.width, kSearchText.height), 0.45);
    EXPECT_LT(blockLuminanceRange(*skin, kSearchText).second, 0.55);
  }
}

// The host writes the title white when its three sample pixels are all dark, else black,
// and the caption buttons always show white glyphs: a picture must agree with what the host
// will choose over the whole title, not only at the three samples.
bool hostSeesDark(Argb c) {
  return (((c >> 16) & 0xFF) > 125) + (((c >> 8) & 0xFF) > 125) + ((c & 0xFF) > 125) < 2;
}

TEST(AppArtwork, EverySkinKeepsTheTitleAndTheCaptionButtonsReadable) {
  const auto entries = skinEntries();
  ASSERT_EQ(entries.size(), 24u);
  int whiteTitles = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE("skin " + std::to_string(i));
    const auto skin = Image::fromBytes(entries[i]);
    ASSERT_NE(skin, nullptr);
    bool dark = true;
    for (int x : {64, 112, 159}) {
      const int px = (x - 5) * skin->width() / (skin->width() - 10);
      const int py = (19 - 5) * skin->height() / (skin->height() - 10);
      dark = dark && hostSeesDark(skin->pixel(px, py));
    }
    const double title = meanLuminanceUnder(*skin, 33, 11, 158, 17);
    if (dark) {
      ++whiteTitles;
      EXPECT_LT(title, 0.5);
    } else {
      EXPECT_GT(title, 0.6);
    }
    EXPECT_LT(meanLuminanceUnder(*skin, 193, 6, 95, 19), 0.55);
  }
  // Both kinds of top, so the title rule is seen at work.
  EXPECT_GT(whiteTitles, 0);
  EXPECT_LT(whiteTitles, 24);
}

}  // namespace
