// The tabs and group headers of the main window: which lists show and which pictures the
// buttons carry after each click.

#include <gtest/gtest.h>

#include "app/MainWindowStart.h"
#include "app/MainWindowTabs.h"
#include "tests/app/MainWindowFixture.h"

namespace apptest {
namespace {

class MainWindowTabs : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    audio::AudioEngine engine;
    ASSERT_EQ(app::LoadButtonImages(*parts, engine, writeFile("Resu.rdb", buttonPackage(30))), 30);
    buildWindow();
  }

  void fillResults(int rows) {
    parts->resultList.clear();
    for (int i = 0; i < rows; ++i) parts->resultList.cellText(parts->resultList.addRow(), 1, "song");
  }

  // Normal, hover and pressed picture indexes of a button.
  static std::array<int, 3> looks(const ui::controls::ExImageButton& button) {
    return {pictureIndex(button.normalImage()), pictureIndex(button.hoverImage()), pictureIndex(button.pressedImage())};
  }
  using Looks = std::array<int, 3>;
};

TEST_F(MainWindowTabs, StartsOnTabOneWithBothGroupsClosedAndBothListsHidden) {
  EXPECT_EQ(looks(parts->tab1), (Looks{10, 10, 10}));
  EXPECT_EQ(looks(parts->tab2), (Looks{11, 12, 11}));  // made with two pictures
  EXPECT_EQ(looks(parts->groupHeader1), (Looks{18, 19, 20}));
  EXPECT_EQ(looks(parts->playPause), (Looks{0, 1, 2}));
  EXPECT_EQ(looks(parts->searchButton), (Looks{24, 25, 26}));
  EXPECT_TRUE(parts->groupHeader1.visible() && parts->groupHeader2.visible());
  EXPECT_FALSE(parts->resultList.visible());
  EXPECT_FALSE(parts->presetList.visible());
}

TEST_F(MainWindowTabs, TabTwoShowsTheResultsOnlyWhenThereAreMoreThanFive) {
  fillResults(3);
  app::ClickTab2(*parts);
  EXPECT_FALSE(parts->resultList.visible());
  EXPECT_FALSE(parts->groupHeader1.visible() || parts->groupHeader2.visible() || parts->presetList.visible());
  EXPECT_EQ(looks(parts->tab1), (Looks{9, 10, 10}));
  EXPECT_EQ(looks(parts->tab2), (Looks{12, 12, 12}));
  EXPECT_EQ(parts->activeTab, 2);

  app::ClickTab1(*parts);
  fillResults(5);
  app::ClickTab2(*parts);
  EXPECT_FALSE(parts->resultList.visible());

  app::ClickTab1(*parts);
  fillResults(6);
  app::ClickTab2(*parts);
  EXPECT_TRUE(parts->resultList.visible());
}

TEST_F(MainWindowTabs, LeavingTabTwoGivesItsButtonTheLooksOfTheTabChosen) {
  app::ClickTab2(*parts);
  app::ClickTab3(*parts);
  // Normal and hover both inactive; the pressed look stays what tab 2 set.
  EXPECT_EQ(looks(parts->tab2), (Looks{11, 11, 12}));
  EXPECT_EQ(looks(parts->tab3), (Looks{14, 14, 14}));

  app::ClickTab2(*parts);
  EXPECT_EQ(looks(parts->tab3), (Looks{13, 14, 14}));
  app::ClickTab1(*parts);
  EXPECT_EQ(looks(parts->tab2), (Looks{11, 12, 12}));
  EXPECT_EQ(looks(parts->tab1), (Looks{10, 10, 10}));
  EXPECT_EQ(parts->activeTab, 1);
}

TEST_F(MainWindowTabs, TabThreeHidesEverythingBelowTheTabs) {
  fillResults(8);
  app::ClickTab2(*parts);
  ASSERT_TRUE(parts->resultList.visible());
  app::ClickTab3(*parts);
  EXPECT_FALSE(parts->resultList.visible());
  app::ClickTab1(*parts);
  app::ClickGroupHeader1(*parts);
  app::ClickTab3(*parts);
  EXPECT_FALSE(parts->groupHeader1.visible() || parts->groupHeader2.visible() || parts->presetList.visible());
  EXPECT_EQ(looks(parts->tab1), (Looks{9, 10, 10}));
}

TEST_F(MainWindowTabs, GroupHeaderOneTwiceClosesThePresetListAgain) {
  app::ClickGroupHeader1(*parts);
  EXPECT_TRUE(parts->presetGroupOpen);
  EXPECT_TRUE(parts->presetList.visible());
  EXPECT_FALSE(parts->groupHeader2.visible());
  EXPECT_EQ(looks(parts->groupHeader1), (Looks{20, 20, 20}));

  app::ClickGroupHeader1(*parts);
  EXPECT_FALSE(parts->presetGroupOpen);
  EXPECT_FALSE(parts->presetList.visible());
  EXPECT_TRUE(parts->groupHeader2.visible());
  EXPECT_EQ(looks(parts->groupHeader1), (Looks{18, 19, 20}));
}

TEST_F(MainWindowTabs, OpeningThePresetsClosesTheSecondGroup) {
  app::ClickGroupHeader2(*parts);
  EXPECT_TRUE(parts->secondGroupOpen);
  EXPECT_EQ(looks(parts->groupHeader2), (Looks{23, 23, 23}));
  app::ClickGroupHeader1(*parts);
  EXPECT_FALSE(parts->secondGroupOpen);
  EXPECT_EQ(looks(parts->groupHeader2), (Looks{21, 22, 23}));
  EXPECT_TRUE(parts->presetList.visible());
}

TEST_F(MainWindowTabs, BackOnTabOneTheOpenGroupComesBack) {
  app::ClickGroupHeader1(*parts);
  app::ClickTab2(*parts);
  EXPECT_FALSE(parts->presetList.visible());
  app::ClickTab1(*parts);
  EXPECT_TRUE(parts->presetList.visible());
  EXPECT_TRUE(parts->groupHeader1.visible());
  EXPECT_FALSE(parts->groupHeader2.visible());

  app::ClickGroupHeader1(*parts);
  app::ClickGroupHeader2(*parts);
  app::ClickTab3(*parts);
  app::ClickTab1(*parts);
  EXPECT_TRUE(parts->groupHeader1.visible() && parts->groupHeader2.visible());
  EXPECT_FALSE(parts->presetList.visible());
}

}  // namespace
}  // namespace apptest
