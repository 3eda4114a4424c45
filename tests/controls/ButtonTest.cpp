// Push buttons in a real window host on the headless desktop: access keys as the window
// registers them, clicks from the mouse and the keyboard, the four looks read back from
// the shown pixels and the levels their fades start at.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExButton.h"

using namespace controltest;
using ui::controls::ButtonOptions;
using ui::controls::ExButton;
using platform::gfx::Argb;
using Look = ExButton::Look;

namespace {

ButtonOptions withRadius(int radius) {
  ButtonOptions o;
  o.cornerRadius = radius;
  return o;
}

ButtonOptions blackText() {
  ButtonOptions o;
  o.textColour = 0xFF000000;
  return o;
}

struct Clicked {
  int id;
  int kind;
};

class Buttons : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(240, 160, plainOptions());
    window->onClick([this](HWND, int id, ui::ControlObject*, int kind) -> pw::LRESULT {
      clicks.push_back({id, kind});
      return 0;
    });
  }

  void altKey(int key) {
    desk->keyDown(hwnd, pw::VK_MENU);
    desk->pressKey(hwnd, key);
    desk->keyUp(hwnd, pw::VK_MENU);
    desk->pump();
  }

  int clicksOf(int id) const {
    int n = 0;
    for (const Clicked& c : clicks) {
      if (c.id == id && c.kind == ui::kKindPushButton) ++n;
    }
    return n;
  }

  std::vector<Clicked> clicks;
};

TEST(AccessKeys, AreTheCharacterAfterTheFirstSingleAmpersand) {
  EXPECT_EQ(ExButton::accessKeyOf("\xB2\xA5\xB7\xC5(&P)"), 'P');  // "播放(&P)"
  EXPECT_EQ(ExButton::accessKeyOf("&yes"), 'Y');
  EXPECT_EQ(ExButton::accessKeyOf("Save && &quit"), 'Q');
  EXPECT_EQ(ExButton::accessKeyOf("&1"), '1');
  EXPECT_EQ(ExButton::accessKeyOf("OK"), 0);
  EXPECT_EQ(ExButton::accessKeyOf(""), 0);
  EXPECT_EQ(ExButton::accessKeyOf("end&"), 0);
  EXPECT_EQ(ExButton::accessKeyOf("a && b"), 0);
  EXPECT_EQ(ExButton::accessKeyOf("& x"), 0);
  EXPECT_EQ(ExButton::accessKeyOf("&\xB2\xA5"), 0);  // a Chinese character has no key
}

TEST_F(Buttons, AltAndTheAccessKeyClicksAndANewCaptionMovesTheKey) {
  ExButton play, plain;
  const int playId = play.create(hwnd, "\xB2\xA5\xB7\xC5(&P)", {20, 20, 84, 26});
  const int plainId = plain.create(hwnd, "Plain", {120, 20, 84, 26});
  ASSERT_NE(playId, 0);
  EXPECT_EQ(play.accessKey(), 'P');
  EXPECT_EQ(plain.accessKey(), 0);

  altKey('P');
  EXPECT_EQ(clicksOf(playId), 1);
  altKey('L');  // "Plain" has no "&", so no key
  EXPECT_EQ(clicksOf(plainId), 0);

  play.setCaption("&Stop");
  EXPECT_EQ(play.accessKey(), 'S');
  altKey('P');
  EXPECT_EQ(clicksOf(playId), 1);
  altKey('S');
  EXPECT_EQ(clicksOf(playId), 2);

  // A caption without a key takes the old one away.
  play.setCaption("Stop");
  EXPECT_EQ(play.accessKey(), 0);
  altKey('S');
  EXPECT_EQ(clicksOf(playId), 2);
}

TEST_F(Buttons, ADestroyedButtonTakesItsKeyAlongAndItsIdsNextOwnerIsNotClicked) {
  auto play = std::make_unique<ExButton>();
  const int playId = play->create(hwnd, "&Play", {20, 20, 84, 26});
  ASSERT_NE(playId, 0);
  play.reset();
  ExButton next;
  ASSERT_EQ(next.create(hwnd, "Next", {20, 20, 84, 26}), playId);  // the id is free again
  altKey('P');
  EXPECT_TRUE(clicks.empty());
  window->setFocusedControl(next.controlIndex());
  desk->pressKey(hwnd, 'P');
  desk->pump();
  EXPECT_TRUE(clicks.empty());
}

TEST_F(Buttons, MouseSpaceEnterAndTheBareKeyWhileFocusedClick) {
  ExButton ok, other;
  const int okId = ok.create(hwnd, "&OK", {20, 20, 70, 24});
  other.create(hwnd, "&Next", {120, 20, 70, 24});
  desk->click(hwnd, 50, 30);
  desk->pump();
  EXPECT_EQ(clicksOf(okId), 1);
  ASSERT_TRUE(ok.isFocused());
  desk->pressKey(hwnd, pw::VK_SPACE);
  desk->pressKey(hwnd, pw::VK_RETURN);
  desk->pressKey(hwnd, 'O');
  desk->pump();
  EXPECT_EQ(clicksOf(okId), 4);
  desk->pressKey(hwnd, 'N');  // the other button's key, without Alt, while this one has the focus
  desk->pump();
  EXPECT_EQ(clicks.size(), 4u);
}

TEST_F(Buttons, FourLooksAreDistinctOnTheScreen) {
  ExButton button, elsewhere;
  button.create(hwnd, "", {20, 20, 80, 30}, withRadius(4));
  elsewhere.create(hwnd, "", {140, 20, 80, 30});
  // Fill, frame and ring positions, each after its fade has ended.
  auto sample = [&] {
    desk->advance(400);
    return std::make_tuple(shown(30, 35), shown(20, 35), shown(22, 35));
  };
  const auto normal = sample();
  desk->mouseMove(hwnd, 60, 35);
  desk->pump();
  EXPECT_EQ(button.look(), Look::Hover);
  const auto hover = sample();
  desk->mouseDown(hwnd, 60, 35);
  desk->pump();
  EXPECT_EQ(button.look(), Look::Pressed);
  const auto pressed = sample();
  desk->mouseUp(hwnd, 60, 35);
  desk->mouseMove(hwnd, 5, 5);  // off both buttons: normal again, still focused
  desk->pump();
  ASSERT_TRUE(button.isFocused());
  EXPECT_EQ(button.look(), Look::Normal);
  const auto focused = sample();

  const std::set<std::tuple<Argb, Argb, Argb>> looks{normal, hover, pressed, focused};
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the focus ring is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_EQ(looks.size(), 4u);
  // Distinct enough to see: the fill or the ring differs by more than a shade.
  auto far = [](Argb a, Argb b) {
    for (int shift : {0, 8, 16}) {
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24) return true;
    }
    return false;
  };
  EXPECT_TRUE(far(std::get<0>(normal), std::get<0>(hover)) || far(std::get<1>(normal), std::get<1>(hover)));
  EXPECT_TRUE(far(std::get<0>(hover), std::get<0>(pressed)) || far(std::get<1>(hover), std::get<1>(pressed)));
  EXPECT_TRUE(far(std::get<2>(normal), std::get<2>(focused)));
  // Nothing spills out of the frame.
  EXPECT_EQ(shown(19, 35), kBackgroundArgb);
  EXPECT_EQ(shown(100, 35), kBackgroundArgb);
}

TEST_F(Buttons, FadesStartAt153ForHover204ForPressAndFocusNoneForAPlainRepaint) {
  ExButton a, b;
  a.create(hwnd, "A", {20, 20, 70, 24});
  b.create(hwnd, "B", {120, 20, 70, 24});
  desk->mouseMove(hwnd, 50, 30);
  desk->pump();
  EXPECT_EQ(a.fadeLevel(), 153);
  desk->advance(80);
  EXPECT_EQ(a.fadeLevel(), 204);
  desk->advance(80);
  EXPECT_EQ(a.fadeLevel(), 255);
  desk->advance(80);
  EXPECT_EQ(a.fadeLevel(), 0);
  const int presents = desk->presentCount(hwnd);
  desk->advance(800);
  EXPECT_EQ(desk->presentCount(hwnd), presents);  // the timer stopped

  desk->mouseDown(hwnd, 50, 30);
  desk->pump();
  EXPECT_EQ(a.fadeLevel(), 204);
  desk->mouseUp(hwnd, 50, 30);
  desk->pump();
  EXPECT_EQ(a.fadeLevel(), 204);
  desk->advance(400);

  // The pointer leaves: the focused button fades to its focused look, the other does not fade.
  desk->mouseMove(hwnd, 150, 30);
  desk->pump();
  EXPECT_EQ(a.look(), Look::Normal);
  EXPECT_EQ(a.fadeLevel(), 204);
  desk->mouseMove(hwnd, 5, 5);
  desk->pump();
  EXPECT_EQ(b.look(), Look::Normal);
  EXPECT_EQ(b.fadeLevel(), 0);
}

TEST_F(Buttons, TheFocusRingComingOrGoingChangesTheLook) {
  ExButton a;
  a.create(hwnd, "A", {20, 20, 70, 24});
  desk->advance(400);
  const Argb withoutRing = shown(22, 32);
  window->setFocusedControl(a.controlIndex());
  EXPECT_EQ(a.fadeLevel(), 204);
  desk->advance(400);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the focus ring is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_NE(shown(22, 32), withoutRing);
  window->setFocusedControl(0);
  desk->advance(400);
  EXPECT_EQ(shown(22, 32), withoutRing);
}

TEST_F(Buttons, ALockedButtonIgnoresThePointer) {
  ExButton button;
  const int id = button.create(hwnd, "&Locked", {20, 20, 70, 24});
  button.locked(1);
  desk->mouseMove(hwnd, 50, 30);
  desk->click(hwnd, 50, 30);
  desk->pump();
  EXPECT_EQ(button.look(), Look::Normal);
  EXPECT_EQ(clicksOf(id), 0);
}

TEST_F(Buttons, ASkinPictureAndTheCaptionShowInsideTheFrame) {
  ExButton skinned;
  skinned.create(hwnd, "", {20, 20, 60, 30}, withRadius(0));
  resources::ExImage red;
  ASSERT_TRUE(red.CreateBitmap(4, 4));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) red.GetHandle()->setPixel(x, y, 0xFFFF0000);
  }
  skinned.setSkinImage(red);
  EXPECT_EQ(shown(50, 35), 0xFFFF0000u);
  EXPECT_NE(shown(20, 35), 0xFFFF0000u);  // the frame stays visible around it

  ExButton captioned;
  captioned.create(hwnd, "Caption", {100, 20, 100, 30}, blackText());
  int dark = 0;
  for (int y = 22; y < 48; ++y) {
    for (int x = 102; x < 198; ++x) {
      if (((shown(x, y) >> 16) & 0xFF) < 60) ++dark;
    }
  }
  EXPECT_GT(dark, 15);
}

}  // namespace
