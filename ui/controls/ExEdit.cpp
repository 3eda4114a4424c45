#include "ui/controls/ExEdit.h"

#include <algorithm>
#include <cmath>

#include "platform/window/UiThread.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Fonts.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

namespace gfx = platform::gfx;
namespace pw = platform::window;

namespace {

constexpr float kDefaultFontSize = 12;

}  // namespace

ExEdit::~ExEdit() = default;

int ExEdit::create(HWND host, const std::string& initialText, RectF bounds, const EditOptions& options) {
  TUNORA_ASSERT_UI_THREAD();
  if (exists()) return id();
  const Font* shared = framework().defaultFont.get();
  ownFont_.reset();
  if (options.fontFace || options.fontSize || options.fontStyle) {
    const std::string face = options.fontFace.value_or(fontFamilyName(shared));
    ownFont_ = createFontByName(face, options.fontSize.value_or(kDefaultFontSize), options.fontStyle.value_or(0));
  }
  font_ = ownFont_ ? ownFont_.get() : shared;
  backColor_ = options.backColor;
  borderColor_ = options.borderColor;
  textColor_ = options.textColor;
  mode_ = options.mode;
  passwordChar_ = options.passwordChar;

  format_.createGenericTypographic();
  // One line whatever the width; trailing spaces count, so the caret can stand after them.
  format_.setFlags(gfx::kFlagNoWrap | gfx::kFlagMeasureTrailingSpaces | gfx::kFlagNoClip);
  format_.setTrimming(gfx::kTrimmingNone);
  format_.setAlign(gfx::kAlignNear);
  format_.setHotkeyPrefix(gfx::kHotkeyNone);

  model_.setText(initialText);
  Registration how;
  how.kind = kKindEdit;
  how.visible = options.visible;
  how.cursor = pw::IDC_IBEAM;
  const int newId = registerWith(host, bounds, how);
  if (newId == 0) return 0;

  scroll_ = 0;
  blink_ = 0;
  laidOutBounds_ = RectF{};
  followBounds();
  caretX_ = textRect_.x;
  if (options.visible) redraw();
  return newId;
}

std::string ExEdit::text(std::optional<std::string> newText) {
  TUNORA_ASSERT_UI_THREAD();
  if (newText) {
    model_.setText(*newText);
    scroll_ = 0;
    layout();
    placeCaret();
    repaintBox();
  }
  return model_.text();
}

void ExEdit::selectAll() {
  TUNORA_ASSERT_UI_THREAD();
  model_.selectAll();
  placeCaret();
  repaintBox();
}

void ExEdit::setTextColor(Argb colour) {
  TUNORA_ASSERT_UI_THREAD();
  textColor_ = colour;
  repaintBox();
}

int ExEdit::mode(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value && *value != mode_) {
    mode_ = *value;
    // The password marks measure differently from the text.
    layout();
    scroll_ = std::clamp(scroll_, scrollLimit(), 0.0f);
    placeCaret();
    repaintBox();
  }
  return mode_;
}

int ExEdit::maxLength(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value && model_.setMaxLength(*value)) {
    layout();
    scroll_ = std::clamp(scroll_, scrollLimit(), 0.0f);
    placeCaret();
    repaintBox();
  }
  return model_.maxLength();
}

// --- messages ------------------------------------------------------------------------------

void ExEdit::onPaint(LPARAM occasion) {
  ExWindow* window = host();
  if (window == nullptr) return;
  if (window->painting()) {
    // The host composes: draw, and leave the caret to the blink.
    paint();
    return;
  }
  if (occasion == kPaintPlain || occasion == kPaintFocusLost) paint();
  if (occasion == kPaintFocusLost) {
    // Deactivated or focus gone: the caret goes and stays away until focus comes back.
    stopBlink();
    active_ = false;
    releaseSystemCaret();
    return;
  }
  active_ = true;
  if (isFocused() && !caretTimerOn_) {
    placeCaret();
    startBlink();
  }
}

void ExEdit::onLeftDown(int x, int, WPARAM) {
  active_ = true;
  dblClickPending_ = false;
  const bool hadSelection = model_.hasSelection();
  hideCaret();
  model_.moveCaret(indexAt(static_cast<float>(x)), false);
  if (hadSelection) repaintBox();
  startBlink();
}

void ExEdit::onMouseMove(int x, int, WPARAM) {
  if (holdsCapture()) dragTo(x);
}

void ExEdit::dragTo(int x) {
  // No caret while the selection is dragged out.
  hideCaret();
  active_ = false;
  const int before = model_.caret();
  const float scrollBefore = scroll_;
  model_.moveCaret(indexAt(static_cast<float>(x)), true);
  if (model_.caret() != before || scroll_ != scrollBefore) repaintBox();
}

void ExEdit::onLeftUp(int x, int, WPARAM) {
  active_ = true;
  if (dblClickPending_) {
    dblClickPending_ = false;
    model_.selectAll();
    scroll_ = scrollLimit();
    caretAfter(model_.characterCount());
  } else {
    model_.moveCaret(indexAt(static_cast<float>(x)), true);
  }
  blink_ = 1;
  repaintBox();
}

void ExEdit::onDoubleClick(int, int, WPARAM) {
  // The selection happens on the release that follows.
  dblClickPending_ = true;
}

void ExEdit::onDestroy() {
  stopBlink();
  releaseSystemCaret();
  model_.setText("");
  scroll_ = 0;
  textTop_ = 0;
  lineHeight_ = 0;
  ownFont_.reset();
  font_ = nullptr;
  format_.destroy();
  lefts_.clear();
  rights_.clear();
  unitOf_.clear();
  display_.clear();
  line_ = platform::gfx::PreparedText();
}

int ExEdit::indexAt(float x) {
  followBounds();
  const int count = model_.characterCount();
  if (count == 0) {
    caretBefore(0);
    return 0;
  }
  const float at = x - textRect_.x - scroll_;
  // Start from the average character width, then step to the character under x.
  const float average = textWidth() / static_cast<float>(count);
  int i = average > 0 ? static_cast<int>(std::lround(at / average)) : 0;
  i = std::clamp(i, 0, count - 1);
  constexpr float kTolerance = 1e-7f;
  int direction = 0;
  RectF r = measureCharacter(i);
  for (int steps = 0; steps <= count; ++steps) {
    if (at < r.x - kTolerance && i > 0 && direction <= 0) {
      --i;
      direction = -1;
    } else if (at > r.x + r.width + kTolerance && i < count - 1 && direction >= 0) {
      ++i;
      direction = 1;
    } else {
      break;
    }
    r = measureCharacter(i);
  }
  if (at > r.x + r.width / 2) ++i;
  i = std::clamp(i, 0, count);
  if (i == count) caretAfter(i);
  else caretBefore(i);
  return i;
}

}  // namespace ui::controls
