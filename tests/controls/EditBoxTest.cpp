// The edit box in a real window host on the headless desktop, driven like a person:
// typing through the window layer (keys and input-method text), mouse selection, the
// editing keys, the desktop clipboard, the caret's blinking and its pushes.

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/text/CodePage.h"
#include "platform/window/Caret.h"
#include "platform/window/DesktopServices.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ExEdit.h"

using namespace controltest;
using platform::text::utf8ToAnsi;
using ui::controls::EditOptions;
using ui::controls::ExEdit;

namespace {

const std::string kHan = utf8ToAnsi("汉");
constexpr platform::gfx::Argb kBoxColour = 0xFFFFFFFF;

class EditBox : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    openHost(300, 120, plainOptions());
  }

  // An opaque white box, so pixels tell the caret from the background.
  int make(ExEdit& box, const std::string& text = "", int mode = 0, ui::controls::RectF at = {20, 20, 200, 26}) {
    EditOptions options;
    options.mode = mode;
    options.backColor = kBoxColour;
    options.borderColor = 0;
    options.textColor = 0xFF000000;
    return box.create(hwnd, text, at, options);
  }
  // A click that cannot pair with the previous one into a double click.
  void clickAt(int x, int y) {
    desk->advance(1000);
    desk->click(hwnd, x, y);
    desk->pump();
  }
  void key(int vk) {
    desk->pressKey(hwnd, vk);
    desk->pump();
  }
  void withKey(int modifier, int vk) {
    desk->keyDown(hwnd, modifier);
    desk->pressKey(hwnd, vk);
    desk->keyUp(hwnd, modifier);
    desk->pump();
  }
  void type(const std::string& utf8) {
    desk->commitText(hwnd, utf8);
    desk->pump();
  }
  void sendChar(pw::WPARAM code) {
    pw::SendMessageA(hwnd, pw::WM_CHAR, code, 1);
  }
};

TEST_F(EditBox, TypedAndInputMethodTextLandsAsWholeCharacters) {
  ExEdit box;
  make(box);
  clickAt(30, 30);
  desk->typeKeys(hwnd, "a");
  type("汉");
  desk->typeKeys(hwnd, "b");
  desk->pump();
  EXPECT_EQ(box.text(), "a" + kHan + "b");
  EXPECT_EQ(box.characterCount(), 3);
  EXPECT_EQ(box.wideCount(), 1);

  key(pw::VK_LEFT);  // caret after the double-byte character
  key(pw::VK_BACK);
  EXPECT_EQ(box.text(), "ab");
  EXPECT_EQ(box.caret(), 1);

  type("周杰伦 abc");
  EXPECT_EQ(box.text(), "a" + utf8ToAnsi("周杰伦 abc") + "b");
  EXPECT_EQ(box.caret(), 8);

  // Delete removes the character after the caret.
  key(pw::VK_HOME);
  key(pw::VK_DELETE);
  EXPECT_EQ(box.text(), utf8ToAnsi("周杰伦 abc") + "b");
  EXPECT_EQ(box.caret(), 0);
  key(pw::VK_END);
  key(pw::VK_DELETE);
  EXPECT_EQ(box.text(), utf8ToAnsi("周杰伦 abc") + "b");
}

TEST_F(EditBox, HomeAndEndMoveOrExtendAndScrollTheCaretIntoView) {
  ExEdit box;
  make(box, "0123456789 0123456789 0123456789 0123456789 0123456789");
  clickAt(25, 30);
  key(pw::VK_END);
  const int count = box.characterCount();
  EXPECT_EQ(box.caret(), count);
  EXPECT_EQ(box.anchor(), count);
  EXPECT_LT(box.scroll(), 0);
  EXPECT_GE(box.caretX(), box.textRect().x);
  EXPECT_LE(box.caretX(), box.textRect().right());

  withKey(pw::VK_SHIFT, pw::VK_HOME);
  EXPECT_EQ(box.caret(), 0);
  EXPECT_EQ(box.anchor(), count);
  EXPECT_EQ(box.selectedText(), box.text());
  EXPECT_EQ(box.scroll(), 0);

  key(pw::VK_HOME);
  EXPECT_EQ(box.anchor(), 0);
  EXPECT_EQ(box.selectedText(), "");

  key(pw::VK_RIGHT);
  key(pw::VK_RIGHT);
  withKey(pw::VK_SHIFT, pw::VK_END);
  EXPECT_EQ(box.anchor(), 2);
  EXPECT_EQ(box.caret(), count);
  EXPECT_EQ(box.selectedText(), box.text().substr(2));
  withKey(pw::VK_SHIFT, pw::VK_LEFT);
  EXPECT_EQ(box.caret(), count - 1);
  EXPECT_EQ(box.anchor(), 2);
  key(pw::VK_LEFT);
  EXPECT_EQ(box.caret(), count - 2);
  EXPECT_EQ(box.anchor(), count - 2);
  EXPECT_GE(box.caretX(), box.textRect().x);
  EXPECT_LE(box.caretX(), box.textRect().right());
}

TEST_F(EditBox, MouseSelectsByDragAndByDoubleClickThenRelease) {
  ExEdit box;
  make(box, "hello world");
  clickAt(21, 30);
  EXPECT_EQ(box.caret(), 0);

  // Drag from the start to the far right: everything up to the end.
  desk->advance(1000);
  desk->mouseDown(hwnd, 22, 30);
  desk->mouseMove(hwnd, 60, 30);
  desk->mouseMove(hwnd, 280, 30);
  desk->mouseUp(hwnd, 280, 30);
  desk->pump();
  EXPECT_EQ(box.anchor(), 0);
  EXPECT_EQ(box.caret(), box.characterCount());
  EXPECT_EQ(box.selectedText(), "hello world");

  // A click inside collapses the selection where it lands, between characters.
  clickAt(static_cast<int>(box.textRect().x) + 1, 30);
  EXPECT_EQ(box.selectedText(), "");
  EXPECT_EQ(box.caret(), 0);

  desk->advance(1000);
  desk->doubleClick(hwnd, 40, 30);
  desk->pump();
  EXPECT_EQ(box.anchor(), 0);
  EXPECT_EQ(box.caret(), box.characterCount());
  EXPECT_EQ(box.selectedText(), "hello world");
  // The caret stands after the last character, where End puts it.
  const float end = box.caretX();
  EXPECT_GT(end, box.textRect().x);
  key(pw::VK_END);
  EXPECT_FLOAT_EQ(box.caretX(), end);

  // The hit test lands on the nearer edge of the character under the pointer.
  key(pw::VK_HOME);
  const float startX = box.caretX();
  key(pw::VK_RIGHT);
  const float afterFirst = box.caretX();
  clickAt(static_cast<int>(std::floor(startX + (afterFirst - startX) * 0.8f)), 30);
  EXPECT_EQ(box.caret(), 1);
  clickAt(static_cast<int>(std::ceil(startX + (afterFirst - startX) * 0.2f)), 30);
  EXPECT_EQ(box.caret(), 0);
}

TEST_F(EditBox, ClipboardFollowsTheModes) {
  ExEdit digits, secret, readOnly, plain;
  make(digits, "", 3, {10, 10, 120, 24});
  make(secret, "pass" + kHan, 2, {150, 10, 120, 24});
  make(readOnly, "fixed" + kHan, 1, {10, 60, 120, 24});
  make(plain, "", 0, {150, 60, 120, 24});

  pw::setClipboardText("a1b2" + kHan + "3\b4");
  clickAt(20, 20);
  withKey(pw::VK_CONTROL, 'V');
  EXPECT_EQ(digits.text(), "1234");

  // Password: nothing leaves the box.
  pw::setClipboardText("keep");
  clickAt(160, 20);
  withKey(pw::VK_CONTROL, 'A');
  EXPECT_EQ(secret.selectedText(), "pass" + kHan);
  withKey(pw::VK_CONTROL, 'C');
  withKey(pw::VK_CONTROL, 'X');
  EXPECT_EQ(pw::clipboardText(), "keep");
  EXPECT_EQ(secret.text(), "pass" + kHan);

  // Read-only: no edit of any kind changes it, but it copies.
  clickAt(20, 70);
  desk->typeKeys(hwnd, "zz");
  type("字");
  key(pw::VK_BACK);
  key(pw::VK_DELETE);
  withKey(pw::VK_CONTROL, 'V');
  withKey(pw::VK_CONTROL, 'A');
  withKey(pw::VK_CONTROL, 'X');
  EXPECT_EQ(readOnly.text(), "fixed" + kHan);
  withKey(pw::VK_CONTROL, 'C');
  EXPECT_EQ(pw::clipboardText(), "fixed" + kHan);
  EXPECT_EQ(desk->clipboardUtf8(), "fixed汉");

  // Cut and paste in a plain box go through the desktop's UTF-8.
  clickAt(160, 70);
  desk->setClipboardUtf8("周杰伦 abc");
  withKey(pw::VK_CONTROL, 'V');
  EXPECT_EQ(plain.text(), utf8ToAnsi("周杰伦 abc"));
  withKey(pw::VK_SHIFT, pw::VK_HOME);
  withKey(pw::VK_CONTROL, 'X');
  EXPECT_EQ(plain.text(), "");
  EXPECT_EQ(desk->clipboardUtf8(), "周杰伦 abc");
  // An empty selection copies nothing over what the clipboard holds.
  withKey(pw::VK_CONTROL, 'C');
  EXPECT_EQ(desk->clipboardUtf8(), "周杰伦 abc");
}

TEST_F(EditBox, PasswordShowsOneMarkPerByte) {
  ExEdit wide, twoNarrow, oneNarrow;
  make(wide, kHan, 2, {10, 10, 120, 24});
  make(twoNarrow, "ab", 2, {10, 40, 120, 24});
  make(oneNarrow, "a", 2, {10, 70, 120, 24});
  for (ExEdit* box : {&wide, &twoNarrow, &oneNarrow}) {
    clickAt(static_cast<int>(box->bounds().x) + 100, static_cast<int>(box->bounds().y) + 10);
    key(pw::VK_END);
  }
  const auto width = [](ExEdit& box) { return box.caretX() - box.textRect().x; };
  EXPECT_GT(width(oneNarrow), 0);
  EXPECT_FLOAT_EQ(width(wide), width(twoNarrow));
  EXPECT_NEAR(width(twoNarrow), 2 * width(oneNarrow), 1.0f);
}

TEST_F(EditBox, TheCaretShowsOnADarkBoxInTheTextsColour) {
  ExEdit box;
  EditOptions options;
  options.backColor = 0xFF000000;
  options.borderColor = 0;
  options.textColor = 0xC8FFFFFF;
  box.create(hwnd, "abc", {20, 20, 200, 26}, options);
  clickAt(100, 30);
  ASSERT_TRUE(box.caretOnScreen());
  const platform::gfx::RectI column = box.caretColumn();
  const platform::gfx::Argb caret = shown(column.x, column.y + column.height / 2);
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the caret is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  for (int shift : {0, 8, 16}) EXPECT_GT((caret >> shift) & 0xFF, 0xE0u) << std::hex << caret;
}

TEST_F(EditBox, CaretBlinksByPushingOnlyItsColumnAndStopsWithTheFocus) {
  ExEdit box, other;
  make(box, "abc");
  make(other, "xyz", 0, {20, 70, 200, 26});
  clickAt(100, 30);  // after the text
  ASSERT_TRUE(box.blinking());
  ASSERT_TRUE(box.caretOnScreen());
  const platform::gfx::RectI column = box.caretColumn();
  const int cx = column.x, cy = column.y + column.height / 2;
  if (!testpictures::exactPixels()) GTEST_SKIP() << "the caret is a one-pixel stroke: Wine's GDI+ strokes one-pixel lines a pixel right of and below their place";
  EXPECT_NE(shown(cx, cy), kBoxColour);
  // The input method is told where the caret is.
  const auto cursor = desk->inputCursor(hwnd);
  ASSERT_TRUE(cursor.has_value());
  EXPECT_EQ(cursor->left, cx);

  desk->recordFrames(hwnd, true);
  desk->advance(500);
  EXPECT_FALSE(box.caretOnScreen());
  EXPECT_EQ(shown(cx, cy), kBoxColour);
  desk->advance(500);
  EXPECT_TRUE(box.caretOnScreen());
  EXPECT_NE(shown(cx, cy), kBoxColour);
  const auto& frames = desk->frames(hwnd);
  ASSERT_EQ(frames.size(), 2u);
  for (const auto& frame : frames) {
    EXPECT_EQ(frame.dirty.right - frame.dirty.left, 1);
    EXPECT_EQ(frame.dirty.left, cx);
    EXPECT_LE(frame.dirty.bottom - frame.dirty.top, column.height);
  }
  desk->recordFrames(hwnd, false);

  // Deactivation hides it and stops the timer; activation restarts only the focused box.
  desk->deactivateWindow(hwnd);
  desk->pump();
  EXPECT_FALSE(box.caretOnScreen());
  EXPECT_FALSE(box.blinking());
  EXPECT_EQ(shown(cx, cy), kBoxColour);
  EXPECT_FALSE(desk->inputCursor(hwnd).has_value());
  desk->advance(2000);
  EXPECT_EQ(shown(cx, cy), kBoxColour);
  desk->activateWindow(hwnd);
  desk->pump();
  EXPECT_TRUE(box.blinking());
  EXPECT_FALSE(other.blinking());

  // Focus moving to the other box ends this one's blinking on its next tick at the latest.
  clickAt(100, 80);
  desk->advance(500);
  EXPECT_FALSE(box.blinking());
  EXPECT_FALSE(box.caretOnScreen());
  EXPECT_TRUE(other.blinking());
}

TEST_F(EditBox, BadInputNeitherCrashesNorCorruptsTheText) {
  ExEdit box;
  make(box, "ab");
  clickAt(100, 30);
  const auto lead = static_cast<unsigned char>(kHan[0]);
  // A lone lead byte, then a control key: the key acts, the lead never pairs later.
  sendChar(lead);
  sendChar(13);
  sendChar('c');
  EXPECT_EQ(box.text(), "abc");
  sendChar(lead);
  sendChar(8);
  EXPECT_EQ(box.text(), "ab");
  sendChar(lead);
  key(pw::VK_LEFT);
  sendChar(static_cast<unsigned char>(kHan[1]));
  EXPECT_EQ(box.text().find(static_cast<char>(lead)), std::string::npos);

  // Invalid UTF-8 on the desktop clipboard pastes something readable, nothing broken.
  box.text("");
  desk->setClipboardUtf8("ok\xff\xfe\xc3(x");
  withKey(pw::VK_CONTROL, 'V');
  EXPECT_EQ(box.text().substr(0, 2), "ok");
  EXPECT_EQ(box.characterCount(), static_cast<int>(box.text().size()) - box.wideCount());

  // A megabyte of text: the box takes what it can hold, in whole characters, at once.
  box.text("");
  std::string huge;
  for (int i = 0; i < 350000; ++i) huge += "汉a";
  desk->setClipboardUtf8(huge);
  withKey(pw::VK_CONTROL, 'V');
  EXPECT_GT(box.text().size(), 30000u);
  EXPECT_LE(box.text().size(), 32767u);
  EXPECT_EQ(box.text(), utf8ToAnsi(huge).substr(0, box.text().size()));
  key(pw::VK_END);
  EXPECT_LE(box.caretX(), box.textRect().right());

  // maxLength 1 with a double-byte character stores nothing half.
  box.text("");
  box.maxLength(1);
  type("汉");
  EXPECT_EQ(box.text(), "");
  desk->typeKeys(hwnd, "xy");
  desk->pump();
  EXPECT_EQ(box.text(), "x");
  box.maxLength(0);
  box.text("a" + kHan);
  box.maxLength(2);
  EXPECT_EQ(box.text(), "a");
}

}  // namespace

// At twice the scale the text is drawn at device resolution; the caret, the hit test and
// the selection measure the same layout, so they keep to the drawn glyphs.
TEST_F(EditBox, AScaleChangeLaysTheTextOutAgainForTheNewPixels) {
  // The text row in device pixels, but for the caret's column, which shows or not by the
  // blink's phase.
  const auto textPixels = [&](float caretX) {
    std::vector<std::uint32_t> row;
    for (int y = 2 * 22; y < 2 * 44; ++y) {
      for (int x = 2 * 20; x < 2 * 220; ++x) {
        if (x / 2 != static_cast<int>(caretX)) row.push_back(desk->pixel(hwnd, x, y));
      }
    }
    return row;
  };
  const std::string text = "Illustrative milliwatt willfully";
  auto box = std::make_unique<ExEdit>();
  make(*box, text);
  clickAt(30, 30);
  key(pw::VK_END);
  desk->changeScale(hwnd, 2);
  desk->pump();
  const float changedCaret = box->caretX();
  const std::vector<std::uint32_t> changed = textPixels(changedCaret);
  box.reset();
  // A box made at the new scale is what the changed one must look like.
  box = std::make_unique<ExEdit>();
  make(*box, text);
  clickAt(30, 30);
  key(pw::VK_END);
  EXPECT_EQ(box->caretX(), changedCaret);
  EXPECT_TRUE(changed == textPixels(box->caretX()));
}

class EditBoxAtTwice : public EditBox {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    desk->setScale(2);
    openHost(300, 120, plainOptions());
  }
  // The leftmost and rightmost device-pixel columns with ink in the box's text row.
  std::pair<int, int> ink(int fromPixel, int toPixel) const {
    int left = -1, right = -1;
    for (int x = fromPixel; x < std::min(toPixel, 2 * 218); ++x) {
      for (int y = 2 * 22; y < 2 * 44; ++y) {
        if ((desk->pixel(hwnd, x, y) & 0xFF) < 0x80) {
          if (left < 0) left = x;
          right = x;
          break;
        }
      }
    }
    return {left, right};
  }
};

TEST_F(EditBoxAtTwice, CaretHitTestAndSelectionKeepToTheGlyphsDrawnAtDeviceResolution) {
  ExEdit box;
  make(box, "hello world");
  clickAt(100, 30);
  ASSERT_EQ(desk->presented(hwnd).width, 600);
  key(pw::VK_END);
  const float end = box.caretX();
  key(pw::VK_HOME);
  for (int i = 0; i < 5; ++i) key(pw::VK_RIGHT);
  const float afterHello = box.caretX();
  // The caret moves with the glyphs: after "hello" it stands in the gap before "world",
  // and at the end just past the last ink. Pixels are half units here; the scans leave
  // out the caret's own column.
  const auto [helloLeft, helloRight] = ink(2 * 20, static_cast<int>(2 * afterHello));
  const auto [worldLeft, worldRight] = ink(static_cast<int>(2 * (afterHello + 1)), 2 * 220);
  ASSERT_GE(helloLeft, 0);
  ASSERT_GE(worldLeft, 0);
  EXPECT_LE(helloRight, 2 * afterHello);
  EXPECT_GT(worldLeft, 2 * afterHello);
  EXPECT_NEAR(2 * end, worldRight, 4.0f);

  // A click just inside "world" lands after the space, at the caret place measured above.
  clickAt(static_cast<int>(std::ceil(worldLeft / 2.0f)), 30);
  EXPECT_EQ(box.caret(), 6);
  const float afterSpace = box.caretX();
  // The selection of "world" is painted from that caret place to the end.
  withKey(pw::VK_SHIFT, pw::VK_END);
  ASSERT_EQ(box.selectedText(), "world");
  int first = -1, last = -1;
  for (int x = 2 * 20; x < 2 * 220; ++x) {
    const std::uint32_t p = desk->pixel(hwnd, x, 2 * 24);
    if ((p & 0xFF) > ((p >> 16) & 0xFF) + 40) {
      if (first < 0) first = x;
      last = x;
    }
  }
  EXPECT_NEAR(first, 2 * afterSpace, 2.0f);
  EXPECT_NEAR(last + 1, 2 * end, 2.0f);
}
