#include "ui/framework/MessageBoxLook.h"

#include <algorithm>
#include <vector>

#include "platform/text/CodePage.h"
#include "ui/framework/Drawing.h"

namespace ui {

namespace gfx = platform::gfx;

namespace {

constexpr int kMarginWithoutIcon = 60;
constexpr int kMarginWithIcon = 120;
constexpr int kMarginVertical = 100;
constexpr float kTextTop = 43;
constexpr float kOneLineHeight = 30;
constexpr float kOneLineDrop = 4;

constexpr Argb white(unsigned alpha) { return (alpha << 24) | 0x00FFFFFFu; }

}  // namespace

std::array<int, 3> boxButtonCodes(int buttons) {
  switch (buttons) {
    case kBoxCancelOk: return {kBoxCodeCancel, kBoxCodeOk, -1};
    case kBoxAbortRetryIgnore: return {kBoxCodeAbort, kBoxCodeRetry, kBoxCodeIgnore};
    case kBoxCancelNoYes: return {kBoxCodeCancel, kBoxCodeNo, kBoxCodeYes};
    case kBoxNoYes: return {kBoxCodeNo, kBoxCodeYes, -1};
    case kBoxCancelRetry: return {kBoxCodeCancel, kBoxCodeRetry, -1};
    default: return {kBoxCodeOk, -1, -1};
  }
}

const std::string& boxButtonCaption(int code) {
  static const std::vector<std::string> captions = [] {
    std::vector<std::string> out;
    for (const char* utf8 : {"确认", "取消", "放弃", "重试", "忽略", "是", "否"}) {
      out.push_back(platform::text::utf8ToAnsi(utf8));
    }
    return out;
  }();
  static const std::string none;
  if (code < 0 || code >= static_cast<int>(captions.size())) return none;
  return captions[static_cast<std::size_t>(code)];
}

int boxIconCellX(int icon) {
  switch (icon) {
    case kBoxIconNone: return -1;
    case kBoxIconWarning: return 40;
    case kBoxIconQuestion: return 80;
    case kBoxIconInformation: return 120;
    case kBoxIconSuccess: return 160;
    default: return 0;
  }
}

RectF boxButtonAtCreation(int position, int w, int h) {
  static constexpr int kFromRight[] = {83, 158, 233};
  const int i = std::clamp(position, 1, 3) - 1;
  return RectF{static_cast<float>(w - kFromRight[i]), static_cast<float>(h - 36), kBoxButtonWidth, kBoxButtonHeight};
}

PointF boxButtonAfterResize(int position, int w, int h) {
  static constexpr int kFromRight[] = {85, 165, 245};
  const int i = std::clamp(position, 1, 3) - 1;
  return PointF{static_cast<float>(w - kFromRight[i]), static_cast<float>(h - 36)};
}

BoxLayout layoutMessageBox(const TextMeasure& measure, bool withIcon, RectI workArea) {
  const int marginX = withIcon ? kMarginWithIcon : kMarginWithoutIcon;
  const int widest = std::max(workArea.width, kBoxWidth);
  const int tallest = std::max(workArea.height, kBoxHeight);
  BoxLayout out;
  out.text = RectF{withIcon ? 85.0f : 30.0f, kTextTop, static_cast<float>(kBoxWidth - marginX),
                   static_cast<float>(kBoxHeight - kMarginVertical)};
  // The width a line asks for unwrapped: a long line widens the box rather than breaking.
  const float natural = measure(RectF{out.text.x, out.text.y, 0, 0}).width;
  if (natural > out.text.width) {
    out.width = std::min(static_cast<int>(natural) + marginX, widest);
    out.text.width = std::min(natural + 10, static_cast<float>(out.width - marginX + 10));
  }
  const float tall = measure(out.text).height;
  if (tall > out.text.height) {
    out.height = std::min(static_cast<int>(tall) + kMarginVertical, tallest);
    out.text.height = std::min(tall + 5, static_cast<float>(out.height - kMarginVertical + 5));
  }
  if (tall < kOneLineHeight) out.text.y += kOneLineDrop;
  return out;
}

RectI placeMessageBox(int width, int height, int screenWidth, int screenHeight, RectI workArea) {
  int x = (screenWidth - width) / 2;
  int y = (screenHeight - height) / 2;
  x = std::max(workArea.x, std::min(x, workArea.x + workArea.width - width));
  y = std::max(workArea.y, std::min(y, workArea.y + workArea.height - height));
  return RectI{x, y, width, height};
}

void drawMessageBoxPanel(gfx::Graphics& g, int w, int h, int icon, const gfx::Image* strip) {
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  fillGradientRect(g, RectF{5, 5, fw - 10, 40.1f}, white(1), white(190), gfx::kGradientVertical);
  fillGradientRect(g, RectF{5, 44, fw - 10, fh - 84}, white(188), white(240), gfx::kGradientVertical);
  fillGradientRect(g, RectF{5, fh - 40, fw - 10, 35}, white(190), white(1), gfx::kGradientVertical);
  drawLine(g, white(210), 6, fh - 40, fw - 6, fh - 40);
  const int cell = boxIconCellX(icon);
  if (cell < 0 || strip == nullptr) return;
  g.drawImage(*strip, RectF{30, 40, kBoxIconSize, kBoxIconSize},
              RectF{static_cast<float>(cell), 0, kBoxIconSize, kBoxIconSize});
}

}  // namespace ui
