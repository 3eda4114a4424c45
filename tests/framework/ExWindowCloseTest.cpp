// Close effects, read back from the headless frame log. A few frames of each are written
// to close-effects/ under the test's temporary folder for a person to look at.

#include <cstdio>
#include <filesystem>

#include "tests/framework/HostTestSupport.h"
#include "tests/support/TestPictures.h"

using namespace hosttest;

namespace {

std::uint64_t totalAlpha(const platform::gfx::Surface& s) {
  std::uint64_t sum = 0;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) sum += s.rawPixel(x, y) >> 24;
  }
  return sum;
}

void save(const platform::gfx::Surface& s, int kind, std::size_t frame) {
  const std::string folder = ::testing::TempDir() + "close-effects";
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/effect" + std::to_string(kind) + "-frame" + std::to_string(frame) + ".png";
  testpictures::saveSurface(s, path);
  if (kind == 1 && frame == 0) std::printf("close effect frames: %s\n", folder.c_str());
}

}  // namespace

TEST_F(HostTest, CloseEffectsFadeTheWindowAwayWithinAFewTenthsOfASecond) {
  const std::size_t expectedFrames[] = {0, 25, 20, 24, 24, 24, 24};
  for (int kind = 1; kind <= 6; ++kind) {
    HWND w = makeWindow(150, 200);
    SetWindowTextA(w, "Closing");
    ui::AttachOptions o = noCaption();
    o.captionButtonSet = 2;
    o.backgroundColour = 0x00A06030;
    ExWindow& host = attached(w, o);
    RecordingControl red(0xFFE04040u), green(0xFF40C040u);
    red.create(w, {20, 40, 60, 60});
    green.create(w, {70, 110, 60, 70});
    host.redraw();
    host.setCloseEffect(kind);
    // Refuse the close itself, so the frames stay readable afterwards.
    host.setMessageHook([](HWND, UINT m, WPARAM, LPARAM) -> LRESULT { return m == WM_CLOSE ? 0 : -1; });
    desk->recordFrames(w, true);
    const std::int64_t start = desk->now();
    desk->requestClose(w);
    desk->pump();
    const auto& frames = desk->frames(w);
    // The effect's frames, one fully transparent frame, then the refused close shows it again.
    ASSERT_EQ(frames.size(), expectedFrames[kind] + 2) << kind;
    EXPECT_LE(frames[frames.size() - 2].clockMs - start, 400) << kind;
    EXPECT_EQ(totalAlpha(frames[frames.size() - 2].image), 0u) << kind;
    EXPECT_EQ(frames.back().image.rawPixel(75, 100), desk->pixel(w, 75, 100));
    EXPECT_EQ(desk->pixel(w, 30, 50), 0xFFE04040u);
    std::uint64_t previous = UINT64_MAX;
    for (std::size_t i = 0; i + 2 < frames.size(); ++i) {
      const std::uint64_t now = totalAlpha(frames[i].image);
      EXPECT_LE(now, previous) << kind << " frame " << i;
      previous = now;
    }
    EXPECT_LT(previous, totalAlpha(frames.front().image)) << kind;
    if (kind == 1) {
      for (std::size_t i = 0; i < 25; ++i) {
        EXPECT_EQ(frames[i].image.rawPixel(30, 50) >> 24, 255u - 10u * i) << i;
      }
    }
    const std::size_t n = expectedFrames[kind];
    for (std::size_t i : {std::size_t{0}, n / 3, 2 * n / 3, n - 1}) save(frames[i].image, kind, i);
    closeWindows();
  }
}
