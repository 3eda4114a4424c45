// Renders one sheet of everything the drawing layer and the framework primitives offer
// and writes it as a PNG (gfx-sample-sheet.png in the test's temporary folder, or the
// path in TUNORA_SAMPLE_SHEET) for a person to look at.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "assets/EmbeddedArtwork.h"
#include "platform/gfx/cairo/CairoHandles.h"
#include "platform/text/CodePage.h"
#include "resources/ExImage.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/Fonts.h"
#include "ui/framework/Framework.h"

namespace gfx = platform::gfx;
using namespace ui;

namespace {

std::unique_ptr<gfx::Image> picture(std::span<const std::uint8_t> png) { return gfx::Image::fromBytes(png); }

std::string ansi(const char* utf8) { return platform::text::utf8ToAnsi(utf8); }

void label(Graphics& g, const char* text, float x, float y, gfx::Argb colour = 0xFF404040) {
  drawText(g, ansi(text), framework().defaultFont.get(), makeRect(x, y, 740, 16), colour);
}

}  // namespace

TEST(GfxSampleSheet, RendersAndWritesThePng) {
  start();
  gfx::Surface sheet = gfx::Surface::create(760, 440);
  Graphics g(sheet);
  g.clear(0xFFE8ECF0);
  g.fillRectangle(gfx::Brush::solid(0xFF2B3440), gfx::RectF{0, 330, 760, 110});

  // Caption sprite on a skin-like band, message icons, slider thumbs.
  label(g, "caption sprite 729 x 20", 10, 2);
  fillGradientRect(g, makeRect(10, 18, 731, 24), 0xFF4A80B8, 0xFF2E5E92);
  g.drawImage(*framework().captionSprite.GetHandle(), 11, 20);
  label(g, "message icons 200 x 40", 10, 48);
  g.drawImage(*picture(assets::messageIconStripPng()), 10, 64);
  label(g, "thumbs", 225, 48);
  g.fillRectangle(gfx::Brush::solid(0xFF3A6EA5), gfx::RectF{222, 70, 44, 26});
  g.drawImage(*picture(assets::sliderThumbPng()), 227, 76);
  g.drawImage(*picture(assets::sliderThumbHotPng()), 247, 76);

  // Nine-grid: a 30 x 30 framed tile stretched to 200 x 50 with 10 px margins.
  label(g, "nine-grid 30x30 -> 200x50", 290, 48);
  auto tile = gfx::Image::createBitmap(30, 30);
  {
    Graphics t(*tile);
    t.clear(0xFFCC3333);
    t.fillRectangle(gfx::Brush::solid(0xFFF4D03F), gfx::RectF{10, 10, 10, 10});
  }
  drawNineGrid(g, *tile, makeRect(290, 64, 200, 50), NineGridMargins{10, 10, 10, 10});

  // Gradients.
  label(g, "vertical / horizontal / reflected / diagonal", 10, 120);
  fillGradientRect(g, makeRect(10, 136, 120, 60), 0xFF0088FF, 0xFF00E080);
  g.fillRectangle(gfx::Brush::linearGradient(gfx::RectF{140, 136, 120, 60}, 0xFFFF4040, 0xFF4040FF,
                                             gfx::kGradientHorizontal), gfx::RectF{140, 136, 120, 60});
  g.fillRectangle(gfx::Brush::linearGradient(gfx::RectF{270, 136, 120, 20}, 0xFF000000, 0xFFFFFFFF,
                                             gfx::kGradientVertical, gfx::kWrapTileFlipXY),
                  gfx::RectF{270, 136, 120, 60});
  g.fillRectangle(gfx::Brush::linearGradient(gfx::RectF{400, 136, 120, 60}, 0xFFFFC000, 0x00FFC000,
                                             gfx::kGradientForwardDiagonal), gfx::RectF{400, 136, 120, 60});

  // Rounded rectangles with diameters 0, 6, 12, 24, and a picture clipped round.
  label(g, "rounded rectangles d = 0, 6, 12, 24; clipped picture", 10, 206);
  const float diameters[] = {0, 6, 12, 24};
  for (int i = 0; i < 4; ++i) {
    drawRoundRect(g, makeRect(10 + i * 90.0f, 222, 80, 44), diameters[i], argbFrom(0x00A0522D, 200),
                  0xFF202020);
  }
  setClipPath(g, roundedClipPath(makeRect(380, 222, 120, 44), 20));
  g.drawImage(*tile, gfx::RectF{380, 222, 120, 44});
  resetClip(g);
  drawLine(g, 0xFF000000, 520, 222, 740, 222);
  drawLine(g, 0xFFCC0000, 520, 230, 740, 266, 2.0f);

  // Text with each effect, on light and on dark ground.
  auto big = createFontByName(ansi("sans-serif"), 18, gfx::kFontStyleBold);
  const char* names[] = {"效果 0 普通", "效果 1 凸起", "效果 2 阴影", "效果 3 光晕"};
  label(g, "text effects 0-3: none, raised (white), shadow (grey), glow (orange); below default colours", 10, 276);
  const std::int64_t lightEffects[] = {-1, 0xFFFFFFFF, 0x90000000, 0xFFFF8000};
  const std::int64_t darkEffects[] = {-1, 0xFF000000, 0xFF000000, 0xFF00C0FF};
  for (int e = 0; e < 4; ++e) {
    drawText(g, ansi(names[e]), big.get(), makeRect(10 + e * 150.0f, 294, 140, 30), 0xFF202020, 3, e,
             lightEffects[e]);
  }
  for (int e = 0; e < 4; ++e) {
    drawText(g, ansi(names[e]), big.get(), makeRect(10 + e * 150.0f, 340, 140, 30), 0xFFFFFFFF, 3, e,
             darkEffects[e]);
  }
  drawText(g, ansi("Tunora音乐，聆听世界"), big.get(), makeRect(10, 380, 360, 30), 0xFFFFFFFF, 3, 3);
  drawText(g, ansi("请输入歌曲/歌手名 — centred"), framework().defaultFont.get(), makeRect(380, 380, 360, 30),
           0xFFB0C4DE, 4);
  g.drawRectangle(gfx::Pen{0x80FFFFFF, 1}, gfx::RectF{380, 380, 359, 29});

  const char* out = std::getenv("TUNORA_SAMPLE_SHEET");
  const std::string path = out && *out ? out : ::testing::TempDir() + "gfx-sample-sheet.png";
  std::printf("sample sheet: %s\n", path.c_str());
  ASSERT_EQ(cairo_surface_write_to_png(platform::gfx::cairoSurfaceOf(sheet), path.c_str()), CAIRO_STATUS_SUCCESS);

  resources::ExImage reread;
  ASSERT_NE(reread.LoadFromFile(platform::text::utf8ToAnsi(path)), nullptr);
  EXPECT_EQ(reread.GetWidth(), 760);
  EXPECT_EQ(reread.GetPixel(5, 5), 0xFFE8ECF0u);
}
