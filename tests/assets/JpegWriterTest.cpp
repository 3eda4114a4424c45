// The generator's JPEG output, read back by the program's picture decoder.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "assets/generator/JpegWriter.h"
#include "platform/gfx/Image.h"

namespace {

int channel(platform::gfx::Argb colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

TEST(JpegWriter, ColoursSurviveInTheirChannels) {
  // Four flat quadrants of distinct primaries: a swapped channel order or a shifted row
  // shows as a wrong colour in some quadrant.
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 48);
  cairo_t* cr = cairo_create(surface);
  const double colours[4][3] = {{0.9, 0.1, 0.1}, {0.1, 0.8, 0.2}, {0.15, 0.2, 0.9}, {0.95, 0.85, 0.2}};
  for (int q = 0; q < 4; ++q) {
    cairo_rectangle(cr, (q % 2) * 32, (q / 2) * 24, 32, 24);
    cairo_set_source_rgb(cr, colours[q][0], colours[q][1], colours[q][2]);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  char folder[] = "/tmp/jpeg-writer-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/quadrants.jpg";
  ASSERT_TRUE(artwork::writeJpeg(surface, path, 92));
  cairo_surface_destroy(surface);

  const auto image = platform::gfx::Image::fromFile(path);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width(), 64);
  EXPECT_EQ(image->height(), 48);
  for (int q = 0; q < 4; ++q) {
    const platform::gfx::Argb centre = image->pixel((q % 2) * 32 + 16, (q / 2) * 24 + 12);
    SCOPED_TRACE("quadrant " + std::to_string(q));
    EXPECT_NEAR(channel(centre, 16), colours[q][0] * 255, 12);
    EXPECT_NEAR(channel(centre, 8), colours[q][1] * 255, 12);
    EXPECT_NEAR(channel(centre, 0), colours[q][2] * 255, 12);
    EXPECT_EQ(channel(centre, 24), 255);
  }
  std::remove(path.c_str());
  rmdir(folder);
}

TEST(JpegWriter, ReportsWhatItCannotWrite) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
  EXPECT_FALSE(artwork::writeJpeg(surface, "/nonexistent-folder/picture.jpg", 90));
  cairo_surface_destroy(surface);
  // A surface that failed to be made has no pixels to write.
  cairo_surface_t* broken = cairo_image_surface_create(CAIRO_FORMAT_RGB24, -1, 8);
  EXPECT_FALSE(artwork::writeJpeg(broken, "/tmp/never-written.jpg", 90));
  cairo_surface_destroy(broken);
}

}  // namespace
