// The change-appearance window on the headless desktop, over a main window attached as the
// program attaches it: which picture each press applies, the looks of the buttons under
// the pointer, custom files of every kind, and pictures that must never be stored.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>

#include "app/MainWindowStart.h"
#include "app/SkinDialog.h"
#include "platform/system/Files.h"
#include "platform/text/CodePage.h"
#include "resources/ResourcePackageWriter.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/TestPictures.h"
#include "tests/support/FileContents.h"

// The controls measure text through Pango, which loads fonts on a fontconfig thread of its
// own; its locking is not visible to ThreadSanitizer.
extern "C" const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so.1\ncalled_from_lib:libfontconfig.so.1\n";
}

namespace apptest {
namespace {

namespace fs = std::filesystem;
using platform::system::ByteBlock;

// Picture i of the package is 10 + i pixels wide, so a background tells its entry.
ByteBlock skinPicture(int entry) {
  return testpictures::encodeSolid("png", 10 + entry, 6, 0xFF000000u | static_cast<std::uint32_t>(entry * 0x0A0B0C));
}

int entryOf(const resources::ExImage& image) { return image.GetHandle() == nullptr ? -1 : image.GetWidth() - 10; }

std::string asText(const ByteBlock& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::uint32_t crc32(std::string_view data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A PNG signature and a well-formed header claiming 20000 x 20000 pixels, and nothing after.
std::string hugePngHeader() {
  std::string png = asText(testpictures::encodeSolid("png", 1, 1, 0xFF000000u)).substr(0, 33);
  for (std::size_t at : {16u, 20u}) png.replace(at, 4, std::string("\0\0\x4E\x20", 4));
  const std::uint32_t crc = crc32(std::string_view(png).substr(12, 17));
  for (int i = 0; i < 4; ++i) png[29 + static_cast<std::size_t>(i)] = static_cast<char>(crc >> (24 - 8 * i));
  return png;
}

class SkinDialogTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    fs::create_directory(folder() + "/Resource");
    original_ = testpictures::encodeSolid("png", 8, 8, 0xFF336699u);
    writeFile("Resource/skin.png", asText(original_));
  }

  void TearDown() override {
    skinWriter_.flush();
    slot_.reset();
    MainWindowFixture::TearDown();
  }

  void writePackage(int count) {
    std::vector<ByteBlock> entries;
    for (int i = 0; i < count; ++i) entries.push_back(skinPicture(i));
    writeFile("Resource/Skin.rdb", resources::PackResourceEntries(entries).value());
  }

  // Builds the main window from the stored skin and opens the dialog over it.
  app::SkinDialog& open() {
    buildWindow(original_);
    dialogWindow_ = app::OpenSkinDialog(slot_, parts->host, folder(), engine_, skinWriter_);
    EXPECT_NE(dialogWindow_, nullptr);
    desk->pump();
    return *slot_;
  }

  void press(int x, int y) {
    desk->mouseMove(dialogWindow_, x, y);
    desk->click(dialogWindow_, x, y);
    desk->pump();
    desk->advance(600);  // the main window's fade-in
  }
  void pressStyle(int style) { press(5 + 91 * (style - 1) + 46, 45); }
  void pressPreview(int row, int column) { press(20 + 143 * (column - 1) + 70, (row == 0 ? 100 : 195) + 35); }
  void pressCustom() { press(369 + 45, 45); }

  int shownEntry() const { return entryOf(parts->host.backgroundImage()); }
  std::string storedSkin() {
    skinWriter_.flush();
    return testsupport::readFile(folder() + "/Resource/skin.png");
  }

  ByteBlock original_;
  audio::AudioEngine engine_;
  app::BackgroundWriter skinWriter_;
  std::unique_ptr<app::SkinDialog> slot_;
  pw::HWND dialogWindow_ = nullptr;
};

TEST_F(SkinDialogTest, OpensOwnedByTheMainWindowWithItsTitleSizeAndTheFirstStyle) {
  writePackage(24);
  app::SkinDialog& dialog = open();
  ASSERT_TRUE(dialog.IsOpen());
  EXPECT_EQ(pw::GetOwner(dialogWindow_), hwnd);
  EXPECT_EQ(desk->nativeTitle(dialogWindow_), std::string(30, ' ') + "更改外观");
  pw::RECT r;
  pw::GetWindowRect(dialogWindow_, &r);
  EXPECT_EQ(r.width(), 466);
  EXPECT_EQ(r.height(), 314);
  EXPECT_TRUE(desk->shown(dialogWindow_));
  // The dialog's own background is the stored skin.
  EXPECT_EQ(dialog.host().backgroundImage().GetWidth(), 8);

  EXPECT_EQ(dialog.currentStyle(), 1);
  EXPECT_EQ(dialog.lastClickedControl(), 1);
  EXPECT_EQ(dialog.styleButton(1).fillMode(), 1);
  for (int style = 2; style <= 4; ++style) EXPECT_EQ(dialog.styleButton(style).fillMode(), -1);
  EXPECT_EQ(dialog.customButton().text(), platform::text::utf8ToAnsi("自定义"));
  EXPECT_EQ(dialog.backdrop().enabled(), 0);
  EXPECT_EQ(dialog.backdrop().locked(), 1);
  for (int row = 0; row <= 1; ++row) {
    for (int column = 1; column <= 3; ++column) {
      EXPECT_EQ(entryOf(dialog.preview(row, column).image()), 3 * row + column - 1);
      EXPECT_EQ(dialog.preview(row, column).left(), 20 + 143 * (column - 1));
    }
  }
  // Nothing changes until a picture is chosen.
  EXPECT_EQ(parts->host.backgroundImage().GetWidth(), 8);
}

TEST_F(SkinDialogTest, EachStyleShowsItsSixPicturesAndAPreviewAppliesAndStoresItsEntry) {
  writePackage(24);
  app::SkinDialog& dialog = open();
  // Without a style press the previews belong to the first style.
  pressPreview(0, 3);
  EXPECT_EQ(shownEntry(), 2);
  EXPECT_EQ(storedSkin(), asText(skinPicture(2)));

  pressStyle(2);  // "可爱"
  pressPreview(1, 2);
  EXPECT_EQ(shownEntry(), 10);
  EXPECT_EQ(storedSkin(), asText(skinPicture(10)));
  EXPECT_EQ(dialog.lastClickedControl(), dialog.styleButton(2).id());

  for (int style = 1; style <= 4; ++style) {
    pressStyle(style);
    EXPECT_EQ(dialog.currentStyle(), style);
    for (int other = 1; other <= 4; ++other) EXPECT_EQ(dialog.styleButton(other).fillMode(), other == style ? 1 : -1);
    for (int row = 0; row <= 1; ++row) {
      for (int column = 1; column <= 3; ++column) {
        EXPECT_EQ(entryOf(dialog.preview(row, column).image()), app::SkinEntry(style, row, column));
      }
    }
  }
  pressPreview(0, 1);
  EXPECT_EQ(shownEntry(), 18);
  // The stored picture is what the next start shows.
  skinWriter_.flush();
  EXPECT_EQ(entryOf([&] {
              resources::ExImage next;
              next.LoadFromBytes(platform::system::readWholeFile(folder() + "/Resource/skin.png").value());
              return next;
            }()),
            18);
}

TEST_F(SkinDialogTest, LeavingTheLastPressedStyleKeepsItLitAndAnyOtherTurnsPlain) {
  writePackage(24);
  app::SkinDialog& dialog = open();
  // Before any press the remembered id is 1, which no style button has: the first style
  // turns plain when the pointer passes over it.
  desk->mouseMove(dialogWindow_, 50, 45);
  desk->mouseMove(dialogWindow_, 50, 80);
  desk->pump();
  EXPECT_EQ(dialog.styleButton(1).fillMode(), -1);

  pressStyle(3);
  desk->mouseMove(dialogWindow_, 230, 80);
  desk->pump();
  EXPECT_EQ(dialog.styleButton(3).fillMode(), 1);

  desk->mouseMove(dialogWindow_, 50, 45);
  desk->pump();
  EXPECT_EQ(dialog.styleButton(1).fillMode(), 1);
  desk->mouseMove(dialogWindow_, 50, 80);
  desk->pump();
  EXPECT_EQ(dialog.styleButton(1).fillMode(), -1);
  EXPECT_EQ(dialog.styleButton(3).fillMode(), 1);

  // The custom button turns plain on leaving even when it was pressed last.
  desk->answerFileDialog(std::nullopt);
  pressCustom();
  EXPECT_EQ(dialog.customButton().fillMode(), 1);
  EXPECT_EQ(dialog.lastClickedControl(), dialog.customButton().id());
  desk->mouseMove(dialogWindow_, 400, 80);
  desk->pump();
  EXPECT_EQ(dialog.customButton().fillMode(), -1);
  // Pressed last no more, the third style turns plain once the pointer passes.
  desk->mouseMove(dialogWindow_, 230, 45);
  desk->mouseMove(dialogWindow_, 230, 80);
  desk->pump();
  EXPECT_EQ(dialog.styleButton(3).fillMode(), -1);
}

TEST_F(SkinDialogTest, AtTwiceTheScaleAnEntryShowsAndStoresItsTwiceScalePictureAndOnesOwnDropsIt) {
  std::vector<ByteBlock> entries;
  for (int i = 0; i < 24; ++i) entries.push_back(skinPicture(i));
  for (int i = 0; i < 24; ++i) entries.push_back(testpictures::encodeSolid("png", 2 * (10 + i), 12, 0xFF102030u));
  writeFile("Resource/Skin.rdb", resources::PackResourceEntries(entries).value());
  desk->setScale(2);
  app::SkinDialog& dialog = open();
  EXPECT_EQ(dialog.preview(0, 2).image().GetHandle()->scale(), 2.0);
  EXPECT_EQ(entryOf(dialog.preview(0, 2).image()), 1);

  pressPreview(0, 3);
  EXPECT_EQ(shownEntry(), 2);
  EXPECT_EQ(parts->host.backgroundImage().GetHandle()->scale(), 2.0);
  EXPECT_EQ(storedSkin(), asText(skinPicture(2)));
  const std::string twice = folder() + "/Resource/skin@2x.png";
  EXPECT_EQ(testsupport::readFile(twice), asText(entries[26]));

  // A picture of one's own has no 2x sibling: the one of the entry before must not stay.
  desk->answerFileDialog(writeFile("own.png", asText(testpictures::encodeSolid("png", 40, 9, 0xFF20C040u))));
  pressCustom();
  EXPECT_EQ(parts->host.backgroundImage().GetWidth(), 40);
  skinWriter_.flush();
  EXPECT_FALSE(fs::exists(twice));
}

TEST_F(SkinDialogTest, ACustomJpegBmpOrGifIsStoredUnchangedAndLoadsAtTheNextStart) {
  writePackage(24);
  open();
  fs::create_directory(folder() + "/图片 文件夹");
  struct Case {
    std::string name;
    ByteBlock bytes;
    int width;
  };
  const Case cases[] = {
      {"海边.jpg", testpictures::encodeSolid("jpeg", 31, 9, 0xFF20C040u), 31},
      {"picture.bmp", testpictures::encodeSolid("bmp", 32, 9, 0xFFC02040u), 32},
      {"动画.gif", testpictures::encodeGif({0x2040C0, 0xC04020}, {10, 10}), 2},
  };
  for (const Case& c : cases) {
    const std::string path = writeFile("图片 文件夹/" + c.name, asText(c.bytes));
    desk->answerFileDialog(path);
    pressCustom();
    EXPECT_EQ(parts->host.backgroundImage().GetWidth(), c.width) << c.name;
    EXPECT_EQ(storedSkin(), asText(c.bytes)) << c.name;
    const ByteBlock skin = app::ReadSkinPicture(folder() + "/Resource/skin.png");
    resources::ExImage again;
    EXPECT_NE(again.LoadFromBytes(skin), nullptr) << c.name;
  }
  // The GIF's first frame is the background.
  EXPECT_EQ(parts->host.backgroundImage().GetPixel(0, 0) & 0xFFFFFFu, 0x2040C0u);

  ASSERT_FALSE(desk->fileDialogs().empty());
  const auto& asked = desk->fileDialogs().back();
  EXPECT_EQ(asked.owner, dialogWindow_);
  EXPECT_EQ(asked.titleUtf8, "更改外观,请尽量选择无大片白底的图片");
  ASSERT_EQ(asked.filters.size(), 2u);
  EXPECT_EQ(asked.filters[0].nameUtf8, "所有支持的图片文件");
  EXPECT_EQ(asked.filters[0].patterns, (std::vector<std::string>{"*.jpg", "*.bmp", "*.gif", "*.png"}));
  EXPECT_EQ(asked.filters[1].patterns, (std::vector<std::string>{"*.*"}));

  // Cancelling changes nothing.
  const std::string before = storedSkin();
  desk->answerFileDialog(std::nullopt);
  pressCustom();
  EXPECT_EQ(parts->host.backgroundImage().GetWidth(), 2);
  EXPECT_EQ(storedSkin(), before);
}

TEST_F(SkinDialogTest, WhatIsNotAPictureIsNeitherShownNorStored) {
  writePackage(24);
  app::SkinDialog& dialog = open();
  std::string truncated = asText(testpictures::encodeGrain("png", 40, 40));
  truncated.resize(truncated.size() / 2);
  const std::string files[] = {
      writeFile("notes.png", "just some text, renamed"),
      writeFile("truncated.png", truncated),
      writeFile("huge.png", hugePngHeader()),
      writeFile("empty.jpg", ""),
      folder() + "/Resource",  // a folder
      folder() + "/missing.png",
  };
  // Past the size limit, though a picture: a sparse file costs no disk.
  const std::string large = writeFile("large.bmp", asText(testpictures::encodeSolid("bmp", 4, 4, 0xFF0000FFu)));
  fs::resize_file(large, app::kMaxCustomSkinBytes + 1);

  for (const std::string& file : files) {
    desk->answerFileDialog(file);
    pressCustom();
    EXPECT_EQ(parts->host.backgroundImage().GetWidth(), 8) << file;
    EXPECT_EQ(storedSkin(), asText(original_)) << file;
  }
  EXPECT_FALSE(dialog.ApplySkinFile(large));
  EXPECT_FALSE(dialog.ApplySkin(ByteBlock{}));
  EXPECT_EQ(storedSkin(), asText(original_));
  // A limit-sized picture file is taken.
  fs::resize_file(large, app::kMaxCustomSkinBytes);
  EXPECT_TRUE(dialog.ApplySkinFile(large));
  EXPECT_EQ(parts->host.backgroundImage().GetWidth(), 4);
}

TEST_F(SkinDialogTest, AMissingDamagedOrShortPackageGivesEmptyPreviewsThatChangeNothing) {
  const auto check = [&](const std::string& what) {
    app::SkinDialog& dialog = open();
    EXPECT_EQ(dialog.skinImages().size(), 24u) << what;
    EXPECT_EQ(dialog.preview(1, 3).image().GetHandle(), nullptr) << what;
    pressStyle(4);
    pressPreview(1, 3);
    EXPECT_EQ(parts->host.backgroundImage().GetWidth(), 8) << what;
    EXPECT_EQ(storedSkin(), asText(original_)) << what;
    pw::DestroyWindow(hwnd);
    parts = std::make_unique<app::MainWindowParts>();
  };
  check("missing");
  std::vector<ByteBlock> entries;
  for (int i = 0; i < 24; ++i) entries.push_back(skinPicture(i));
  std::string damaged = resources::PackResourceEntries(entries).value();
  damaged[damaged.size() / 3] ^= 0x40;
  writeFile("Resource/Skin.rdb", damaged);
  check("damaged");
  writePackage(5);
  check("five pictures");
}

// A folder even root cannot write into: immutable while the guard lives.
class ImmutableFolder {
 public:
  explicit ImmutableFolder(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY)) {
    if (::geteuid() != 0) {
      locked_ = ::chmod(path.c_str(), 0555) == 0;
      path_ = path;
      return;
    }
    int flags = 0;
    if (fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
      flags |= FS_IMMUTABLE_FL;
      locked_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }
  }
  ~ImmutableFolder() {
    if (!path_.empty()) ::chmod(path_.c_str(), 0755);
    int flags = 0;
    if (fd_ >= 0 && ::geteuid() == 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
    }
    if (fd_ >= 0) ::close(fd_);
  }
  ImmutableFolder(const ImmutableFolder&) = delete;
  ImmutableFolder& operator=(const ImmutableFolder&) = delete;
  bool locked() const { return locked_; }

 private:
  int fd_ = -1;
  std::string path_;
  bool locked_ = false;
};

TEST_F(SkinDialogTest, AReadOnlyResourceFolderChangesTheBackgroundForThisRunOnly) {
  writePackage(24);
  open();
  const ImmutableFolder readOnly(folder() + "/Resource");
  if (!readOnly.locked()) GTEST_SKIP() << "cannot make a read-only folder here";
  pressStyle(2);
  pressPreview(0, 1);
  EXPECT_EQ(shownEntry(), 6);
  EXPECT_FALSE(skinWriter_.flush());
  EXPECT_EQ(testsupport::readFile(folder() + "/Resource/skin.png"), asText(original_));
  int files = 0;
  for ([[maybe_unused]] const auto& f : fs::directory_iterator(folder() + "/Resource")) ++files;
  EXPECT_EQ(files, 2);  // no temporary file left behind
  EXPECT_TRUE(pw::IsWindow(dialogWindow_));
}

TEST_F(SkinDialogTest, OpeningAgainBringsTheOpenWindowForwardAndAfterClosingMakesANewOne) {
  writePackage(24);
  open();
  pw::SetForegroundWindow(hwnd);
  desk->pump();
  EXPECT_EQ(app::OpenSkinDialog(slot_, parts->host, folder(), engine_, skinWriter_), dialogWindow_);
  desk->pump();
  EXPECT_EQ(pw::GetForegroundWindow(), dialogWindow_);

  // Closed from its caption button (the zoom effect), then opened again: a working window.
  const pw::HWND first = dialogWindow_;
  desk->requestClose(first);
  desk->pump();
  desk->advance(1000);
  ASSERT_FALSE(pw::IsWindow(first));
  dialogWindow_ = app::OpenSkinDialog(slot_, parts->host, folder(), engine_, skinWriter_);
  ASSERT_NE(dialogWindow_, nullptr);
  desk->pump();
  pressStyle(2);
  pressPreview(1, 2);
  EXPECT_EQ(shownEntry(), 10);

  // The main window takes its dialog with it.
  pw::DestroyWindow(hwnd);
  EXPECT_FALSE(pw::IsWindow(dialogWindow_));
  EXPECT_FALSE(slot_->IsOpen());
}

}  // namespace
}  // namespace apptest
