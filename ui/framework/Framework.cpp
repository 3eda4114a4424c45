#include "ui/framework/Framework.h"

#include "assets/EmbeddedArtwork.h"
#include "platform/text/CodePage.h"
#include "platform/window/Tooltips.h"
#include "ui/framework/Fonts.h"
#include "ui/framework/WindowClass.h"

namespace ui {

namespace {

// The host picks its title path by this; the one for the old major version 5 never
// applies on this desktop, so a modern value is reported instead of the kernel's.
constexpr int kModernOsMajorVersion = 10;

}  // namespace

FrameworkState& framework() {
  // Never destroyed: windows and controls declared as globals may still reach it while
  // they are torn down at exit.
  static FrameworkState* state = new FrameworkState();
  return *state;
}

void start(int /*gdiplusVersion*/) {
  FrameworkState& state = framework();
  if (state.started) return;
  state.started = true;
  // The drawing libraries start themselves on first use; nothing to bring up here.
  state.osMajorVersion = kModernOsMajorVersion;
  // Without either face (a system lacking "宋体" whose caption font cannot be made) the
  // Chinese texts still need a font that has their glyphs.
  state.defaultFont = chooseDefaultFont(
      {songTypefaceName(), systemFontFace(2), platform::text::utf8ToAnsi(platform::gfx::chineseFamily())});
  platform::window::setTooltipFont(state.defaultFont.get());
  state.defaultInterval = kDefaultTimerInterval;
  const auto sprite = assets::captionSpritePng();
  state.captionSprite.LoadFromBytes(platform::system::ByteBlock(sprite.begin(), sprite.end()));
  registerWindowClass(defaultWindowProcedure, std::string(kFrameworkClassName));
}

const platform::gfx::Image* captionSpriteFor(double scale) {
  FrameworkState& state = framework();
  if (scale <= 1) return state.captionSprite.GetHandle();
  // Decoded on first use, so a desktop at 1x never holds it.
  if (state.captionSprite2x.GetHandle() == nullptr) {
    const auto png = assets::captionSpritePng2x();
    if (state.captionSprite2x.LoadFromBytes(platform::system::ByteBlock(png.begin(), png.end())) == nullptr) {
      return state.captionSprite.GetHandle();
    }
    state.captionSprite2x.GetHandle()->setScale(2);
  }
  return state.captionSprite2x.GetHandle();
}

}  // namespace ui
