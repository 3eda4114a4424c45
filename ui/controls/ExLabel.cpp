#include "ui/controls/ExLabel.h"

#include "platform/window/UiThread.h"
#include "ui/framework/Fonts.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

namespace {

constexpr float kDefaultFontSize = 12;
constexpr float kTextInset = 2;

Argb fillColour(Argb colour) { return colour == kTransparentFill ? 0u : colour; }

bool isGradientMode(int mode) {
  return mode >= platform::gfx::kGradientHorizontal && mode <= platform::gfx::kGradientBackwardDiagonal;
}

}  // namespace

int ExLabel::create(HWND host, std::string text, RectF bounds, const LabelOptions& options) {
  TUNORA_ASSERT_UI_THREAD();
  text_ = std::move(text);
  textColour_ = options.textColour;
  fillMode_ = options.fillMode;
  fillFrom_ = options.fillFrom;
  fillTo_ = options.fillTo;
  alignment_ = options.alignment;
  formatFlags_ = options.formatFlags;
  effect_ = options.effect;
  effectColour_ = options.effectColour;
  borderColour_ = options.borderColour;
  glow_ = options.glow ? 1 : 0;
  ownFont_.reset();
  if (options.fontFace || options.fontSize || options.fontStyle) {
    const std::string face = options.fontFace.value_or(fontFamilyName(framework().defaultFont.get()));
    ownFont_ = createFontByName(face, options.fontSize.value_or(kDefaultFontSize), options.fontStyle.value_or(0));
  }
  Registration how;
  how.kind = kKindLabel;
  how.visible = options.visible;
  how.takesPress = false;
  const int result = registerWith(host, bounds, how);
  redraw();
  return result;
}

const platform::gfx::Font* ExLabel::font() const {
  return ownFont_ ? ownFont_.get() : framework().defaultFont.get();
}

const std::string& ExLabel::text(std::optional<std::string> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) {
    text_ = std::move(*value);
    redraw();
  }
  return text_;
}

void ExLabel::setTextColour(Argb colour) {
  TUNORA_ASSERT_UI_THREAD();
  textColour_ = colour;
  redraw();
}

int ExLabel::glow(std::optional<int> value) {
  if (value) glow_ = *value;
  return glow_;
}

Argb ExLabel::fillFrom(std::optional<Argb> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) {
    fillFrom_ = *value;
    redraw();
  }
  return fillFrom_;
}

Argb ExLabel::fillTo(std::optional<Argb> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) {
    fillTo_ = *value;
    redraw();
  }
  return fillTo_;
}

int ExLabel::fillMode(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) {
    fillMode_ = *value;
    redraw();
  }
  return fillMode_;
}

void ExLabel::paintBackground(Graphics& g, RectF b) const {
  // Any other mode makes no brush, so nothing is filled.
  if (!isGradientMode(fillMode_)) return;
  const Argb from = fillColour(fillFrom_), to = fillColour(fillTo_);
  if (from == to) {
    g.fillRectangle(createSolidBrush(from), b);
  } else {
    fillGradientRect(g, b, from, to, fillMode_);
  }
}

void ExLabel::onPaint(LPARAM) {
  Graphics* g = beginPaint();
  if (g == nullptr) return;
  const RectF b = bounds();
  paintBackground(*g, b);
  // After the fill, or an opaque background would hide the border.
  if (borderColour_ != 0) g->drawRectangle(createPen(borderColour_), RectF{b.x, b.y, b.width - 1, b.height - 1});
  if (!text_.empty()) {
    const RectF area{b.x + kTextInset, b.y + kTextInset, b.width - 2 * kTextInset, b.height - 2 * kTextInset};
    if (area.width > 0 && area.height > 0) {
      if (glow_ != 0) {
        drawText(*g, text_, font(), area, textColour_, alignment_, kEffectGlow, effectColour_, formatFlags_);
      } else {
        drawText(*g, text_, font(), area, textColour_, alignment_, effect_, effectColour_, formatFlags_);
      }
    }
  }
  animatedPaint(false);
}

void ExLabel::onDestroy() { ownFont_.reset(); }

}  // namespace ui::controls
