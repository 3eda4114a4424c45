// The change-appearance window of the built program on a private X server, driven with
// xdotool: opened from the main window's caption button, each style's previews, a preview
// that changes the main window on screen and on disk and again after a restart, and a
// picture of the user's own picked in the file dialog by typing its path. Screenshots stay
// in the test's temp folder (their paths are printed).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "resources/ResourcePackageWriter.h"
#include "tests/app/ClientScreen.h"
#include "tests/app/ClientSession.h"
#include "tests/support/TestPictures.h"
#include "tests/support/FileContents.h"
#include "tests/window/XSession.h"

namespace clienttest {
namespace {

namespace fs = std::filesystem;
using windowtest::XSession;

// A spot of the main window's background that no control covers and the dialog leaves free.
constexpr int kBareX = 148;
constexpr int kBareY = 630;
const std::string kDialogTitle = "^ {30}更改外观$";
const std::string kFileDialogTitle = "更改外观,请尽量选择无大片白底的图片";

// Well apart in every channel: entry i of the package is this colour.
std::uint32_t entryColour(int entry) {
  const std::uint32_t r = 30 + static_cast<std::uint32_t>(entry % 4) * 65;
  const std::uint32_t g = 30 + static_cast<std::uint32_t>((entry / 4) % 3) * 95;
  const std::uint32_t b = 40 + static_cast<std::uint32_t>(entry / 12) * 170;
  return (r << 16) | (g << 8) | b;
}

std::string asText(const testpictures::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
testpictures::Bytes entryPicture(int entry) {
  return testpictures::encodeSolid("png", 148, 328, 0xFF000000u | entryColour(entry));
}

bool near(std::uint32_t shown, std::uint32_t rgb, int tolerance = 8) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((shown >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

// The screen's pixel at a point of the screen.
std::uint32_t screenPixel(int x, int y) {
  const std::vector<std::uint32_t> pixel = grabArea(x - kLeft, y - kTop, 1, 1);
  return pixel.empty() ? 0 : pixel[0];
}

bool mainShows(std::uint32_t rgb) {
  return XSession::pumpUntil([&] { return near(screenPixel(kLeft + kBareX, kTop + kBareY), rgb); }, 10000);
}

// Clicks a point of the screen, then rests the pointer off every window, so no button
// stays lit in a screenshot.
void clickScreen(int x, int y) {
  xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click --delay 80 1");
  xdotool("mousemove --sync 1000 20");
}

class SkinDialogOnScreen : public ClientOnScreen {
 protected:
  void SetUp() override {
    ClientOnScreen::SetUp();
    if (IsSkipped()) return;
    fs::create_directories(copy_.folder() + "/Resource");
    std::vector<platform::system::ByteBlock> entries;
    for (int i = 0; i < 24; ++i) entries.push_back(entryPicture(i));
    testsupport::writeFile(copy_.folder() + "/Resource/Skin.rdb", resources::PackResourceEntries(entries).value());
  }

  void startClient() {
    client_ = start();
    settle(300);
  }

  // Presses the main window's skin caption button and finds the dialog's place.
  void openDialog() {
    clickScreen(kLeft + 207, kTop + 15);
    dialogId_ = waitForWindowNamed(kDialogTitle, 10000);
    ASSERT_FALSE(dialogId_.empty()) << "no change-appearance window";
    settle(500);
    const std::string geometry = commandOutput("xdotool getwindowgeometry --shell " + dialogId_);
    int width = 0, height = 0;
    std::sscanf(geometry.c_str() + geometry.find("X="), "X=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &dialogX_, &dialogY_,
                &width, &height);
    EXPECT_EQ(width, 466);
    EXPECT_EQ(height, 314);
  }
  void clickDialog(int x, int y) { clickScreen(dialogX_ + x, dialogY_ + y); }
  void pressStyle(int style) { clickDialog(5 + 91 * (style - 1) + 46, 45); }
  void pressPreview(int row, int column) { clickDialog(20 + 143 * (column - 1) + 70, (row == 0 ? 100 : 195) + 35); }
  std::uint32_t previewPixel(int row, int column) {
    return screenPixel(dialogX_ + 20 + 143 * (column - 1) + 70, dialogY_ + (row == 0 ? 100 : 195) + 35);
  }

  std::unique_ptr<Client> client_;
  std::string dialogId_;
  int dialogX_ = 0, dialogY_ = 0;
};

TEST_F(SkinDialogOnScreen, StylesShowTheirPreviewsAndAPreviewBecomesTheBackgroundNowAndAfterARestart) {
  startClient();
  openDialog();
  // Over the main window, which it belongs to.
  EXPECT_LT(dialogX_, kLeft + 296);
  EXPECT_LT(dialogY_, kTop + 657);
  EXPECT_GT(dialogY_ + 314, kTop);
  screenshot("skin-dialog-open.png");

  for (int style = 1; style <= 4; ++style) {
    pressStyle(style);
    settle(400);
    screenshot("skin-dialog-style-" + std::to_string(style) + ".png");
    for (int row = 0; row <= 1; ++row) {
      for (int column = 1; column <= 3; ++column) {
        const int entry = 6 * (style - 1) + 3 * row + column - 1;
        const std::uint32_t shown = previewPixel(row, column);
        EXPECT_TRUE(near(shown, entryColour(entry))) << "style " << style << " entry " << entry << std::hex << " shows "
                                                     << shown;
      }
    }
  }

  EXPECT_FALSE(near(screenPixel(kLeft + kBareX, kTop + kBareY), entryColour(10)));
  pressStyle(2);
  pressPreview(1, 2);
  EXPECT_TRUE(mainShows(entryColour(10)));
  const std::string stored = copy_.folder() + "/Resource/skin.png";
  EXPECT_TRUE(XSession::pumpUntil([&] { return testsupport::readFile(stored) == asText(entryPicture(10)); }, 10000));
  screenshot("skin-dialog-entry-10.png");

  closeAndExpectZero(*client_);
  startClient();
  EXPECT_TRUE(mainShows(entryColour(10)));
  screenshot("skin-after-restart.png");
  closeAndExpectZero(*client_);
}

TEST_F(SkinDialogOnScreen, APictureTypedIntoTheFileDialogBecomesTheBackground) {
  const std::string folder = copy_.folder() + "/我的图片";
  fs::create_directories(folder);
  const std::string path = folder + "/海边 日落.jpg";
  const testpictures::Bytes jpeg = testpictures::encodeSolid("jpeg", 200, 300, 0xFFD08020u);
  testsupport::writeFile(path, asText(jpeg));
  ASSERT_TRUE(XSession::mapCharacters(path));  // before the client reads the key map

  startClient();
  openDialog();
  EXPECT_FALSE(near(screenPixel(kLeft + kBareX, kTop + kBareY), 0xD08020u));
  clickDialog(369 + 45, 45);
  const std::string fileDialog = waitForWindowNamed(kFileDialogTitle, 10000);
  ASSERT_FALSE(fileDialog.empty()) << "no file dialog";
  settle(800);
  screenshot("skin-file-dialog.png");
  // A loaded machine may drop keys that come before the dialog has its focus: type the
  // path again while the dialog stays.
  for (int attempt = 0; attempt < 3 && !waitForWindowNamed(kFileDialogTitle, 0).empty(); ++attempt) {
    xdotool("windowactivate --sync " + fileDialog);
    settle(300);
    xdotool("key ctrl+l");
    settle(300);
    xdotool("key ctrl+a");
    xdotool("type --delay 40 '" + path + "'");
    settle(300);
    xdotool("key Return");
    XSession::pumpUntil([&] { return waitForWindowNamed(kFileDialogTitle, 0).empty(); }, 4000);
  }
  EXPECT_TRUE(waitForWindowNamed(kFileDialogTitle, 0).empty());

  EXPECT_TRUE(mainShows(0xD08020u));
  EXPECT_TRUE(XSession::pumpUntil(
      [&] { return testsupport::readFile(copy_.folder() + "/Resource/skin.png") == asText(jpeg); }, 10000));
  screenshot("skin-custom-jpeg.png");
  closeAndExpectZero(*client_);
}

}  // namespace
}  // namespace clienttest
