// The main window's start from its files: missing or damaged pictures leave buttons and
// background empty but everything else works; the 20 controls land in their places.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/MainWindowControls.h"
#include "app/MainWindowStart.h"
#include "app/MainWindowTabs.h"
#include "platform/text/CodePage.h"
#include "resources/ResourcePackageWriter.h"
#include "tests/support/TestPictures.h"
#include "tests/app/MainWindowFixture.h"

namespace apptest {
namespace {

using MainWindowStart = MainWindowFixture;

int controlCount(const app::MainWindowParts& parts) {
  const ui::ControlList* list = ui::controlList(parts.host.windowIndex());
  return list == nullptr ? 0 : static_cast<int>(list->size());
}

TEST_F(MainWindowStart, AMissingOrDamagedPackageGivesNoPicturesButEveryControl) {
  audio::AudioEngine engine;
  EXPECT_EQ(app::LoadButtonImages(*parts, engine, folder() + "/missing.rdb"), 0);

  std::string damaged = buttonPackage(30);
  damaged[damaged.size() / 2] ^= 0x5A;
  EXPECT_EQ(app::LoadButtonImages(*parts, engine, writeFile("damaged.rdb", damaged)), 0);
  EXPECT_EQ(app::LoadButtonImages(*parts, engine, writeFile("empty.rdb", "")), 0);
  EXPECT_EQ(app::LoadButtonImages(*parts, engine, writeFile("noise.rdb", std::string(5000, '\x7f'))), 0);

  buildWindow();
  EXPECT_GE(controlCount(*parts), 20);
  EXPECT_EQ(pictureIndex(parts->playPause.normalImage()), -1);
  // Showing, hovering and repainting buttons without pictures is harmless.
  parts->host.redraw();
  desk->mouseMove(hwnd, 140, 150);
  desk->click(hwnd, 150, 230);
  desk->advance(500);
  EXPECT_TRUE(pw::IsWindow(hwnd));
}

TEST_F(MainWindowStart, AShortPackageFillsTheEntriesItHolds) {
  audio::AudioEngine engine;
  EXPECT_EQ(app::LoadButtonImages(*parts, engine, writeFile("short.rdb", buttonPackage(5))), 5);
  buildWindow();
  EXPECT_EQ(pictureIndex(parts->next.normalImage()), -1);
  EXPECT_EQ(pictureIndex(parts->previous.normalImage()), 3);
}

// 30 pictures at 1x, then the same 30 at twice the pixels in another colour.
std::string bothScalesPackage() {
  std::vector<platform::system::ByteBlock> entries;
  for (int twice = 1; twice <= 2; ++twice) {
    for (int i = 0; i < 30; ++i) {
      entries.push_back(testpictures::encodeSolid("png", twice, twice * (i + 1), twice == 1 ? 0xFF000010u : 0xFF000020u));
    }
  }
  return resources::PackResourceEntries(entries).value();
}

TEST_F(MainWindowStart, AboveScaleOneTheTwiceScaleSetAndSkinAreTakenWhenThereAreAny) {
  const std::string both = writeFile("both.rdb", bothScalesPackage());
  audio::AudioEngine engine;
  for (const double scale : {1.0, 1.5, 2.0}) {
    ASSERT_EQ(app::LoadButtonImages(*parts, engine, both, scale), 30);
    const platform::gfx::Image& picture = *parts->buttonImages[4].GetHandle();
    EXPECT_EQ(picture.scale(), scale > 1 ? 2.0 : 1.0) << scale;
    EXPECT_EQ(picture.height(), 5) << scale;  // in units, whichever set
    EXPECT_EQ(picture.pixel(0, 4), scale > 1 ? 0xFF000020u : 0xFF000010u) << scale;
  }
  // A package of the 1x set alone gives it at any scale.
  ASSERT_EQ(app::LoadButtonImages(*parts, engine, writeFile("once.rdb", buttonPackage(30)), 2), 30);
  EXPECT_EQ(parts->buttonImages[4].GetHandle()->scale(), 1.0);

  const std::string skin = writeFile("skin.png", "once");
  EXPECT_EQ(app::ReadPictureForScale(skin, 2).scale, 1.0);
  writeFile("skin@2x.png", "twice");
  const app::ScaledPicture sharp = app::ReadPictureForScale(skin, 2);
  EXPECT_EQ(std::string(sharp.bytes.begin(), sharp.bytes.end()), "twice");
  EXPECT_EQ(sharp.scale, 2.0);
  EXPECT_EQ(app::ReadPictureForScale(skin, 1).bytes.size(), 4u);
}

TEST_F(MainWindowStart, AScaleChangeGivesButtonsAndSkinTheSetForTheNewScaleAndBackAgain) {
  const std::string both = writeFile("both.rdb", bothScalesPackage());
  const auto once = testpictures::encodeSolid("png", 296, 657, 0xFF306090u);
  const std::string skin = writeFile("skin.png", std::string(once.begin(), once.end()));
  const auto twice = testpictures::encodeSolid("png", 592, 1314, 0xFF903060u);
  writeFile("skin@2x.png", std::string(twice.begin(), twice.end()));
  audio::AudioEngine engine;
  app::LoadButtonImages(*parts, engine, both, 1);
  buildWindow(app::ReadPictureForScale(skin, 1).bytes);
  app::ClickTab2(*parts);  // looks that differ from the ones the buttons were made with
  const std::uint32_t shownAtOnce = desk->pixel(hwnd, 150, 630);

  for (const double scale : {2.0, 1.0}) {
    desk->changeScale(hwnd, scale);
    desk->pump();
    app::ReloadForScale(*parts, engine, both, skin, scale);
    for (const auto& [image, entry] : {std::pair{&parts->tab2.normalImage(), 12}, {&parts->tab1.normalImage(), 9},
                                       {&parts->tab1.hoverImage(), 10}, {&parts->playPause.pressedImage(), 2}}) {
      EXPECT_EQ(pictureIndex(*image), entry) << scale;
      EXPECT_EQ(image->GetHandle()->scale(), scale) << scale;
    }
    EXPECT_EQ(desk->pixel(hwnd, static_cast<int>(124 * scale), static_cast<int>(130 * scale)) & 0xFFFFFFu, scale > 1 ? 0x20u : 0x10u);
    EXPECT_EQ(parts->host.backgroundImage().GetHandle()->scale(), scale);
    const std::uint32_t skinShown = desk->pixel(hwnd, static_cast<int>(150 * scale), static_cast<int>(630 * scale));
    if (scale > 1) EXPECT_NE(skinShown, shownAtOnce);
    else EXPECT_EQ(skinShown, shownAtOnce);  // back to 1x exactly as at the start
  }
}

TEST_F(MainWindowStart, AMissingOrUndecodableSkinGivesAPlainBackground) {
  for (const platform::system::ByteBlock& skin :
       {platform::system::ByteBlock{}, platform::system::ByteBlock(300, 0x89)}) {
    buildWindow(skin);
    EXPECT_GE(controlCount(*parts), 20);
    EXPECT_EQ(parts->host.backgroundImage().GetHandle(), nullptr);
    parts->host.redraw();
    desk->pump();
    EXPECT_NE(desk->presentCount(hwnd), 0);
    pw::DestroyWindow(hwnd);
    parts = std::make_unique<app::MainWindowParts>();
  }
  EXPECT_TRUE(app::ReadSkinPicture(folder() + "/missing.png").empty());
}

TEST_F(MainWindowStart, ControlsTakeTheirPlacesKindsAndSettings) {
  buildWindow({}, 150);
  EXPECT_EQ(parts->volumeSlider.value(), 100.0f);  // a stored value beyond 100 is clamped
  EXPECT_EQ(parts->volumeSlider.secondValue(), 100.0f);
  EXPECT_EQ(parts->positionSlider.value(), 0.0f);

  struct Place {
    const ui::controls::ExControl& control;
    int x, y, width, height;
  };
  for (const Place& p : {Place{parts->playPause, 124, 130, 45, 45}, Place{parts->tab3, 196, 216, 95, 35},
                         Place{parts->volumeIcon, 215, 143, 22, 22}, Place{parts->searchButton, 260, 188, 30, 27},
                         Place{parts->searchBox, 6, 186, 285, 30}, Place{parts->resultList, 7, 251, 283, 350},
                         Place{parts->presetList, 8, 283, 280, 350}, Place{parts->lengthLabel, 240, 113, 35, 22}}) {
    const ui::controls::RectF b = p.control.bounds();
    EXPECT_EQ(b.x, p.x);
    EXPECT_EQ(b.y, p.y);
    EXPECT_EQ(b.width, p.width);
    EXPECT_EQ(b.height, p.height);
  }
  EXPECT_EQ(parts->resultList.columnCount(), 2);
  EXPECT_EQ(parts->resultList.columnWidth(1), 170);
  EXPECT_EQ(parts->resultList.columnWidth(2), 80);
  EXPECT_EQ(parts->presetList.columnWidth(1), 250);
  EXPECT_EQ(parts->resultList.style().imageList.value_or(0), parts->resultImages.handle());
  EXPECT_EQ(parts->presetList.style().imageList.value_or(0), parts->presetImages.handle());
  EXPECT_EQ(parts->resultList.style().gridFlags.value_or(-1), 0);  // no separator lines
  EXPECT_EQ(parts->presetImages.cellWidth(), 45);
  EXPECT_EQ(parts->resultImages.cellHeight(), 26);
  EXPECT_EQ(parts->searchBox.text(), platform::text::utf8ToAnsi("请输入歌曲/歌手名"));

  // The volume icon goes beneath every other control, the search box beneath the caption
  // buttons only; the lists, made last, stay on top of it.
  const ui::ControlList& list = *ui::controlList(parts->host.windowIndex());
  EXPECT_EQ(list.front().controlId, parts->volumeIcon.id());
  EXPECT_LT(parts->searchBox.controlIndex(), parts->playPause.controlIndex());
  EXPECT_GT(parts->presetList.controlIndex(), parts->searchBox.controlIndex());
}

TEST_F(MainWindowStart, AnotherThreadBuildsTheControlsWhileTheLoopRuns) {
  hwnd = pw::CreateWindowExA(0, "MainWindowTestHost", "main", pw::WS_POPUP, 50, 50, 296, 657, nullptr, nullptr);
  parts->hwnd = hwnd;
  ASSERT_TRUE(app::AttachMainWindow(*parts, hwnd, {}));
  std::atomic<bool> done{false};
  std::thread init([&] {
    app::CreateMainWindowControls(*parts, [] { return 30; });
    done = true;
  });
  while (!done) desk->pump();
  init.join();
  EXPECT_GE(controlCount(*parts), 20);
  EXPECT_EQ(parts->volumeSlider.value(), 30.0f);
  EXPECT_TRUE(parts->searchBox.exists());
}

TEST_F(MainWindowStart, ThePluginsFolderIsMadeWhenMissingAndAReadOnlyFolderIsNoFailure) {
  const std::string plugins = folder() + "/plugins/";
  EXPECT_TRUE(app::EnsureFolder(plugins));
  EXPECT_TRUE(app::EnsureFolder(plugins));
  struct stat st;
  EXPECT_EQ(stat(plugins.c_str(), &st), 0);
  EXPECT_FALSE(app::EnsureFolder(writeFile("a-file", "x")));
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_EQ(chmod(folder().c_str(), 0555), 0);
  EXPECT_FALSE(app::EnsureFolder(folder() + "/other/"));
}

}  // namespace
}  // namespace apptest
