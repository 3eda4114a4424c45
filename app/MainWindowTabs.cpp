#include "app/MainWindowTabs.h"

namespace app {
namespace {

using P = ButtonPicture;

// All three looks.
void setLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, P normal, P hover, P pressed) {
  button.setImages(parts.picture(normal), parts.picture(hover), parts.picture(pressed));
}

// Normal and hover only: the pressed look stays what it was.
void setLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, P normal, P hover) {
  button.setImages(parts.picture(normal), parts.picture(hover));
}

void showPresetList(MainWindowParts& parts) {
  parts.presetList.visible(1);
  parts.presetList.redraw();
}

void hideGroupHeaders(MainWindowParts& parts) {
  parts.groupHeader1.visible(0);
  parts.groupHeader2.visible(0);
}

void leaveTab1(MainWindowParts& parts) {
  hideGroupHeaders(parts);
  parts.presetList.visible(0);
  setLooks(parts, parts.tab1, P::Tab1, P::Tab1Active);
}

void leaveTab3(MainWindowParts& parts) { setLooks(parts, parts.tab3, P::Tab3, P::Tab3Active); }

void markTab2Active(MainWindowParts& parts) { setLooks(parts, parts.tab2, P::Tab2Active, P::Tab2Active, P::Tab2Active); }

}  // namespace

void ClickTab1(MainWindowParts& parts) {
  setLooks(parts, parts.tab1, P::Tab1Active, P::Tab1Active, P::Tab1Active);
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
  if (parts.activeTab == 2) setLooks(parts, parts.tab2, P::Tab2, P::Tab2Active);
  if (parts.activeTab == 3) leaveTab3(parts);
  parts.activeTab = 1;
}

void ClickTab2(MainWindowParts& parts) {
  markTab2Active(parts);
  if (parts.activeTab == 1) leaveTab1(parts);
  if (parts.resultList.rowCount() > kResultRowsBeforeShown) {
    parts.resultList.visible(1);
    parts.resultList.redraw();
  }
  if (parts.activeTab == 3) leaveTab3(parts);
  parts.activeTab = 2;
}

void ClickTab3(MainWindowParts& parts) {
  parts.resultList.visible(0);
  setLooks(parts, parts.tab3, P::Tab3Active, P::Tab3Active, P::Tab3Active);
  if (parts.activeTab == 1) leaveTab1(parts);
  if (parts.activeTab == 2) setLooks(parts, parts.tab2, P::Tab2, P::Tab2);
  parts.activeTab = 3;
}

void EnterResultsTabForSearch(MainWindowParts& parts) {
  switch (parts.activeTab) {
    case 1:
      hideGroupHeaders(parts);
      setLooks(parts, parts.tab1, P::Tab1, P::Tab1Active);
      break;
    case 2:
      parts.resultList.visible(0);
      break;
    case 3:
      leaveTab3(parts);
      break;
    default:
      break;
  }
  if (parts.activeTab != 2) markTab2Active(parts);
  parts.activeTab = 2;
}

void ClickGroupHeader1(MainWindowParts& parts) {
  if (!parts.presetGroupOpen) {
    setLooks(parts, parts.groupHeader1, P::Group1Open, P::Group1Open, P::Group1Open);
    parts.presetGroupOpen = true;
    parts.groupHeader2.visible(0);
    showPresetList(parts);
    if (parts.secondGroupOpen) {
      setLooks(parts, parts.groupHeader2, P::Group2, P::Group2Hover, P::Group2Open);
      parts.secondGroupOpen = false;
    }
  } else {
    setLooks(parts, parts.groupHeader1, P::Group1, P::Group1Hover, P::Group1Open);
    parts.presetList.visible(0);
    parts.groupHeader2.visible(1);
    parts.presetGroupOpen = false;
  }
}

void ClickGroupHeader2(MainWindowParts& parts) {
  if (!parts.secondGroupOpen) {
    setLooks(parts, parts.groupHeader2, P::Group2Open, P::Group2Open, P::Group2Open);
    parts.secondGroupOpen = true;
  } else {
    setLooks(parts, parts.groupHeader2, P::Group2, P::Group2Hover, P::Group2Open);
    parts.secondGroupOpen = false;
  }
}

}  // namespace app
