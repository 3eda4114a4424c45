// The main window's handlers on a window object of its own: the search box empties on a
// pointer click into it, but not on the Space or Enter that the window also turns into a
// click of the focused control; Enter searches with the preset list left open, the search
// button closes it first.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "app/MainWindow.h"
#include "app/MainWindowControls.h"
#include "app/MainWindowStart.h"
#include "app/MainWindowTabs.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/framework/MessageBox.h"

namespace apptest {
namespace {

// Closes the next message box that opens.
void closeNextBox(pw::HeadlessBackend& desk) {
  desk.at(20, [&desk] {
    if (const pw::HWND box = ui::openMessageBox()) {
      desk.requestClose(box);
    } else {
      closeNextBox(desk);
    }
  });
}

class MainWindowEvents : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    setenv("TUNORA_SERVICE", "127.0.0.1:9", 1);  // nothing answers there
    app::MainWindowParts& main = window.parts();
    hwnd = pw::CreateWindowExA(0, "MainWindowTestHost", "main", pw::WS_POPUP, 50, 50, 296, 657, nullptr, nullptr);
    ASSERT_TRUE(app::AttachMainWindow(main, hwnd, {}));
    pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
    window.connect(hwnd);
    app::CreateMainWindowControls(main, [] { return 50; });
    desk->pump();
  }
  void TearDown() override {
    if (hwnd != nullptr && pw::IsWindow(hwnd)) pw::DestroyWindow(hwnd);
    hwnd = nullptr;
    MainWindowFixture::TearDown();
  }

  app::BackgroundWriter skinWriter;
  audio::AudioEngine engine;
  app::Player player{engine, {}, 50};
  // No file of the program is read here.
  app::MainWindow window{player, engine, platform::system::ProgramFiles::portable("/nonexistent"), skinWriter};
};

TEST_F(MainWindowEvents, SearchBoxClicksAndSearchTriggers) {
  app::MainWindowParts& main = window.parts();
  ui::controls::ExEdit& box = main.searchBox;
  ASSERT_FALSE(box.text().empty());  // the hint
  desk->click(hwnd, 100, 200);
  desk->pump();
  EXPECT_EQ(box.text(), "");

  desk->typeKeys(hwnd, "two words");
  desk->advance(300);  // typed characters join before they land
  EXPECT_EQ(box.text(), "two words");
  closeNextBox(*desk);  // no service answers: the box says so
  desk->pressKey(hwnd, pw::VK_RETURN);
  desk->pump();
  EXPECT_EQ(box.text(), "two words");

  desk->click(hwnd, 60, 200);
  desk->pump();
  EXPECT_EQ(box.text(), "");

  main.activeTab = 1;
  app::ClickGroupHeader1(main);
  ASSERT_TRUE(main.presetList.visible());
  box.text(std::string("Summer"));
  window.onKeyDown(pw::VK_RETURN);
  EXPECT_EQ(main.activeTab, 2);
  EXPECT_TRUE(main.presetList.visible());
  EXPECT_EQ(box.text(), "Summer");

  window.onControlEvent(main.searchButton.id(), ui::kKindImageButton);
  EXPECT_FALSE(main.presetList.visible());
}

}  // namespace
}  // namespace apptest
