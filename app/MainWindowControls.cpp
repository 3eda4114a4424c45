#include "app/MainWindowControls.h"

#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"

namespace app {
namespace {

namespace pw = platform::window;
using ui::controls::ExImageButton;
using ui::controls::RectF;

void onUi(const std::function<void()>& fn) { pw::invokeOnUiThread(fn); }

void imageButton(MainWindowParts& parts, ExImageButton& button, RectF bounds, int normal, int hover, int pressed) {
  onUi([&] {
    const auto& images = parts.buttonImages;
    button.create(parts.hwnd, bounds, images[static_cast<std::size_t>(normal)],
                  images[static_cast<std::size_t>(hover)], images[static_cast<std::size_t>(pressed)]);
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
  imageButton(parts, parts.playPause, {124, 130, 45, 45}, 0, 1, 2);
  imageButton(parts, parts.previous, {79, 130, 45, 45}, 3, 4, 5);
  imageButton(parts, parts.next, {169, 130, 45, 45}, 6, 7, 8);
  onUi([&] {
    // Tab 1 starts active: its normal and hover looks are both the active picture.
    parts.tab1.create(parts.hwnd, {6, 216, 95, 35}, parts.buttonImages[10], parts.buttonImages[10]);
    parts.tab2.create(parts.hwnd, {101, 216, 95, 35}, parts.buttonImages[11], parts.buttonImages[12]);
    parts.tab3.create(parts.hwnd, {196, 216, 95, 35}, parts.buttonImages[13], parts.buttonImages[14]);
  });
  imageButton(parts, parts.volumeIcon, {215, 143, 22, 22}, 15, 16, 17);
  onUi([&] { parts.volumeIcon.reorder(1); });
  imageButton(parts, parts.groupHeader1, {6, 252, 282, 30}, 18, 19, 20);
  imageButton(parts, parts.groupHeader2, {6, 282, 282, 30}, 21, 22, 23);
  imageButton(parts, parts.searchButton, {260, 188, 30, 27}, 24, 25, 26);
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
    static const std::string hint = platform::text::utf8ToAnsi("请输入歌曲/歌手名");
    ui::controls::EditOptions options;
    options.textColor = 0xC8FFFFFFu;
    options.backColor = 0x1E000000u;
    options.borderColor = 0;
    parts.searchBox.create(parts.hwnd, hint, {6, 186, 285, 30}, options);
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
