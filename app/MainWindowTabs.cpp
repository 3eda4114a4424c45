#include "app/MainWindowTabs.h"

namespace app {
namespace {

using resources::ExImage;

const ExImage& picture(const MainWindowParts& parts, int index) { return parts.buttonImages[static_cast<std::size_t>(index)]; }

// All three looks.
void setLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, int normal, int hover, int pressed) {
  button.setImages(picture(parts, normal), picture(parts, hover), picture(parts, pressed));
}

// Normal and hover only: the pressed look stays what it was.
void setLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, int normal, int hover) {
  button.setImages(picture(parts, normal), picture(parts, hover));
}

void showPresetList(MainWindowParts& parts) {
  parts.presetList.visible(1);
  parts.presetList.redraw();
}

void leaveTab1(MainWindowParts& parts) {
  parts.groupHeader1.visible(0);
  parts.groupHeader2.visible(0);
  parts.presetList.visible(0);
  setLooks(parts, parts.tab1, 9, 10);
}

}  // namespace

void ClickTab1(MainWindowParts& parts) {
  setLooks(parts, parts.tab1, 10, 10, 10);
  parts.resultList.visible(0);
  if (parts.presetGroupOpen) {
    parts.groupHeader1.visible(1);
    parts.groupHeader2.visible(0);
    showPresetList(parts);
  }
  if (parts.secondGroupOpen) {
    parts.groupHeader1.visible(1);
    parts.groupHeader2.visible(1);
    parts.presetList.visible(0);
  }
  if (!parts.presetGroupOpen && !parts.secondGroupOpen) {
    parts.groupHeader1.visible(1);
    parts.groupHeader2.visible(1);
  }
  if (parts.activeTab == 2) setLooks(parts, parts.tab2, 11, 12);
  if (parts.activeTab == 3) setLooks(parts, parts.tab3, 13, 14);
  parts.activeTab = 1;
}

void ClickTab2(MainWindowParts& parts) {
  setLooks(parts, parts.tab2, 12, 12, 12);
  if (parts.activeTab == 1) leaveTab1(parts);
  if (parts.resultList.rowCount() > kResultRowsBeforeShown) {
    parts.resultList.visible(1);
    parts.resultList.redraw();
  }
  if (parts.activeTab == 3) setLooks(parts, parts.tab3, 13, 14);
  parts.activeTab = 2;
}

void ClickTab3(MainWindowParts& parts) {
  parts.resultList.visible(0);
  setLooks(parts, parts.tab3, 14, 14, 14);
  if (parts.activeTab == 1) leaveTab1(parts);
  if (parts.activeTab == 2) setLooks(parts, parts.tab2, 11, 11);
  parts.activeTab = 3;
}

void ClickGroupHeader1(MainWindowParts& parts) {
  if (!parts.presetGroupOpen) {
    setLooks(parts, parts.groupHeader1, 20, 20, 20);
    parts.presetGroupOpen = true;
    parts.groupHeader2.visible(0);
    showPresetList(parts);
    if (parts.secondGroupOpen) {
      setLooks(parts, parts.groupHeader2, 21, 22, 23);
      parts.secondGroupOpen = false;
    }
  } else {
    setLooks(parts, parts.groupHeader1, 18, 19, 20);
    parts.presetList.visible(0);
    parts.groupHeader2.visible(1);
    parts.presetGroupOpen = false;
  }
}

void ClickGroupHeader2(MainWindowParts& parts) {
  if (!parts.secondGroupOpen) {
    setLooks(parts, parts.groupHeader2, 23, 23, 23);
    parts.secondGroupOpen = true;
  } else {
    setLooks(parts, parts.groupHeader2, 21, 22, 23);
    parts.secondGroupOpen = false;
  }
}

}  // namespace app
