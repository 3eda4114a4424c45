#include "app/MainWindowControls.h"

#include "app/MainWindowTabs.h"
#include "app/ProgramTexts.h"
#include "platform/window/WindowApi.h"

namespace app {
namespace {

namespace pw = platform::window;
using ui::controls::ExImageButton;
using ui::controls::RectF;

void onUi(const std::function<void()>& fn) { pw::invokeOnUiThread(fn); }

using P = ButtonPicture;

// Each button's three looks are consecutive entries of the package.
void imageButton(MainWindowParts& parts, ExImageButton& button, RectF bounds, P normal) {
  onUi([&] {
    const auto at = static_cast<int>(normal);
    CreateWithLooks(parts, button, bounds, normal, static_cast<P>(at + 1), static_cast<P>(at + 2));
  });
}

ui::controls::SliderOptions sliderColours(platform::gfx::Argb colour) {
  ui::controls::SliderOptions options;
  options.valueColorFrom = colour;
  options.valueColorTo = colour;
  options.trackHeight = 7;
  return options;
}

void label(MainWindowParts& parts, ui::controls::ExLabel& control, RectF bounds,
           std::optional<float> fontSize = std::nullopt) {
  onUi([&] {
    ui::controls::LabelOptions options;
    options.textColour = 0xFF000000u;
    options.fontSize = fontSize;
    control.create(parts.hwnd, std::string{}, bounds, options);
  });
}

ui::controls::ListOptions listColours() {
  ui::controls::ListOptions options;
  options.colours.text = 0xFE000000u;
  options.colours.hover = 0x1E000000u;
  options.visible = false;
  return options;
}

}  // namespace

void CreateMainWindowControls(MainWindowParts& parts, const std::function<int()>& readVolume) {
  imageButton(parts, parts.playPause, {124, 130, 45, 45}, P::Play);
  imageButton(parts, parts.previous, {79, 130, 45, 45}, P::Previous);
  imageButton(parts, parts.next, {169, 130, 45, 45}, P::Next);
  onUi([&] {
    // Tab 1 starts active: its normal and hover looks are both the active picture.
    CreateWithLooks(parts, parts.tab1, {6, 216, 95, 35}, P::Tab1Active, P::Tab1Active);
    CreateWithLooks(parts, parts.tab2, {101, 216, 95, 35}, P::Tab2, P::Tab2Active);
    CreateWithLooks(parts, parts.tab3, {196, 216, 95, 35}, P::Tab3, P::Tab3Active);
  });
  imageButton(parts, parts.volumeIcon, {215, 143, 22, 22}, P::Volume);
  onUi([&] { parts.volumeIcon.reorder(1); });
  imageButton(parts, parts.groupHeader1, {6, 252, 282, 30}, P::Group1);
  imageButton(parts, parts.groupHeader2, {6, 282, 282, 30}, P::Group2);
  imageButton(parts, parts.searchButton, {260, 188, 30, 27}, P::Search);
  onUi([&] { parts.positionSlider.create(parts.hwnd, {10, 100, 270, 7}, sliderColours(0xE1808080u)); });
  const int volume = readVolume();
  onUi([&] {
    ui::controls::SliderOptions options = sliderColours(0xE1FFFFFFu);
    options.value = volume;
    options.secondValue = 100.0;
    parts.volumeSlider.create(parts.hwnd, {236, 148, 55, 7}, options);
  });
  // Title and singer are two lines; at the default 12 px the second one loses its foot.
  label(parts, parts.songLabel, {18, 69, 250, 27}, 11.0f);
  // A time such as 03:25 is wider than these labels at the default 12 px.
  label(parts, parts.elapsedLabel, {18, 113, 35, 22}, 10.0f);
  label(parts, parts.lengthLabel, {240, 113, 35, 22}, 10.0f);
  onUi([&] {
    ui::controls::EditOptions options;
    options.textColor = 0xC8FFFFFFu;
    options.backColor = 0x1E000000u;
    options.borderColor = 0;
    parts.searchBox.create(parts.hwnd, SearchHintText(), {6, 186, 285, 30}, options);
    parts.searchBox.reorder(2);
  });
  onUi([&] {
    parts.presetImages.create(45, 45);
    parts.resultImages.create(26, 26);
  });
  onUi([&] {
    parts.resultList.create(parts.hwnd, {7, 251, 283, 350}, listColours());
    ui::controls::ListStyle style;
    style.imageList = parts.resultImages.handle();
    style.gridFlags = 0;
    parts.resultList.setStyle(style);
    parts.resultList.addColumn(0, std::string{}, 170);
    parts.resultList.addColumn(0, std::string{}, 80);
  });
  onUi([&] {
    parts.presetList.create(parts.hwnd, {8, 283, 280, 350}, listColours());
    ui::controls::ListStyle style;
    style.imageList = parts.presetImages.handle();
    parts.presetList.setStyle(style);
    parts.presetList.addColumn(0, std::string{}, 250);
    // Room for the 45 x 45 picture and the two lines (title, singer) of each row.
    parts.presetList.rowHeight(50);
  });
}

}  // namespace app
