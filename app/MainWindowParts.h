#pragma once
// What the main window is made of: its host, its 20 controls in creation order, the button
// picture table and the tab state. Owned by the MainWindow. UI thread only.

#include <array>
#include <map>

#include "platform/window/WindowTypes.h"
#include "resources/ExImage.h"
#include "ui/controls/ExEdit.h"
#include "ui/controls/ExImageButton.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/ExLabel.h"
#include "ui/controls/ExList.h"
#include "ui/controls/ExSlider.h"
#include "ui/framework/ExWindow.h"

namespace app {

inline constexpr int kButtonImageCount = 30;

// The entries of the button picture package, in package order.
enum class ButtonPicture : int {
  Play, PlayHover, PlayPressed,
  Previous, PreviousHover, PreviousPressed,
  Next, NextHover, NextPressed,
  Tab1, Tab1Active,
  Tab2, Tab2Active,
  Tab3, Tab3Active,
  Volume, VolumeHover, VolumePressed,
  Group1, Group1Hover, Group1Open,
  Group2, Group2Hover, Group2Open,
  Search, SearchHover, SearchPressed,
  Pause, PauseHover, PausePressed,
};

// The table entries an image button was given, so that a scale change can give it the
// same ones from the set for the new scale.
struct ButtonLooks {
  ButtonPicture normal;
  ButtonPicture hover;
  ButtonPicture pressed;
};

struct MainWindowParts {
  ui::ExWindow host;
  platform::window::HWND hwnd = nullptr;  // the owner of every message box
  // Filled from "\Resource\Resu.rdb"; an entry stays empty when the package lacks it.
  std::array<resources::ExImage, kButtonImageCount> buttonImages;
  const resources::ExImage& picture(ButtonPicture which) const {
    return buttonImages[static_cast<std::size_t>(which)];
  }

  std::map<ui::controls::ExImageButton*, ButtonLooks> buttonLooks;

  ui::controls::ExImageButton playPause;     // images 0-2, 27-29 while playing
  ui::controls::ExImageButton previous;
  ui::controls::ExImageButton next;
  ui::controls::ExImageButton tab1;
  ui::controls::ExImageButton tab2;          // search results
  ui::controls::ExImageButton tab3;
  ui::controls::ExImageButton volumeIcon;    // no action
  ui::controls::ExImageButton groupHeader1;  // opens the preset list
  ui::controls::ExImageButton groupHeader2;
  ui::controls::ExImageButton searchButton;
  ui::controls::ExSlider positionSlider;     // value: position %, second value: buffered %
  ui::controls::ExSlider volumeSlider;       // value: volume, second value 100
  ui::controls::ExLabel songLabel;           // title CR LF singer
  ui::controls::ExLabel elapsedLabel;
  ui::controls::ExLabel lengthLabel;
  ui::controls::ExEdit searchBox;
  ui::ExImageList presetImages;              // cells 45 x 45
  ui::ExImageList resultImages;              // cells 26 x 26, stays empty
  ui::controls::ExList resultList;           // title | singer
  ui::controls::ExList presetList;           // title CR LF singer, one column

  int activeTab = 0;  // 0 until the controls are built, then 1, 2 or 3
  bool presetGroupOpen = false;
  bool secondGroupOpen = false;
  std::uint64_t resultsVersion = 0;  // bumped whenever a search refills the result list
  std::uint64_t presetsVersion = 0;  // bumped whenever the preset list is filled again
};

}  // namespace app
