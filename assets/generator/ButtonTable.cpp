// The button table of the main window: which picture sits at which index.

#include "assets/generator/AppArtwork.h"
#include "assets/generator/ButtonPictures.h"

namespace artwork {

namespace {

constexpr const char* kTabCaptions[] = {"我的音乐", "搜索结果", "在线音乐"};
constexpr const char* kGroupCaptions[] = {"推荐歌曲", "我的收藏"};

ButtonLook lookOf(int step) {
  return step == 0 ? ButtonLook::Normal : step == 1 ? ButtonLook::Hover : ButtonLook::Pressed;
}

}  // namespace

PictureSize buttonPictureSize(int index) {
  if (index < 0 || index >= kButtonPictureCount) return {0, 0};
  if (index <= 8 || index >= 27) return {45, 45};
  if (index <= 14) return {95, 35};
  if (index <= 17) return {22, 22};
  if (index <= 23) return {282, 30};
  return {30, 27};
}

cairo_surface_t* drawButtonPicture(int index) {
  if (index < 0 || index >= kButtonPictureCount) return nullptr;
  if (index <= 2) return drawMainPlayButton(false, lookOf(index));
  if (index <= 8) return drawSkipButton(index >= 6, lookOf(index % 3));
  if (index <= 14) {
    // Odd pictures are a tab at rest, even ones the same tab chosen (also its hover look).
    const int tab = (index - 9) / 2;
    return drawTabButton(kTabCaptions[tab], (index - 9) % 2 == 1);
  }
  if (index <= 17) return drawVolumeButton(lookOf(index - 15));
  if (index <= 23) {
    const int step = (index - 18) % 3;
    const GroupLook look = step == 0 ? GroupLook::Closed : step == 1 ? GroupLook::ClosedHover : GroupLook::Open;
    return drawGroupHeader(kGroupCaptions[(index - 18) / 3], look);
  }
  if (index <= 26) return drawSearchButton(lookOf(index - 24));
  return drawMainPlayButton(true, lookOf(index - 27));
}

}  // namespace artwork
