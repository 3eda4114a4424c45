// The host at device scales other than 1: surfaces in device pixels, drawing in units,
// whole-pixel repaints at fractional scales, and a scale that changes under a shown window.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tests/framework/HostTestSupport.h"

using namespace hosttest;

namespace {

std::vector<std::uint32_t> shownPixels(HeadlessBackend& desk, HWND w) {
  const PixelView v = desk.presented(w);
  std::vector<std::uint32_t> out;
  for (int y = 0; y < v.height; ++y) {
    for (int x = 0; x < v.width; ++x) out.push_back(v.at(x, y));
  }
  return out;
}

constexpr std::uint32_t kBackground = 0xFF102030u;

}  // namespace

TEST_F(HostTest, AtTwiceTheScaleAUnitIsTwoByTwoPixelsAndRepaintsPushUnits) {
  desk->setScale(2);
  HWND w = makeWindow(200, 150);
  ExWindow& host = attached(w);
  RecordingControl red(0xFFFF0000u);
  red.create(w, {20, 20, 40, 40});
  host.redraw();
  const PixelView shown = desk->presented(w);
  EXPECT_EQ(shown.width, 400);
  EXPECT_EQ(shown.height, 300);
  EXPECT_EQ(GetWindowScale(w), 2.0);
  EXPECT_EQ(desk->pixel(w, 39, 39), kBackground);
  EXPECT_EQ(desk->pixel(w, 40, 40), 0xFFFF0000u);
  EXPECT_EQ(desk->pixel(w, 119, 119), 0xFFFF0000u);
  EXPECT_EQ(desk->pixel(w, 120, 120), kBackground);

  desk->recordFrames(w, true);
  red.colour = 0xFF00FF00u;
  host.repaintRegion({20, 20, 40, 40});
  ASSERT_EQ(desk->frames(w).size(), 1u);
  EXPECT_EQ(desk->frames(w)[0].dirty, (RECT{20, 20, 60, 60}));
  EXPECT_EQ(desk->pixel(w, 40, 40), 0xFF00FF00u);
  EXPECT_EQ(desk->pixel(w, 120, 120), kBackground);
}

TEST_F(HostTest, AtOneAndAHalfARepaintOfAnyPartEqualsTheFullRedraw) {
  desk->setScale(1.5);
  HWND w = makeWindow(201, 151);
  ui::AttachOptions options = noCaption();
  options.captionButtonSet = ui::kCaptionTitle;
  ExWindow& host = attached(w, options);
  SetWindowTextA(w, "Scaled");
  // Edges on half pixels, and two controls that share a pixel column at 21 units.
  RecordingControl left(0xFFFF0000u), right(0x800000FFu);
  left.create(w, {3, 5, 18, 33});
  right.create(w, {21, 9, 13, 27});
  host.redraw();
  EXPECT_EQ(desk->presented(w).width, 302);  // ceil(201 * 1.5)
  const std::vector<std::uint32_t> full = shownPixels(*desk, w);
  for (const ui::RectI part : {ui::RectI{21, 9, 13, 27}, ui::RectI{3, 5, 18, 33}, ui::RectI{7, 3, 1, 1},
                               ui::RectI{0, 0, 201, 151}, ui::RectI{20, 20, 5, 5}}) {
    host.repaintRegion(part);
    const std::vector<std::uint32_t> now = shownPixels(*desk, w);
    int worst = 0;
    for (std::size_t i = 0; i < now.size(); ++i) {
      for (int shift = 0; shift < 32; shift += 8) {
        worst = std::max(worst, std::abs(static_cast<int>((now[i] >> shift) & 0xFF) - static_cast<int>((full[i] >> shift) & 0xFF)));
      }
    }
    // cairo may round a half-covered pixel one level apart under another clip; a seam
    // (the old pixel kept, or the neighbour's half lost) is a whole colour away.
    EXPECT_LE(worst, 1) << "repainting " << part.x << "," << part.y << " " << part.width << "x" << part.height;
  }
}

TEST_F(HostTest, AScaleChangeRedrawsTheShownWindowAtTheNewScale) {
  HWND w = makeWindow(100, 80);
  ExWindow& host = attached(w);
  RecordingControl red(0xFFFF0000u);
  red.create(w, {10, 10, 20, 20});
  host.redraw();
  ASSERT_EQ(desk->presented(w).width, 100);
  // A resize handled before the change is told takes the new scale already; the window
  // must still hear of it.
  desk->userResize(w, 120, 90);
  desk->changeScale(w, 2);
  desk->pump();
  EXPECT_EQ(GetWindowScale(w), 2.0);
  ASSERT_EQ(desk->presented(w).width, 240);
  EXPECT_EQ(desk->pixel(w, 19, 19), kBackground);
  EXPECT_EQ(desk->pixel(w, 20, 20), 0xFFFF0000u);
  EXPECT_EQ(desk->pixel(w, 59, 59), 0xFFFF0000u);
  EXPECT_EQ(desk->pixel(w, 60, 60), kBackground);
  // Units stay what they were: the window, its hit tests and its controls.
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 120);
  EXPECT_EQ(host.composedGraphics()->width(), host.composedSurface()->unitWidth());
}
