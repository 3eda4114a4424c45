// The focus look on every kind of control that Tab reaches, read back from the window
// image: there while the focus came from the keyboard, gone with the focus or a press.

#include <gtest/gtest.h>

#include <vector>

#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExEdit.h"
#include "ui/controls/ExImageButton.h"
#include "ui/controls/ExList.h"
#include "ui/controls/ExSlider.h"

using namespace controltest;
using platform::gfx::Argb;

namespace {

class FocusLook : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(300, 200, plainOptions());
  }
  // The two rings at a control's left edge, halfway down: a light pixel just inside a
  // much darker one.
  bool ringAt(const ui::controls::ExControl& c) const {
    const platform::gfx::RectF b = c.bounds();
    const int x = static_cast<int>(b.x), y = static_cast<int>(b.y + b.height / 2);
    const Argb outer = shown(x, y), inner = shown(x + 1, y);
    auto light = [](Argb v) { return ((v >> 16) & 0xFF) > 0xD0 && ((v >> 8) & 0xFF) > 0xD0 && (v & 0xFF) > 0xD0; };
    auto sum = [](Argb v) { return static_cast<int>(((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF)); };
    return light(inner) && sum(inner) - sum(outer) > 200;
  }
};

resources::ExImage solid(Argb colour) {
  resources::ExImage image;
  const testpictures::Bytes bytes = testpictures::encodeSolid("png", 8, 8, colour);
  image.LoadFromBytes(platform::system::ByteBlock(bytes.begin(), bytes.end()));
  return image;
}

TEST_F(FocusLook, EveryKindShowsItFromTheKeyboardAndDropsItWithTheFocusOrAPress) {
  ui::controls::ExImageButton button;
  ui::controls::ExSlider slider;
  ui::controls::ExList list;
  ui::controls::ExEdit edit;
  button.create(hwnd, {10, 10, 45, 45}, solid(0xFF3070C0u), std::nullopt, std::nullopt, 1);
  slider.create(hwnd, {70, 20, 120, 12});
  edit.create(hwnd, "text", {10, 70, 180, 30});
  list.create(hwnd, {200, 10, 90, 150});
  list.addColumn(0, "", 80);
  for (int r = 0; r < 20; ++r) list.addRow();
  window->redraw();
  const std::vector<ui::controls::ExControl*> all{&button, &slider, &edit, &list};
  for (ui::controls::ExControl* c : all) ASSERT_FALSE(ringAt(*c)) << c->id();

  if (!testpictures::exactPixels()) GTEST_SKIP() << "the focus ring is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  for (ui::controls::ExControl* c : all) {
    ASSERT_TRUE(window->focusControl(c->id()));
    desk->advance(500);  // past any fade
    for (ui::controls::ExControl* other : all) EXPECT_EQ(ringAt(*other), other == c) << c->id() << " " << other->id();
  }
  // An inactive window shows none; activated again, the look is back.
  desk->deactivateWindow(hwnd);
  desk->pump();
  EXPECT_FALSE(ringAt(list));
  desk->activateWindow(hwnd);
  desk->pump();
  EXPECT_TRUE(ringAt(list));
  // Keys moving the list's selection repaint rows; the look stays whole.
  desk->pressKey(hwnd, pw::VK_END);
  desk->pump();
  EXPECT_TRUE(ringAt(list));

  // A press moves the focus without the look.
  desk->click(hwnd, 30, 30);
  desk->pump();
  desk->advance(500);
  EXPECT_EQ(window->focusedControlId(), button.id());
  for (ui::controls::ExControl* c : all) EXPECT_FALSE(ringAt(*c)) << c->id();
  // Hiding the focused control drops the focus, so no key goes to what nobody sees.
  ASSERT_TRUE(window->focusControl(slider.id()));
  slider.visible(0);
  EXPECT_EQ(window->focusedControlId(), 0);
}

}  // namespace
