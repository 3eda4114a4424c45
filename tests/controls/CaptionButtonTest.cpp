// Caption buttons of a real window host on the headless desktop: where they sit, their
// three looks on the composed image, and what their clicks do.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/controls/ControlTestSupport.h"
#include "ui/controls/ExCaptionButton.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/Framework.h"

using namespace controltest;
using ui::controls::ExCaptionButton;
using Look = ExCaptionButton::Look;

namespace {

struct Clicked {
  int id;
  int kind;
  int bit;
};

class CaptionButtons : public HostFixture {
 protected:
  // The caption button with this bit, from the host's list.
  const ui::ControlRecord* button(int bit) const {
    const ui::ControlList* list = ui::controlList(window->windowIndex());
    if (list == nullptr) return nullptr;
    for (const ui::ControlRecord& r : *list) {
      if (r.kind == ui::kKindCaptionButton && window->captionButtonBit(r.controlId) == bit) return &r;
    }
    return nullptr;
  }

  // Every pixel of the button shows the sprite cell over the background.
  void expectLook(int bit, Look look, bool restoreGlyph = false) {
    const ui::ControlRecord* r = button(bit);
    ASSERT_NE(r, nullptr) << bit;
    const platform::gfx::RectF cell = ExCaptionButton::spriteCell(bit, look, restoreGlyph);
    const resources::ExImage& sprite = ui::framework().captionSprite;
    int wrong = 0;
    for (int dy = 0; dy < static_cast<int>(r->bounds.height); ++dy) {
      for (int dx = 0; dx < static_cast<int>(r->bounds.width); ++dx) {
        const platform::gfx::Argb s = sprite.GetPixel(static_cast<int>(cell.x) + dx, dy);
        const platform::gfx::Argb got = shown(static_cast<int>(r->bounds.x) + dx, static_cast<int>(r->bounds.y) + dy);
        const unsigned a = s >> 24;
        for (int shift : {0, 8, 16}) {
          const unsigned over = (((s >> shift) & 0xFF) * a + ((kBackgroundArgb >> shift) & 0xFF) * (255 - a)) / 255;
          if (std::abs(static_cast<int>(over) - static_cast<int>((got >> shift) & 0xFF)) > 3) ++wrong;
        }
      }
    }
    EXPECT_EQ(wrong, 0) << "bit " << bit << " look " << static_cast<int>(look);
  }

  void centreOf(int bit, int& x, int& y) const {
    const ui::ControlRecord* r = button(bit);
    x = static_cast<int>(r->bounds.x + r->bounds.width / 2);
    y = static_cast<int>(r->bounds.y + r->bounds.height / 2);
  }

  void recordClicks() {
    window->onClick([this](HWND, int id, ui::ControlObject*, int kind) -> pw::LRESULT {
      clicks.push_back({id, kind, window->captionButtonBit(id)});
      return 0;
    });
  }

  std::vector<Clicked> clicks;
};

TEST_F(CaptionButtons, SitRightAlignedInTheirOrderWithTheirSizes) {
  openHost(296, 657, plainOptions(0x57));  // icon, title, close, minimise, skin
  struct Expected {
    int bit;
    float x, width;
  };
  for (const Expected& e : {Expected{ui::kCaptionClose, 249, 39}, Expected{ui::kCaptionMinimize, 221, 28},
                            Expected{ui::kCaptionSkin, 193, 28}}) {
    const ui::ControlRecord* r = button(e.bit);
    ASSERT_NE(r, nullptr) << e.bit;
    EXPECT_FLOAT_EQ(r->bounds.x, e.x) << e.bit;
    EXPECT_FLOAT_EQ(r->bounds.y, 6) << e.bit;
    EXPECT_FLOAT_EQ(r->bounds.width, e.width) << e.bit;
    EXPECT_FLOAT_EQ(r->bounds.height, 19) << e.bit;
    EXPECT_TRUE(r->takesPress);
    expectLook(e.bit, Look::Normal);
  }
  EXPECT_EQ(button(ui::kCaptionMaximize), nullptr);
  EXPECT_EQ(window->captionButtonBit(0), 0);
  EXPECT_EQ(window->captionButtonBit(999), 0);
  // The icon panel is a picture box at (6, 6) showing the window's icon.
  const ui::ControlList* list = ui::controlList(window->windowIndex());
  const auto panel = std::find_if(list->begin(), list->end(),
                                  [](const ui::ControlRecord& r) { return r.kind == ui::kKindPicture; });
  ASSERT_NE(panel, list->end());
  EXPECT_FLOAT_EQ(panel->bounds.x, 6);
  EXPECT_FLOAT_EQ(panel->bounds.width, 16);
}

TEST_F(CaptionButtons, ShowNormalHoverAndPressedLooks) {
  openHost(296, 200, plainOptions(0x14));  // close and minimise
  for (int bit : {ui::kCaptionClose, ui::kCaptionMinimize}) {
    int x, y;
    centreOf(bit, x, y);
    desk->mouseMove(hwnd, x, y);
    desk->pump();
    expectLook(bit, Look::Hover);
    desk->mouseDown(hwnd, x, y);
    desk->pump();
    expectLook(bit, Look::Pressed);
    // Dragged off while pressed: the normal look; back on: pressed again.
    desk->mouseMove(hwnd, 20, 100);
    desk->pump();
    expectLook(bit, Look::Normal);
    desk->mouseMove(hwnd, x, y);
    desk->pump();
    expectLook(bit, Look::Pressed);
    // Released elsewhere: no click, and the pointer left it.
    desk->mouseMove(hwnd, 20, 100);
    desk->mouseUp(hwnd, 20, 100);
    desk->pump();
    expectLook(bit, Look::Normal);
  }
  EXPECT_TRUE(pw::IsWindow(hwnd));
  EXPECT_FALSE(pw::IsIconic(hwnd));
}

TEST_F(CaptionButtons, ClicksReachTheCallbackWithKindOneAndTheirBit) {
  openHost(296, 200, plainOptions(0x57));
  recordClicks();
  int x, y;
  centreOf(ui::kCaptionSkin, x, y);
  desk->click(hwnd, x, y);
  desk->pump();
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].kind, ui::kKindCaptionButton);
  EXPECT_EQ(clicks[0].bit, ui::kCaptionSkin);
  EXPECT_TRUE(pw::IsWindow(hwnd));  // the application decides what the skin button does

  // Pressed on one button and released on another: nothing.
  int mx, my;
  centreOf(ui::kCaptionMinimize, mx, my);
  desk->mouseDown(hwnd, x, y);
  desk->mouseMove(hwnd, mx, my);
  desk->mouseUp(hwnd, mx, my);
  desk->pump();
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_FALSE(pw::IsIconic(hwnd));

  desk->click(hwnd, mx, my);
  desk->pump();
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[1].bit, ui::kCaptionMinimize);
  EXPECT_TRUE(pw::IsIconic(hwnd));
}

TEST_F(CaptionButtons, CloseClosesTheWindowAfterTheCallback) {
  openHost(296, 200, plainOptions(0x14));
  bool windowAliveInCallback = false;
  window->onClick([&](HWND h, int, ui::ControlObject*, int kind) -> pw::LRESULT {
    windowAliveInCallback = kind == ui::kKindCaptionButton && pw::IsWindow(h);
    return 0;
  });
  int x, y;
  centreOf(ui::kCaptionClose, x, y);
  desk->click(hwnd, x, y);
  desk->pump();
  EXPECT_TRUE(windowAliveInCallback);
  EXPECT_FALSE(pw::IsWindow(hwnd));
  EXPECT_FALSE(window->attached());
}

TEST_F(CaptionButtons, MaximiseTogglesAndShowsTheRestoreGlyphWhileMaximised) {
  ui::AttachOptions options = plainOptions();
  options.captionButtonSet.reset();  // the standard set for the style: with maximise
  openHost(296, 200, options, pw::WS_POPUP | pw::WS_MAXIMIZEBOX | pw::WS_MINIMIZEBOX);
  ASSERT_NE(button(ui::kCaptionMaximize), nullptr);
  int x, y;
  centreOf(ui::kCaptionMaximize, x, y);
  desk->click(hwnd, x, y);
  desk->pump();
  ASSERT_TRUE(pw::IsZoomed(hwnd));
  desk->mouseMove(hwnd, 5, 150);  // off the buttons
  desk->pump();
  const ui::ControlRecord* r = button(ui::kCaptionMaximize);
  pw::RECT client;
  pw::GetClientRect(hwnd, &client);
  EXPECT_FLOAT_EQ(r->bounds.y, 1);  // no margin while maximised
  EXPECT_FLOAT_EQ(r->bounds.x, static_cast<float>(client.right - 3 - 39 - 28));
  expectLook(ui::kCaptionMaximize, Look::Normal, true);
  centreOf(ui::kCaptionMaximize, x, y);
  desk->click(hwnd, x, y);
  desk->pump();
  EXPECT_FALSE(pw::IsZoomed(hwnd));
  desk->mouseMove(hwnd, 5, 150);
  desk->pump();
  expectLook(ui::kCaptionMaximize, Look::Normal, false);
}

}  // namespace
