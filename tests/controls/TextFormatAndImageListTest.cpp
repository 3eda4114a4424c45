#include <gtest/gtest.h>

#include "tests/support/TestPictures.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/TextFormat.h"

using namespace ui;
namespace gfx = platform::gfx;

TEST(TextFormatTest, SettersNeedAFormatAndKeepValidValues) {
  TextFormat format;
  format.setAlign(gfx::kAlignFar);
  EXPECT_EQ(format.handle(), nullptr);
  EXPECT_EQ(format.align(), 0);

  format.createGenericTypographic();
  ASSERT_NE(format.handle(), nullptr);
  EXPECT_TRUE(format.handle()->typographic);
  format.setAlign(gfx::kAlignCenter);
  format.setFlags(gfx::kFlagNoWrap | gfx::kFlagMeasureTrailingSpaces);
  format.setTrimming(gfx::kTrimmingNone);
  format.setHotkeyPrefix(gfx::kHotkeyNone);
  format.setAlign(7);  // not an alignment: ignored
  EXPECT_EQ(format.align(), gfx::kAlignCenter);
  EXPECT_EQ(format.handle()->flags, 4096 | 2048);

  TextFormat copy = format;
  copy.setAlign(gfx::kAlignNear);
  EXPECT_EQ(format.align(), gfx::kAlignCenter);
  format.destroy();
  EXPECT_EQ(format.handle(), nullptr);
  EXPECT_EQ(copy.align(), gfx::kAlignNear);
}

TEST(ImageListTest, PicturesFromMemoryOutliveTheCallersBytes) {
  ExImageList list;
  list.create(45, 45);
  ASSERT_GT(list.handle(), 0);
  EXPECT_EQ(ImageListTable::instance().find(list.handle()), &list);
  {
    auto bytes = testpictures::encodeSolid("png", 10, 10, 0xFFFF0000);
    EXPECT_EQ(list.addFromMemory(bytes), 1);
    bytes.assign(bytes.size(), 0);  // the caller scribbles over and frees its copy
  }
  EXPECT_EQ(list.addFromMemory({1, 2, 3}), 2);  // holds its place, draws nothing
  EXPECT_EQ(list.addFromResource("sliderThumb"), 3);
  EXPECT_EQ(list.image(3)->width(), 14);
  EXPECT_EQ(list.addFromResource("no such picture"), 4);

  gfx::Surface s = gfx::Surface::create(40, 20);
  gfx::Graphics g(s);
  list.draw(0, g, 0, 0);
  list.draw(5, g, 0, 0);
  list.draw(2, g, 0, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(s.pixel(x, y), 0u);
  list.draw(1, g, 2, 3);
  EXPECT_EQ(s.pixel(2, 3), 0xFFFF0000u);
  EXPECT_EQ(s.pixel(11, 12), 0xFFFF0000u);
  EXPECT_EQ(s.pixel(12, 12), 0u);
  list.draw(1, g, 20, 0, 20.0f, 20.0f);
  EXPECT_EQ(s.pixel(39, 19), 0xFFFF0000u);

  list.clear();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.image(1), nullptr);
}

TEST(ImageListTest, TableForgetsDestroyedListsAndCopiesGetTheirOwn) {
  int handle = 0;
  {
    ExImageList list;
    list.create(26, 26);
    handle = list.handle();
    gfx::IconRecord icon;
    icon.width = 2;
    icon.height = 2;
    icon.colour = {0x80FF0000, 0xFFFF0000, 0xFFFF0000, 0x00FF0000};
    icon.mask.assign(2, 0);
    EXPECT_EQ(list.addFromIcon(icon), 1);
    EXPECT_EQ(list.image(1)->pixel(0, 0) >> 24, 0x80u);  // per-pixel alpha kept

    ExImageList copy(list);
    EXPECT_NE(copy.handle(), handle);
    EXPECT_EQ(ImageListTable::instance().find(copy.handle()), &copy);
    EXPECT_NE(copy.image(1), list.image(1));
    EXPECT_EQ(copy.cellWidth(), 26);
  }
  EXPECT_EQ(ImageListTable::instance().find(handle), nullptr);
  EXPECT_EQ(ImageListTable::instance().find(0), nullptr);
}
