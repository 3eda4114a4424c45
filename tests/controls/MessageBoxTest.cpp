// The message box on the headless desktop: its size for the text, its panel and icon,
// the owner's skin, and the owner being enabled again on every way out. The box's modal
// loop is driven by actions scheduled on the test clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "assets/EmbeddedArtwork.h"
#include "platform/gfx/Image.h"
#include "platform/text/CodePage.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExButton.h"
#include "ui/controls/ExLabel.h"
#include "ui/framework/Framework.h"
#include "ui/framework/MessageBox.h"

namespace {

namespace pw = platform::window;
using controltest::HostFixture;
using controltest::plainOptions;
using platform::gfx::Argb;

int red(Argb c) { return static_cast<int>((c >> 16) & 0xFF); }
int green(Argb c) { return static_cast<int>((c >> 8) & 0xFF); }
int blue(Argb c) { return static_cast<int>(c & 0xFF); }
int alpha(Argb c) { return static_cast<int>(c >> 24); }

struct Opened {
  pw::HWND box = nullptr;
  int width = 0, height = 0;
  pw::RECT rect;
  bool ownerEnabledWhileOpen = true;
};

class MessageBoxTest : public HostFixture {
 protected:
  // A framework owner with a plain colour background and a title and close button.
  pw::HWND openOwner(const platform::system::ByteBlock& picture = {}) {
    ui::AttachOptions options = plainOptions(ui::kCaptionTitle | ui::kCaptionClose);
    if (!picture.empty()) options.backgroundColour.reset();
    return openHost(296, 400, options, pw::WS_POPUP, picture);
  }

  // Shows a box; 50 ms after it is up, look(box) runs, then act(box) closes it.
  int show(pw::HWND owner, const std::string& text, int buttons, int icon, const std::function<void(pw::HWND)>& act,
           const std::function<void(pw::HWND)>& look = {}, int beep = 0) {
    opened = {};
    auto created = [&](pw::HWND box, int w, int h) {
      opened.box = box;
      opened.width = w;
      opened.height = h;
      pw::GetWindowRect(box, &opened.rect);
      desk->at(50, [&, owner, box] {
        if (owner != nullptr) opened.ownerEnabledWhileOpen = pw::IsWindowEnabled(owner);
        if (look) look(box);
        act(box);
      });
    };
    return ui::showMessageBox(owner, text, buttons, std::nullopt, icon, created, beep);
  }

  Argb boxPixel(pw::HWND box, int x, int y) {
    ui::ExWindow* host = ui::ExWindow::fromHandle(box);
    if (host == nullptr || host->composedSurface() == nullptr) return 0;
    return host->composedSurface()->pixel(x, y);
  }

  void escape(pw::HWND box) { desk->pressKey(box, pw::VK_ESCAPE); }

  // The box's push buttons from left to right, and its label.
  static std::vector<ui::controls::ExButton*> buttonsOf(pw::HWND box) {
    std::vector<ui::controls::ExButton*> out;
    if (const ui::ControlList* list = ui::controlList(ui::windowIndexOf(box))) {
      for (const ui::ControlRecord& r : *list) {
        if (r.kind == ui::kKindPushButton) out.push_back(dynamic_cast<ui::controls::ExButton*>(r.object));
      }
    }
    std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->bounds().x < b->bounds().x; });
    return out;
  }
  static ui::controls::ExLabel* labelOf(pw::HWND box) {
    if (const ui::ControlList* list = ui::controlList(ui::windowIndexOf(box))) {
      for (const ui::ControlRecord& r : *list) {
        if (r.kind == ui::kKindLabel) return dynamic_cast<ui::controls::ExLabel*>(r.object);
      }
    }
    return nullptr;
  }
  // Clicks the middle of a button.
  void press(pw::HWND box, const ui::controls::ExButton* button) {
    const ui::RectF b = button->bounds();
    desk->click(box, static_cast<int>(b.x + b.width / 2), static_cast<int>(b.y + b.height / 2));
  }

  Opened opened;
};

std::string ansi(const char* utf8) { return platform::text::utf8ToAnsi(utf8); }

// --- size and place ------------------------------------------------------------------------

TEST_F(MessageBoxTest, AShortTextKeepsTheBoxAtItsSizeInTheScreenCentre) {
  EXPECT_EQ(show(nullptr, ansi("短文本"), ui::kBoxOk, 0, [&](pw::HWND b) { escape(b); }), ui::kBoxCodeCancel);
  EXPECT_EQ(opened.width, 320);
  EXPECT_EQ(opened.height, 150);
  EXPECT_EQ(opened.rect.left, (1280 - 320) / 2);
  EXPECT_EQ(opened.rect.top, (800 - 150) / 2);
}

TEST_F(MessageBoxTest, AWideTextWidensTheBoxByItsMarginAndKeepsItCentred) {
  const std::string text(60, 'W');
  float natural = 0;
  show(nullptr, text, ui::kBoxOk, 0, [&](pw::HWND b) {
    ui::ExWindow* host = ui::ExWindow::fromHandle(b);
    ASSERT_NE(host, nullptr);
    natural = ui::measureText(host->composedGraphics(), text, ui::framework().defaultFont.get(), {30, 43, 0, 0}).width;
    escape(b);
  });
  ASSERT_GT(natural, 260);
  EXPECT_EQ(opened.width, static_cast<int>(natural) + 60);
  EXPECT_EQ(opened.height, 150);
  EXPECT_EQ(opened.rect.left, (1280 - opened.width) / 2);
  EXPECT_EQ(opened.rect.top, (800 - 150) / 2);
  // With an icon the margin is 120.
  show(nullptr, text, ui::kBoxOk, ui::kBoxIconWarning, [&](pw::HWND b) { escape(b); });
  EXPECT_EQ(opened.width, static_cast<int>(natural) + 120);
}

TEST_F(MessageBoxTest, TextRectangleFollowsTheLinesOfTheText) {
  const platform::gfx::Font* font = ui::framework().defaultFont.get();
  ASSERT_NE(font, nullptr);
  auto layoutOf = [&](const std::string& text, bool icon) {
    return ui::layoutMessageBox([&](ui::RectF in) { return ui::measureText(nullptr, text, font, in); }, icon,
                                {0, 0, 1280, 770});
  };
  const ui::BoxLayout one = layoutOf("one line", false);
  const ui::BoxLayout two = layoutOf("first line\r\nsecond line", false);
  EXPECT_EQ(one.text.y, 47);  // a single line sits 4 pixels lower
  if (!testpictures::exactPixels()) GTEST_SKIP() << "Wine's GDI+ measures only the lines wholly inside the layout rectangle";
  EXPECT_EQ(two.text.y, 43);
  EXPECT_EQ(one.text.x, 30);
  EXPECT_EQ(one.text.width, 260);
  EXPECT_EQ(layoutOf("one line", true).text.x, 85);
  EXPECT_EQ(layoutOf("one line", true).text.width, 200);
  EXPECT_EQ(layoutOf("", false).text.y, 47);

  // Six lines are taller than the 50 pixels of room: the box grows by the text's height.
  const std::string six = "1\r\n2\r\n3\r\n4\r\n5\r\n6";
  const float tall = ui::measureText(nullptr, six, font, {30, 43, 260, 50}).height;
  ASSERT_GT(tall, 50);
  const ui::BoxLayout grown = layoutOf(six, false);
  EXPECT_EQ(grown.height, static_cast<int>(tall) + 100);
  EXPECT_FLOAT_EQ(grown.text.height, tall + 5);
  EXPECT_EQ(grown.width, 320);
}

TEST_F(MessageBoxTest, AHugeTextGrowsTheBoxOnlyToTheWorkArea) {
  std::string huge;
  for (int i = 0; huge.size() < 10000; ++i) huge += ansi("很长的消息文本");  // 5 000 characters and more
  EXPECT_EQ(show(nullptr, huge, ui::kBoxOk, ui::kBoxIconError, [&](pw::HWND b) { escape(b); }), ui::kBoxCodeCancel);
  EXPECT_EQ(opened.width, 1280);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "Wine's GDI+ measures only the lines wholly inside the layout rectangle";
  EXPECT_EQ(opened.height, 770);
  EXPECT_GE(opened.rect.left, 0);
  EXPECT_GE(opened.rect.top, 0);
  EXPECT_LE(opened.rect.right, 1280);
  EXPECT_LE(opened.rect.bottom, 770);
  // A box that fits stays at the screen centre even where that is not the work area's.
  EXPECT_EQ(ui::placeMessageBox(320, 150, 1280, 800, {0, 30, 1280, 740}).y, 325);
  EXPECT_EQ(ui::placeMessageBox(400, 780, 1280, 800, {0, 30, 1280, 740}).y, 30);
}

// --- buttons and text ------------------------------------------------------------------------

TEST_F(MessageBoxTest, YesNoCancelShowsFromLeftToRightAndNoReturnsSix) {
  std::vector<std::string> captions, tags;
  std::vector<ui::RectF> placed;
  bool rightmostFocused = false;
  const int code = show(nullptr, "?", ui::kBoxCancelNoYes, 0, [&](pw::HWND b) {
    const auto buttons = buttonsOf(b);
    ASSERT_EQ(buttons.size(), 3u);
    for (auto* button : buttons) {
      captions.push_back(button->caption());
      tags.push_back(button->tag());
      placed.push_back(button->bounds());
    }
    rightmostFocused = buttons[2]->isFocused();
    press(b, buttons[1]);
  });
  EXPECT_EQ(code, ui::kBoxCodeNo);
  EXPECT_EQ(captions, (std::vector<std::string>{ansi("是"), ansi("否"), ansi("取消")}));
  EXPECT_EQ(tags, (std::vector<std::string>{"5", "6", "1"}));
  EXPECT_TRUE(rightmostFocused);
  ASSERT_EQ(placed.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(placed[static_cast<std::size_t>(i)].x, 320 - (233 - 75 * i)) << i;
    EXPECT_EQ(placed[static_cast<std::size_t>(i)].y, 150 - 36);
    EXPECT_EQ(placed[static_cast<std::size_t>(i)].width, 70);
    EXPECT_EQ(placed[static_cast<std::size_t>(i)].height, 24);
  }
}

TEST_F(MessageBoxTest, EverySetAnswersEachButtonsCodeAndEscapeWithOne) {
  for (int set = 0; set <= 5; ++set) {
    const std::array<int, 3> codes = ui::boxButtonCodes(set);
    const int count = static_cast<int>(std::count_if(codes.begin(), codes.end(), [](int c) { return c >= 0; }));
    for (int position = 1; position <= count; ++position) {
      const int code = show(nullptr, "x", set, 0, [&](pw::HWND b) {
        const auto buttons = buttonsOf(b);
        ASSERT_EQ(static_cast<int>(buttons.size()), count);
        press(b, buttons[static_cast<std::size_t>(count - position)]);  // position 1 is the rightmost
      });
      EXPECT_EQ(code, codes[static_cast<std::size_t>(position) - 1]) << "set " << set << " position " << position;
    }
    EXPECT_EQ(show(nullptr, "x", set, 0, [&](pw::HWND b) { escape(b); }), ui::kBoxCodeCancel) << "set " << set;
  }
  // The focused rightmost button answers Enter.
  EXPECT_EQ(show(nullptr, "x", ui::kBoxNoYes, 0, [&](pw::HWND b) { desk->pressKey(b, pw::VK_RETURN); }),
            ui::kBoxCodeNo);
}

TEST_F(MessageBoxTest, AResizeMovesTheButtonsToTheirResizedPlaces) {
  std::vector<float> before, after;
  show(nullptr, "x", ui::kBoxAbortRetryIgnore, 0, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) {
    for (auto* button : buttonsOf(b)) before.push_back(button->bounds().x);
    pw::MoveWindow(b, 100, 100, 400, 200, true);
    for (auto* button : buttonsOf(b)) {
      after.push_back(button->bounds().x);
      EXPECT_EQ(button->bounds().y, 200 - 36);
    }
  });
  EXPECT_EQ(before, (std::vector<float>{320 - 233, 320 - 158, 320 - 83}));
  EXPECT_EQ(after, (std::vector<float>{400 - 245, 400 - 165, 400 - 85}));
}

TEST_F(MessageBoxTest, TheLabelHoldsTheTextOverTheTextRectangle) {
  const pw::HWND owner = openOwner();
  const std::string text = ansi("两行文字\r\n第二行");
  ui::RectF twoLines, oneLine;
  std::string shown, tag;
  Argb colour = 0;
  show(owner, text, ui::kBoxOk, ui::kBoxIconInformation, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) {
    ui::controls::ExLabel* label = labelOf(b);
    ASSERT_NE(label, nullptr);
    twoLines = label->bounds();
    shown = label->text();
    tag = label->tag();
    colour = label->textColour();
  });
  show(owner, "one", ui::kBoxOk, ui::kBoxIconInformation, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) {
    ASSERT_NE(labelOf(b), nullptr);
    oneLine = labelOf(b)->bounds();
  });
  EXPECT_EQ(shown, text);
  EXPECT_EQ(tag, std::to_string(reinterpret_cast<std::uintptr_t>(owner)));
  EXPECT_EQ(colour, 0xD2000000u);
  EXPECT_EQ(twoLines.x, 85);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "Wine's GDI+ measures only the lines wholly inside the layout rectangle";
  EXPECT_EQ(twoLines.y, 43);
  EXPECT_EQ(oneLine.y, 47);
  EXPECT_EQ(oneLine.width, 200);
  EXPECT_EQ(oneLine.height, 50);
}

// --- the owner -----------------------------------------------------------------------------

enum class WayOut { Escape, CloseButton, DesktopClose, Quit };

class MessageBoxWayOutTest : public MessageBoxTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(MessageBoxWayOutTest, TheOwnerIsDisabledWhileOpenAndEnabledAfterwards) {
  const pw::HWND owner = openOwner();
  const int result = show(owner, ansi("确定要退出吗？"), ui::kBoxOk, ui::kBoxIconQuestion, [&](pw::HWND b) {
    switch (GetParam()) {
      case WayOut::Escape: escape(b); break;
      case WayOut::CloseButton: desk->click(b, opened.width - 28, 14); break;
      case WayOut::DesktopClose: desk->requestClose(b); break;
      case WayOut::Quit: pw::PostQuitMessage(7); break;
    }
  });
  EXPECT_EQ(result, ui::kBoxCodeCancel);
  EXPECT_FALSE(opened.ownerEnabledWhileOpen);
  EXPECT_TRUE(pw::IsWindowEnabled(owner));
  EXPECT_FALSE(pw::IsWindow(opened.box));
  EXPECT_EQ(ui::openMessageBox(), nullptr);
  // The owner takes input again.
  EXPECT_TRUE(pw::IsWindow(owner));
  bool quitPending = false;
  pw::MSG msg;
  while (!quitPending && pw::PeekMessageA(&msg, nullptr, 0, 0, pw::PM_REMOVE)) quitPending = msg.message == pw::WM_QUIT;
  // A quit that ended the box is handed on to the loop outside, with its code.
  EXPECT_EQ(quitPending, GetParam() == WayOut::Quit);
  if (quitPending) {
    EXPECT_EQ(msg.wParam, 7u);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, MessageBoxWayOutTest,
                         ::testing::Values(WayOut::Escape, WayOut::CloseButton, WayOut::DesktopClose, WayOut::Quit));

TEST_F(MessageBoxTest, OwnersThatAreNoFrameworkWindowOrNoWindowAtAll) {
  // No owner, and a handle that names no window: the box still shows and closes.
  EXPECT_EQ(show(nullptr, "x", ui::kBoxOk, 0, [&](pw::HWND b) { escape(b); }), ui::kBoxCodeCancel);
  EXPECT_NE(opened.box, nullptr);
  const pw::HWND bogus = reinterpret_cast<pw::HWND>(static_cast<std::uintptr_t>(0x7fff1234));
  EXPECT_EQ(show(bogus, "x", ui::kBoxOk, 0, [&](pw::HWND b) { escape(b); }), ui::kBoxCodeCancel);
  EXPECT_NE(opened.box, nullptr);

  // A plain window is disabled and enabled again, and lends no skin: the box keeps its blue.
  const pw::HWND plain = pw::CreateWindowExA(0, "ControlTestHost", "plain", pw::WS_POPUP, 0, 0, 100, 100, nullptr, nullptr);
  pw::ShowWindow(plain, pw::SW_SHOWNORMAL);
  Argb header = 0;
  show(plain, "x", ui::kBoxOk, 0, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) { header = boxPixel(b, 160, 8); });
  EXPECT_FALSE(opened.ownerEnabledWhileOpen);
  EXPECT_TRUE(pw::IsWindowEnabled(plain));
  EXPECT_GT(blue(header), red(header) + 100) << std::hex << header;
  pw::DestroyWindow(plain);
}

TEST_F(MessageBoxTest, AFrameworkOwnerLendsItsPictureAndColour) {
  const auto png = testpictures::encodeSolid("png", 296, 400, 0xFFD02010);
  const pw::HWND owner = openOwner(platform::system::ByteBlock(png.begin(), png.end()));
  Argb header = 0;
  show(owner, "x", ui::kBoxOk, 0, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) {
    header = boxPixel(b, 160, 8);
    const ui::ExWindow* host = ui::ExWindow::fromHandle(b);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->backgroundColour(), window->backgroundColour());
    EXPECT_EQ(host->backgroundMode(), window->backgroundMode());
    EXPECT_EQ(host->backgroundImage().GetWidth(), 296);
  });
  EXPECT_GT(red(header), blue(header) + 100) << std::hex << header;
  // The owner keeps its own picture.
  EXPECT_EQ(window->backgroundImage().GetWidth(), 296);
}

TEST_F(MessageBoxTest, ABoxOpenedInsideAnotherKeepsTheSharedOwnerDisabledUntilBothClose) {
  const pw::HWND owner = openOwner();
  pw::HWND outer = nullptr, inner = nullptr;
  bool ownerEnabledBetween = true;
  int innerResult = -1;
  const int outerResult = show(owner, "outer", ui::kBoxOk, 0, [&](pw::HWND b) {
    outer = b;
    innerResult = ui::showMessageBox(owner, "inner", ui::kBoxNoYes, std::nullopt, 0, [&](pw::HWND i, int, int) {
      inner = i;
      desk->at(50, [&] {
        EXPECT_EQ(ui::openMessageBox(), inner);
        press(inner, buttonsOf(inner).at(0));  // yes
      });
    });
    ownerEnabledBetween = pw::IsWindowEnabled(owner);
    EXPECT_TRUE(pw::IsWindow(outer));
    EXPECT_EQ(ui::openMessageBox(), outer);
    escape(outer);
  });
  EXPECT_NE(inner, outer);
  EXPECT_EQ(innerResult, ui::kBoxCodeYes);
  // Each box answers for itself: the inner box's yes is not the outer one's.
  EXPECT_EQ(outerResult, ui::kBoxCodeCancel);
  EXPECT_FALSE(ownerEnabledBetween);
  EXPECT_TRUE(pw::IsWindowEnabled(owner));
}

// --- look ------------------------------------------------------------------------------------

TEST_F(MessageBoxTest, PanelBandsOverTheBoxColourOnAnOpaqueWindow) {
  Argb outside = 1, header = 0, body = 0, footerTop = 0, footerBottom = 0;
  long exStyle = 0;
  std::vector<std::uint32_t> screen;
  show(nullptr, "", ui::kBoxOk, 0, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) {
    const int h = opened.height;
    outside = boxPixel(b, 2, 75);
    header = boxPixel(b, 160, 7);
    body = boxPixel(b, 160, 90);
    footerTop = boxPixel(b, 160, h - 37);
    footerBottom = boxPixel(b, 160, h - 7);
    exStyle = pw::GetWindowLongA(b, pw::GWL_EXSTYLE);
    for (int y = 0; y < h; y += 7) {
      for (int x = 0; x < opened.width; x += 7) screen.push_back(desk->pixel(b, x, y));
    }
  });
  EXPECT_EQ(alpha(outside), 0);
  // The window shows all of it opaque: nothing of the desktop shows through, and what the
  // window alpha left translucent (the rounded corners most of all) lies over black.
  EXPECT_EQ(exStyle & static_cast<long>(pw::WS_EX_LAYERED), 0);
  ASSERT_FALSE(screen.empty());
  for (std::uint32_t p : screen) EXPECT_EQ(p >> 24, 0xFFu) << std::hex << p;
  EXPECT_EQ(screen.front(), 0xFF000000u);
  // The header and the footer's foot fade to the blue of the box; the body is near white.
  EXPECT_GT(blue(header), red(header) + 100) << std::hex << header;
  EXPECT_GT(blue(footerBottom), red(footerBottom) + 100) << std::hex << footerBottom;
  EXPECT_GT(red(body), 190) << std::hex << body;
  EXPECT_GT(green(body), 200) << std::hex << body;
  EXPECT_GT(alpha(body), 230) << std::hex << body;
  EXPECT_GT(red(footerTop), 150) << std::hex << footerTop;
}

TEST_F(MessageBoxTest, IconCellsAndBeeps) {
  const auto png = assets::messageIconStripPng();
  const auto strip = platform::gfx::Image::fromBytes(png);
  ASSERT_TRUE(strip);
  struct Case {
    int icon;
    int cellX;
    int beep;
  };
  for (const Case c : {Case{ui::kBoxIconQuestion, 80, 0}, Case{ui::kBoxIconError, 0, 1}, Case{ui::kBoxIconWarning, 40, 1},
                       Case{ui::kBoxIconInformation, 120, 1}, Case{ui::kBoxIconSuccess, 160, 0}, Case{0x99, 0, 0}}) {
    const std::size_t beepsBefore = desk->beeps().size();
    int same = 0, opaque = 0;
    show(nullptr, "x", ui::kBoxOk, c.icon, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) {
      // Every opaque pixel of the cell shows unchanged at (30, 40).
      for (int y = 0; y < 40; y += 3) {
        for (int x = 0; x < 40; x += 3) {
          const Argb want = strip->surface().pixel(c.cellX + x, y);
          if (alpha(want) < 255) continue;
          ++opaque;
          same += boxPixel(b, 30 + x, 40 + y) == want;
        }
      }
      EXPECT_EQ(static_cast<int>(pw::GetPropA(b, ui::kMessageBoxProperty)), c.icon);
    }, c.beep);
    EXPECT_GT(opaque, 20) << c.icon;
    EXPECT_EQ(same, opaque) << c.icon;
    const std::size_t beeps = desk->beeps().size() - beepsBefore;
    EXPECT_EQ(beeps, c.beep ? 1u : 0u) << c.icon;
    if (beeps == 1) {
      EXPECT_EQ(desk->beeps().back(), static_cast<pw::UINT>(c.icon));
    }
  }
  // No icon: no beep, and the cell's place shows the panel.
  const std::size_t before = desk->beeps().size();
  Argb at = 0;
  show(nullptr, "x", ui::kBoxOk, 0, [&](pw::HWND b) { escape(b); }, [&](pw::HWND b) { at = boxPixel(b, 35, 60); }, 1);
  EXPECT_EQ(desk->beeps().size(), before);
  EXPECT_GT(red(at), 190) << std::hex << at;
}

}  // namespace
