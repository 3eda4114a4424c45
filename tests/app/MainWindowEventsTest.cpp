// The main window's click handler on the process's own parts: the search box empties on a
// pointer click into it, but not on the Space or Enter that the window also turns into a
// click of the focused control.

#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "app/MainWindowControls.h"
#include "app/MainWindowStart.h"
#include "tests/app/MainWindowFixture.h"

namespace apptest {
namespace {

class MainWindowEvents : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    app::MainWindowParts& main = app::mainParts();
    hwnd = pw::CreateWindowExA(0, "MainWindowTestHost", "main", pw::WS_POPUP, 50, 50, 296, 657, nullptr, nullptr);
    main.hwnd = hwnd;
    ASSERT_TRUE(app::AttachMainWindow(main, hwnd, {}));
    pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
    main.host.onClick(app::OnControlEvent);
    app::CreateMainWindowControls(main, [] { return 50; });
    desk->pump();
  }
};

TEST_F(MainWindowEvents, OnlyAPointerClickEmptiesTheSearchBox) {
  ui::controls::ExEdit& box = app::mainParts().searchBox;
  ASSERT_FALSE(box.text().empty());  // the hint
  desk->click(hwnd, 100, 200);
  desk->pump();
  EXPECT_EQ(box.text(), "");

  desk->typeKeys(hwnd, "two words");
  desk->advance(300);  // typed characters join before they land
  EXPECT_EQ(box.text(), "two words");
  desk->pressKey(hwnd, pw::VK_RETURN);
  desk->pump();
  EXPECT_EQ(box.text(), "two words");

  desk->click(hwnd, 60, 200);
  desk->pump();
  EXPECT_EQ(box.text(), "");
}

}  // namespace
}  // namespace apptest
