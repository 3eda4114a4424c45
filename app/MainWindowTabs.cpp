#include "app/MainWindowTabs.h"

namespace app {

void SetLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, ButtonPicture normal,
              std::optional<ButtonPicture> hover, std::optional<ButtonPicture> pressed) {
  ButtonLooks& looks = parts.buttonLooks.try_emplace(&button, ButtonLooks{normal, normal, normal}).first->second;
  looks.normal = normal;
  if (hover) looks.hover = *hover;
  if (pressed) looks.pressed = *pressed;
  std::optional<resources::ExImage> hoverPicture, pressedPicture;
  if (hover) hoverPicture = parts.picture(*hover);
  if (pressed) pressedPicture = parts.picture(*pressed);
  button.setImages(parts.picture(normal), std::move(hoverPicture), std::move(pressedPicture));
}

void CreateWithLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, ui::controls::RectF bounds,
                     ButtonPicture normal, std::optional<ButtonPicture> hover, std::optional<ButtonPicture> pressed) {
  const ButtonLooks looks{normal, hover.value_or(normal), pressed.value_or(normal)};
  parts.buttonLooks[&button] = looks;
  button.create(parts.hwnd, bounds, parts.picture(looks.normal), parts.picture(looks.hover),
                parts.picture(looks.pressed));
}

void ShowLooksAgain(MainWindowParts& parts) {
  for (const auto& [button, looks] : parts.buttonLooks) {
    button->setImages(parts.picture(looks.normal), parts.picture(looks.hover), parts.picture(looks.pressed));
  }
}

namespace {

using P = ButtonPicture;

void setLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, P normal, P hover, P pressed) {
  SetLooks(parts, button, normal, hover, pressed);
}

// Normal and hover only: the pressed look stays what it was.
void setLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, P normal, P hover) {
  SetLooks(parts, button, normal, hover);
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
