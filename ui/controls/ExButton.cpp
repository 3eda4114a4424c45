#include "ui/controls/ExButton.h"

#include <algorithm>

#include "platform/text/CodePage.h"
#include "platform/window/UiThread.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Fonts.h"
#include "ui/framework/Framework.h"
#include "ui/framework/WideText.h"

namespace ui::controls {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr float kDefaultFontSize = 12;

struct FrameColours {
  Argb fill;
  Argb border;
};

FrameColours coloursOf(FadingButton::Look look) {
  switch (look) {
    case FadingButton::Look::Hover: return {0xF0FFFFFFu, 0xDC1E78DCu};
    case FadingButton::Look::Pressed: return {0xF0B4D2F0u, 0xF0145AAAu};
    case FadingButton::Look::Normal: break;
  }
  return {0xB4FFFFFFu, 0x78000000u};
}

constexpr Argb kFocusRing = 0xC81E78DCu;

}  // namespace

int ExButton::accessKeyOf(const std::string& caption) {
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const auto c = static_cast<unsigned char>(caption[i]);
    if (platform::text::isAnsiLeadByte(c)) {
      ++i;  // its trail byte is never "&"
      continue;
    }
    if (c != '&') continue;
    if (i + 1 >= caption.size()) return 0;
    const auto key = static_cast<unsigned char>(caption[i + 1]);
    if (key == '&') {
      ++i;
      continue;
    }
    // Only a printable ASCII character has a key of its own.
    if (key <= 0x20 || key >= 0x7F) return 0;
    return (key >= 'a' && key <= 'z') ? key - 'a' + 'A' : key;
  }
  return 0;
}

int ExButton::create(HWND host, std::string caption, RectF bounds, const ButtonOptions& options) {
  TUNORA_ASSERT_UI_THREAD();
  caption_ = std::move(caption);
  textColour_ = options.textColour;
  value_ = options.value;
  ownFont_.reset();
  if (options.fontFace || options.fontSize || options.fontStyle) {
    const std::string face = options.fontFace.value_or(fontFamilyName(framework().defaultFont.get()));
    ownFont_ = createFontByName(face, options.fontSize.value_or(kDefaultFontSize), options.fontStyle.value_or(0));
  }
  if (options.cornerRadius) {
    cornerRadius_ = *options.cornerRadius;
  } else {
    const ExWindow* window = ExWindow::fromHandle(host);
    cornerRadius_ = window != nullptr ? window->cornerRadius() : 0;
  }
  Registration how;
  how.kind = kKindPushButton;
  how.visible = options.visible;
  const int result = registerWith(host, bounds, how);
  if (result != 0) registerAccessKey();
  redraw();
  return result;
}

void ExButton::registerAccessKey() {
  HWND window = hostHandle();
  if (window == nullptr) return;
  const int key = accessKeyOf(caption_);
  // A caption without a key must not leave the old one clicking this button.
  if (key == 0 && accessKey_ == 0) return;
  const LRESULT registered = pw::SendMessageA(window, kMsgAccessKey, static_cast<WPARAM>(id()), key);
  accessKey_ = (key != 0 && registered != 0) ? key : 0;
}

void ExButton::setCaption(std::string caption) {
  TUNORA_ASSERT_UI_THREAD();
  caption_ = std::move(caption);
  registerAccessKey();
  redraw();
}

void ExButton::setSkinImage(resources::ExImage image) {
  TUNORA_ASSERT_UI_THREAD();
  skin_ = std::move(image);
  redraw();
}

const gfx::Font* ExButton::font() const { return ownFont_ ? ownFont_.get() : framework().defaultFont.get(); }

int ExButton::paintFadeStart() const { return (isFocused() || stateFlag() != 0) ? 204 : 0; }

int ExButton::lookVariant() const { return (isFocused() ? 1 : 0) | (stateFlag() != 0 ? 2 : 0); }

void ExButton::drawLook(Graphics& g, RectF b, Look look) {
  if (b.width < 2 || b.height < 2) return;
  const FrameColours colours = coloursOf(look);
  const float diameter = static_cast<float>(std::max(0, cornerRadius_) * 2);
  drawRoundRect(g, b, diameter, colours.fill, colours.border);
  const RectF inside{b.x + 1, b.y + 1, b.width - 2, b.height - 2};
  if (const gfx::Image* skin = skin_.GetHandle()) {
    g.setClip(roundedClipPath(inside, diameter), gfx::kCombineIntersect);
    drawStretched(g, *skin, inside);
  }
  if (isFocused() && b.width > 6 && b.height > 6) {
    drawRoundRect(g, RectF{b.x + 2, b.y + 2, b.width - 4, b.height - 4}, std::max(0.0f, diameter - 4), std::nullopt,
                  kFocusRing);
  }
  if (caption_.empty() || font() == nullptr) return;
  gfx::StringFormat format = textFormatFor(4, gfx::kFlagNoWrap);
  format.hotkeyPrefix = gfx::kHotkeyShow;
  // Pressed, the caption sinks by a pixel.
  const float sink = look == Look::Pressed ? 1.0f : 0.0f;
  Argb colour = textColour_;
  if (stateFlag() != 0) colour = (colour & 0x00FFFFFFu) | (((colour >> 24) / 2) << 24);
  g.drawString(toWide(caption_), font(), RectF{b.x + sink, b.y + sink, b.width, b.height}, format, colour);
}

void ExButton::onDestroy() {
  FadingButton::onDestroy();
  ownFont_.reset();
}

}  // namespace ui::controls
