// What the host composes and pushes: background modes, the title, region repaints in list
// order, the fade-in frames and the WM_PAINT copy.

#include "platform/gfx/Graphics.h"
#include "tests/framework/HostTestSupport.h"
#include "tests/support/TestPictures.h"

using namespace hosttest;

namespace {

platform::system::ByteBlock solidPng(int w, int h, std::uint32_t argb) {
  const auto bytes = testpictures::encodeSolid("png", w, h, argb);
  return platform::system::ByteBlock(bytes.begin(), bytes.end());
}

unsigned alphaAt(HeadlessBackend& desk, HWND w, int x, int y) { return desk.pixel(w, x, y) >> 24; }

}  // namespace

TEST_F(HostTest, RegionRepaintStacksControlsAndPushesOnlyItsRectangle) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  RecordingControl red(0xFFFF0000u), blue(0xFF0000FFu);
  red.create(w, {20, 20, 40, 40});
  blue.create(w, {40, 40, 40, 40});
  host.redraw();
  EXPECT_EQ(desk->pixel(w, 50, 50), 0xFF0000FFu);
  EXPECT_EQ(desk->pixel(w, 25, 25), 0xFFFF0000u);
  EXPECT_EQ(desk->pixel(w, 75, 75), 0xFF0000FFu);

  // The lower control asks to repaint: the upper one is painted again over it.
  desk->recordFrames(w, true);
  red.colour = 0xFF00FF00u;
  host.repaintRegion({20, 20, 40, 40});
  EXPECT_EQ(desk->pixel(w, 25, 25), 0xFF00FF00u);
  EXPECT_EQ(desk->pixel(w, 50, 50), 0xFF0000FFu);
  ASSERT_EQ(desk->frames(w).size(), 1u);
  EXPECT_EQ(desk->frames(w)[0].dirty, (RECT{20, 20, 60, 60}));
  EXPECT_FALSE(host.painting());

  // Hidden, the upper control's area shows what lies below it.
  ui::controlRecord(host.windowIndex(), 2)->visible = false;
  host.repaintRegion({40, 40, 40, 40});
  EXPECT_EQ(desk->pixel(w, 50, 50), 0xFF00FF00u);
  EXPECT_EQ(desk->pixel(w, 75, 75), 0xFF102030u);
  // A rectangle outside the window pushes nothing.
  host.repaintRegion({500, 500, 10, 10});
  EXPECT_EQ(desk->frames(w).size(), 2u);
}

TEST_F(HostTest, HeldScreenUpdatesGoOutAsOnePushWhenTheLastHoldEnds) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  host.redraw();
  desk->recordFrames(w, true);
  host.holdScreenUpdates();
  host.holdScreenUpdates();
  RecordingControl red(0xFFFF0000u), blue(0xFF0000FFu);
  red.create(w, {10, 10, 20, 20});
  host.repaintRegion({10, 10, 20, 20});
  blue.create(w, {100, 50, 30, 30});
  host.repaintRegion({100, 50, 30, 30});
  host.releaseScreenUpdates();
  EXPECT_TRUE(desk->frames(w).empty());
  EXPECT_EQ(desk->pixel(w, 15, 15), 0xFF102030u);

  host.releaseScreenUpdates();
  ASSERT_EQ(desk->frames(w).size(), 1u);
  EXPECT_EQ(desk->frames(w)[0].dirty, (RECT{10, 10, 130, 80}));
  EXPECT_EQ(desk->pixel(w, 15, 15), 0xFFFF0000u);
  EXPECT_EQ(desk->pixel(w, 110, 60), 0xFF0000FFu);

  // Released, pushes go out at once again; a release too many changes nothing.
  host.releaseScreenUpdates();
  red.colour = 0xFF00FF00u;
  host.repaintRegion({10, 10, 20, 20});
  EXPECT_EQ(desk->frames(w).size(), 2u);
  EXPECT_EQ(desk->pixel(w, 15, 15), 0xFF00FF00u);
}

TEST_F(HostTest, PlainWindowsShowTheComposedImageThroughWmPaint) {
  HWND w = makeWindow(100, 80, WS_POPUP, 0);
  ExWindow& host = attached(w);
  RecordingControl c(0xFF00FF00u);
  c.create(w, {10, 10, 20, 20});
  host.redraw();
  desk->pump();
  EXPECT_EQ(desk->pixel(w, 15, 15), 0xFF00FF00u);
  EXPECT_EQ(desk->pixel(w, 50, 50), 0xFF102030u);
}

TEST_F(HostTest, OpaqueBackgroundDrawsThePictureAndFadesItsEdgesIntoTheColour) {
  HWND w = makeWindow(300, 300);
  ui::AttachOptions o = noCaption();
  o.backgroundColour = 0x000000FF;  // red
  ExWindow host;
  ASSERT_TRUE(host.attach(w, solidPng(200, 200, 0xFF0000FFu), o));
  EXPECT_EQ(desk->pixel(w, 2, 2), 0xFFFF0000u);       // the margin shows the colour
  EXPECT_EQ(desk->pixel(w, 50, 50), 0xFF0000FFu);     // the picture at (5, 5)
  EXPECT_EQ(desk->pixel(w, 250, 250), 0xFFFF0000u);   // beyond it, the colour
  const std::uint32_t edge = desk->pixel(w, 50, 200);  // inside the bottom fade
  EXPECT_GT((edge >> 16) & 0xFF, 0x80u);
  host.setBackgroundMode(5);
  o.flagC = 0;
  DestroyWindow(w);
  HWND plain = makeWindow(300, 300);
  ExWindow noFade;
  ASSERT_TRUE(noFade.attach(plain, solidPng(200, 200, 0xFF0000FFu), o));
  EXPECT_EQ(desk->pixel(plain, 50, 200), 0xFF0000FFu);
}

TEST_F(HostTest, AlphaWindowIsARoundedShapeAtTheWindowAlpha) {
  HWND w = makeWindow(120, 100);
  ui::AttachOptions o = noCaption();
  o.windowAlpha = 254;
  ExWindow& host = attached(w, o);
  EXPECT_EQ(host.cornerRadius(), 7);
  EXPECT_EQ(alphaAt(*desk, w, 2, 50), 0u);     // the 5 px margin is transparent
  EXPECT_EQ(alphaAt(*desk, w, 5, 5), 0u);      // the corner is cut away
  EXPECT_EQ(alphaAt(*desk, w, 114, 94), 0u);
  EXPECT_GE(alphaAt(*desk, w, 60, 50), 252u);  // 254 twice: drawn, then pushed
  EXPECT_LT(alphaAt(*desk, w, 60, 50), 255u);
  EXPECT_GE(alphaAt(*desk, w, 12, 5), 252u);   // edges away from the corners are full
  EXPECT_GE(alphaAt(*desk, w, 5, 12), 252u);
  ASSERT_TRUE(desk->nativeRegion(w).has_value());
  ASSERT_NE(desk->nativeRegion(w)->roundRectSource(), nullptr);
  EXPECT_EQ(desk->nativeRegion(w)->roundRectSource()->rect, (RECT{0, 0, 121, 101}));
  host.setBackgroundMode(0);  // square corners, no rounded region
  EXPECT_GE(alphaAt(*desk, w, 5, 5), 252u);
  EXPECT_FALSE(desk->nativeRegion(w).has_value());
}

TEST_F(HostTest, TitleIsWhiteOnDarkAndBlackOnLight) {
  for (const ui::ColourRef background : {0x00000000u, 0x00FFFFFFu}) {
    HWND w = makeWindow(300, 100);
    SetWindowTextA(w, "MMMMMMMMMMMMMMMM");
    ui::AttachOptions o = noCaption();
    o.captionButtonSet = 2;
    o.backgroundColour = background;
    ExWindow host;
    ASSERT_TRUE(host.attach(w, {}, o));
    // Title band: x from 13, y from 11, 17 high.
    int text = 0;
    for (int y = 11; y < 28; ++y) {
      for (int x = 13; x < 120; ++x) {
        const std::uint32_t p = desk->pixel(w, x, y) & 0xFFFFFF;
        if (background == 0 && p > 0xC0C0C0) ++text;
        if (background != 0 && p < 0x404040) ++text;
      }
    }
    EXPECT_GT(text, 20) << std::hex << background;
    // The rest of the window stays plain.
    EXPECT_EQ(desk->pixel(w, 150, 70) & 0xFFFFFF, background);
    DestroyWindow(w);
  }
}

TEST_F(HostTest, FadeInBlendsTheNewPictureOverTheOldInSixFramesAndIgnoresTheMouse) {
  for (int windowAlpha : {-1, 200}) {
    HWND w = makeWindow(100, 80);
    ui::AttachOptions o = noCaption();
    o.windowAlpha = windowAlpha;
    o.backgroundMode = 0;
    ExWindow& host = attached(w, o);
    RecordingControl c(0xFFFFFFFFu);
    c.create(w, {10, 10, 30, 30});
    host.redraw();
    const std::uint32_t old = desk->pixel(w, 20, 20), around = desk->pixel(w, 60, 60);
    c.colour = 0xFF000000u;
    desk->recordFrames(w, true);
    host.redraw(std::nullopt, std::nullopt, true);
    EXPECT_TRUE(host.composing());
    EXPECT_TRUE(desk->frames(w).empty());
    std::vector<std::uint32_t> shown;
    for (int tick = 1; tick <= 6; ++tick) {
      desk->click(w, 20, 20);
      desk->pump();
      EXPECT_EQ(c.count(WM_LBUTTONDOWN), 0) << tick;
      desk->advance(80);
      ASSERT_EQ(desk->frames(w).size(), static_cast<std::size_t>(tick));
      const platform::gfx::Surface& frame = desk->frames(w).back().image;
      shown.push_back(frame.rawPixel(20, 20));
      // What did not change never flickers, and the window never turns see-through.
      EXPECT_EQ(frame.rawPixel(60, 60), around) << tick;
    }
    EXPECT_EQ(shown.front(), old) << windowAlpha;
    const unsigned alpha = windowAlpha == -1 ? 255 : static_cast<unsigned>(windowAlpha);
    EXPECT_EQ(shown.back(), alpha << 24) << windowAlpha;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i] >> 24, alpha) << i;
      if (i > 0) {
        EXPECT_LT(shown[i] & 0xFF, shown[i - 1] & 0xFF) << i;
      }
    }
    EXPECT_FALSE(host.composing());
    desk->advance(400);
    EXPECT_EQ(desk->frames(w).size(), 6u);  // the timer stopped
    EXPECT_EQ(desk->pixel(w, 20, 20), alpha << 24);
    desk->click(w, 20, 20);
    desk->pump();
    EXPECT_EQ(c.count(WM_LBUTTONDOWN), 1);
    closeWindows();
  }
}

TEST_F(HostTest, CustomDrawingSurvivesRegionRepaints) {
  HWND w = makeWindow();
  ExWindow& host = attached(w);
  int after = 0;
  host.onCustomDraw([](HWND, platform::gfx::Graphics& g, int width, int) {
    g.fillRectangle(platform::gfx::Brush::solid(0xFFFFFF00u), RectF{0, 0, static_cast<float>(width), 100});
  });
  host.onAfterDraw([&](HWND, platform::gfx::Graphics&, int, int) { ++after; });
  host.redraw();
  EXPECT_EQ(after, 1);
  EXPECT_EQ(desk->pixel(w, 50, 50), 0xFFFFFF00u);
  host.repaintRegion({40, 40, 20, 20});
  EXPECT_EQ(desk->pixel(w, 50, 50), 0xFFFFFF00u);
  closeWindows();
}
