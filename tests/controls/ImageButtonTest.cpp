// Image buttons in a real window host on the headless desktop: which picture each
// occasion shows, the repeated-message and capture rules, the fade read back as blended
// pixels on the test clock, and missing or undecodable pictures.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExImageButton.h"

using namespace controltest;
using ui::controls::ExImageButton;
using platform::gfx::Argb;
using Look = ExImageButton::Look;

namespace {

constexpr Argb kRed = 0xFFFF0000;
constexpr Argb kGreen = 0xFF00FF00;
constexpr Argb kBlue = 0xFF0000FF;
constexpr Argb kYellow = 0xFFFFFF00;

resources::ExImage solid(Argb colour, int size = 8) {
  resources::ExImage image;
  const testpictures::Bytes bytes = testpictures::encodeSolid("png", size, size, colour);
  image.LoadFromBytes(platform::system::ByteBlock(bytes.begin(), bytes.end()));
  return image;
}

// Each channel of from blended towards to at level / 255.
Argb mixed(Argb from, Argb to, int level) {
  Argb out = 0xFF000000;
  for (int shift : {0, 8, 16}) {
    const int f = static_cast<int>((from >> shift) & 0xFF), t = static_cast<int>((to >> shift) & 0xFF);
    out |= static_cast<Argb>((f * (255 - level) + t * level + 127) / 255) << shift;
  }
  return out;
}

bool near(Argb a, Argb b, int tolerance = 2) {
  for (int shift : {0, 8, 16, 24}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

class ImageButtons : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(200, 120, plainOptions());
    window->onClick([this](HWND, int id, ui::ControlObject*, int kind) -> pw::LRESULT {
      clicks.push_back(id * 100 + kind);
      return 0;
    });
  }
  // Red, green and blue looks over (20, 20, 40, 40), scaled to the bounds.
  int makeButton(ExImageButton& b) { return b.create(hwnd, {20, 20, 40, 40}, solid(kRed), solid(kGreen), solid(kBlue), 1); }
  void move(int x, int y) {
    desk->mouseMove(hwnd, x, y);
    desk->pump();
  }
  // Lets a running fade finish.
  void settle() { desk->advance(400); }
  Argb centre() const { return shown(40, 40); }

  std::vector<int> clicks;
};

TEST_F(ImageButtons, EachOccasionShowsItsPictureAndThePressedOneStaysAfterRelease) {
  ExImageButton b;
  const int id = makeButton(b);
  EXPECT_EQ(centre(), kRed);
  move(40, 40);
  settle();
  EXPECT_EQ(b.look(), Look::Hover);
  EXPECT_EQ(centre(), kGreen);
  desk->mouseDown(hwnd, 40, 40);
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();
  settle();
  EXPECT_EQ(b.look(), Look::Pressed);
  EXPECT_EQ(centre(), kBlue);
  EXPECT_EQ(clicks, (std::vector<int>{id * 100 + ui::kKindImageButton}));
  desk->advance(2000);
  EXPECT_EQ(centre(), kBlue);
  // A move shows hover again, the pointer leaving shows normal.
  move(41, 40);
  settle();
  EXPECT_EQ(centre(), kGreen);
  move(150, 100);
  settle();
  EXPECT_EQ(b.look(), Look::Normal);
  EXPECT_EQ(centre(), kRed);
  // A repaint by the window also ends the pressed look.
  move(40, 40);
  desk->click(hwnd, 40, 40);
  desk->pump();
  settle();
  ASSERT_EQ(centre(), kBlue);
  window->redraw();
  EXPECT_EQ(b.look(), Look::Normal);
  EXPECT_EQ(centre(), kRed);
}

TEST_F(ImageButtons, ASecondMoveIsIgnoredAndAMoveWhileHeldKeepsThePressedLook) {
  ExImageButton b;
  makeButton(b);
  move(30, 30);
  const int presents = desk->presentCount(hwnd);
  desk->advance(80);
  EXPECT_EQ(b.fadeLevel(), 153);
  move(31, 30);
  EXPECT_EQ(b.fadeLevel(), 153);  // not started again
  EXPECT_EQ(desk->presentCount(hwnd), presents + 1);

  desk->mouseDown(hwnd, 40, 40);
  desk->pump();
  settle();
  move(45, 45);
  move(150, 100);  // off the button, still held
  move(40, 40);
  EXPECT_EQ(b.look(), Look::Pressed);
  EXPECT_EQ(centre(), kBlue);
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();
  EXPECT_EQ(b.look(), Look::Pressed);
}

TEST_F(ImageButtons, FadeBlendsInStepsOf51AndStopsTheTickAfterFull) {
  ExImageButton b;
  makeButton(b);
  desk->recordFrames(hwnd, true);
  move(40, 40);
  EXPECT_EQ(b.fadeLevel(), 102);
  Argb expected = mixed(kRed, kGreen, 102);
  EXPECT_TRUE(near(centre(), expected)) << std::hex << centre();
  for (int level : {153, 204, 255}) {
    desk->advance(80);
    EXPECT_EQ(b.fadeLevel(), level);
    expected = mixed(expected, kGreen, level);
    EXPECT_TRUE(near(centre(), expected)) << level << " " << std::hex << centre();
  }
  EXPECT_EQ(centre(), kGreen);
  desk->advance(80);
  EXPECT_EQ(b.fadeLevel(), 0);
  const std::size_t frames = desk->frames(hwnd).size();
  EXPECT_EQ(frames, 4u);  // the change and three steps
  desk->advance(1000);
  EXPECT_EQ(desk->frames(hwnd).size(), frames);
  // Only the button's area is pushed.
  for (const auto& f : desk->frames(hwnd)) {
    EXPECT_LE(f.dirty.right - f.dirty.left, 40);
    EXPECT_LE(f.dirty.bottom - f.dirty.top, 40);
  }
}

TEST_F(ImageButtons, AChangeDuringAFadeStartsAgainFromWhatIsShown) {
  ExImageButton b;
  makeButton(b);
  move(40, 40);
  desk->advance(80);  // hover at 153
  const Argb between = centre();
  desk->mouseDown(hwnd, 40, 40);
  desk->pump();
  EXPECT_EQ(b.fadeLevel(), 153);
  EXPECT_TRUE(near(centre(), mixed(between, kBlue, 153))) << std::hex << centre();
  desk->advance(80);
  EXPECT_EQ(b.fadeLevel(), 204);
  desk->advance(80);
  EXPECT_EQ(b.fadeLevel(), 255);
  EXPECT_EQ(centre(), kBlue);
  desk->advance(80);
  EXPECT_EQ(b.fadeLevel(), 0);
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();
}

TEST_F(ImageButtons, APressWhoseCaptureIsTakenAwayShowsNormalAndNeverClicks) {
  ExImageButton b;
  makeButton(b);
  move(40, 40);
  desk->mouseDown(hwnd, 40, 40);
  desk->pump();
  settle();
  ASSERT_EQ(centre(), kBlue);
  desk->deactivateWindow(hwnd);  // say a message box opened on the press
  desk->pump();
  settle();
  EXPECT_EQ(b.look(), Look::Normal);
  EXPECT_EQ(centre(), kRed);
  desk->activateWindow(hwnd);
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();
  EXPECT_TRUE(clicks.empty());
  // The pointer coming back over it shows hover as usual.
  move(41, 41);
  settle();
  EXPECT_EQ(centre(), kGreen);
}

TEST_F(ImageButtons, OccasionsThatKeepTheLookStartNoFade) {
  ExImageButton b;
  makeButton(b);
  move(40, 40);
  desk->mouseDown(hwnd, 40, 40);
  desk->pump();
  settle();
  ASSERT_EQ(b.fadeLevel(), 0);
  int presents = desk->presentCount(hwnd);
  desk->mouseUp(hwnd, 40, 40);  // pressed before, pressed after
  desk->pump();
  EXPECT_EQ(b.fadeLevel(), 0);
  settle();
  EXPECT_EQ(desk->presentCount(hwnd), presents);
  EXPECT_EQ(centre(), kBlue);

  // Released mid-fade, the press fade runs on undisturbed.
  desk->advance(1000);
  move(41, 41);
  settle();
  desk->mouseDown(hwnd, 40, 40);
  desk->pump();
  desk->advance(80);
  ASSERT_EQ(b.fadeLevel(), 204);
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();
  EXPECT_EQ(b.fadeLevel(), 204);
  desk->advance(80);
  EXPECT_EQ(b.fadeLevel(), 255);

  // The pointer leaves (normal, faded in); then the button loses the focus it took on the
  // press: still normal, so nothing is painted again.
  move(150, 100);
  settle();
  ASSERT_EQ(b.look(), Look::Normal);
  ASSERT_TRUE(b.isFocused());
  presents = desk->presentCount(hwnd);
  window->setFocusedControl(0);
  EXPECT_EQ(b.fadeLevel(), 0);
  settle();
  EXPECT_EQ(desk->presentCount(hwnd), presents);
  EXPECT_EQ(centre(), kRed);
}

TEST_F(ImageButtons, OnePictureServesEveryLookAndSetImagesKeepsWhatIsNotGiven) {
  ExImageButton single;
  single.create(hwnd, {20, 20, 40, 40}, solid(kYellow), std::nullopt, std::nullopt, 1);
  for (auto step : {0, 1, 2}) {
    if (step == 1) move(40, 40);
    if (step == 2) {
      desk->mouseDown(hwnd, 40, 40);
      desk->pump();
    }
    settle();
    EXPECT_EQ(centre(), kYellow) << step;
  }
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();

  single.setImages(solid(kRed), solid(kGreen));
  EXPECT_EQ(shown(40, 40), kRed);  // redrawn: normal
  move(150, 100);
  move(40, 40);
  settle();
  EXPECT_EQ(centre(), kGreen);
  desk->mouseDown(hwnd, 40, 40);
  desk->pump();
  settle();
  EXPECT_EQ(centre(), kYellow);  // the pressed picture was kept
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();
  single.setImages(solid(kRed), solid(kGreen), solid(kBlue));
  desk->mouseDown(hwnd, 40, 40);
  desk->pump();
  settle();
  EXPECT_EQ(centre(), kBlue);
  desk->mouseUp(hwnd, 40, 40);
  desk->pump();
}

TEST_F(ImageButtons, WithoutStretchThePictureKeepsItsSizeAtTheCorner) {
  ExImageButton natural, stretched;
  natural.create(hwnd, {20, 20, 40, 40}, solid(kRed, 10), std::nullopt, std::nullopt, 0);
  stretched.create(hwnd, {100, 20, 40, 40}, solid(kRed, 10), std::nullopt, std::nullopt, 1);
  EXPECT_EQ(shown(20, 20), kRed);
  EXPECT_EQ(shown(29, 29), kRed);
  EXPECT_EQ(shown(30, 30), kBackgroundArgb);
  EXPECT_EQ(shown(59, 59), kBackgroundArgb);
  EXPECT_EQ(shown(100, 20), kRed);
  EXPECT_EQ(shown(139, 59), kRed);
  EXPECT_EQ(shown(140, 60), kBackgroundArgb);
}

TEST_F(ImageButtons, MissingOrUndecodablePicturesDrawNothing) {
  const std::string junk = "\x89PNG but not really";
  resources::ExImage broken;
  broken.LoadFromBytes(platform::system::ByteBlock(junk.begin(), junk.end()));
  ExImageButton empty, bad;
  const int emptyId = empty.create(hwnd, {20, 20, 40, 40}, resources::ExImage{});
  bad.create(hwnd, {100, 20, 40, 40}, broken, resources::ExImage{}, std::nullopt, 1);
  ASSERT_NE(emptyId, 0);
  for (int x : {40, 120}) {
    move(x, 40);
    desk->click(hwnd, x, 40);
    desk->pump();
    desk->advance(400);
    EXPECT_EQ(shown(x, 40), kBackgroundArgb);
  }
  move(180, 110);
  desk->advance(400);
  EXPECT_EQ(shown(40, 40), kBackgroundArgb);
  EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(ImageButtons, DestroyingTheWindowMidFadeStopsItAndReleasesThePictures) {
  auto b = std::make_unique<ExImageButton>();
  makeButton(*b);
  move(40, 40);
  ASSERT_GT(b->fadeLevel(), 0);
  pw::DestroyWindow(hwnd);
  desk->advance(400);
  EXPECT_EQ(b->fadeLevel(), 0);
  EXPECT_EQ(b->normalImage().GetHandle(), nullptr);
  EXPECT_EQ(b->pressedImage().GetHandle(), nullptr);
}

}  // namespace
