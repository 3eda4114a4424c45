// The skin pictures' drawing means, checked on small surfaces, and the pictures themselves
// drawn twice: the package must not change from one build to the next.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdint>
#include <cstring>

#include "assets/generator/SkinArt.h"
#include "assets/generator/SkinCanvas.h"

namespace {

namespace skin = artwork::skin;

struct Surface {
  cairo_surface_t* s;
  Surface(int w, int h, double grey) : s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)) {
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, grey, grey, grey);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  ~Surface() { cairo_surface_destroy(s); }
  std::uint32_t pixel(int x, int y) const {
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const std::uint32_t*>(row)[x];
  }
  int green(int x, int y) const { return static_cast<int>((pixel(x, y) >> 8) & 0xFF); }
};

TEST(SkinCanvas, SoftVeilReachesItsAlphaInsideAndFadesToNothingOutside) {
  Surface black(200, 200, 0);
  cairo_t* cr = cairo_create(black.s);
  skin::softVeil(cr, {50, 50, 100, 100}, 16, 0xFFFFFF, 0.6);
  cairo_destroy(cr);
  // Eight 8-bit layers round a few levels away.
  EXPECT_NEAR(black.green(100, 100), 0.6 * 255, 4);  // the core, where the text goes
  EXPECT_NEAR(black.green(60, 100), 0.6 * 255, 4);   // just inside the fade
  EXPECT_EQ(black.green(30, 100), 0);                // beyond the fade
  const int edge = black.green(50, 100);
  EXPECT_GT(edge, 10);
  EXPECT_LT(edge, 0.6 * 255 - 10);
}

TEST(SkinCanvas, GrainKeepsTheToneAndDarkenedEdgesKeepTheMiddle) {
  Surface grey(120, 240, 0.5);
  skin::addGrain(grey.s, 16, 7);
  double sum = 0;
  int changed = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 120; ++x) {
      sum += grey.green(x, y);
      changed += grey.green(x, y) != 128;
      ASSERT_EQ(grey.pixel(x, y) >> 24, 255u);
    }
  EXPECT_NEAR(sum / (120 * 240), 128, 1.0);
  EXPECT_GT(changed, 120 * 240 / 2);

  Surface light(120, 240, 1.0);
  skin::darkenEdges(light.s, 0.5, 0.5);
  EXPECT_EQ(light.green(60, 120), 255);
  EXPECT_NEAR(light.green(0, 0), 255 * 0.5, 8);
  EXPECT_GT(light.green(60, 0), light.green(0, 0));
}

TEST(SkinCanvas, EveryPictureIsTheSameOnEveryDrawing) {
  EXPECT_EQ(artwork::drawSkinPicture(-1), nullptr);
  EXPECT_EQ(artwork::drawSkinPicture(artwork::kSkinCount), nullptr);
  for (int entry = 0; entry < artwork::kSkinCount; ++entry) {
    cairo_surface_t* a = artwork::drawSkinPicture(entry);
    cairo_surface_t* b = artwork::drawSkinPicture(entry);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    cairo_surface_flush(a);
    cairo_surface_flush(b);
    const std::size_t bytes =
        static_cast<std::size_t>(cairo_image_surface_get_stride(a)) * cairo_image_surface_get_height(a);
    EXPECT_EQ(std::memcmp(cairo_image_surface_get_data(a), cairo_image_surface_get_data(b), bytes), 0) << entry;
    cairo_surface_destroy(a);
    cairo_surface_destroy(b);
  }
}

}  // namespace
