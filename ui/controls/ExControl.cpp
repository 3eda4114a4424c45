#include "ui/controls/ExControl.h"

#include <algorithm>
#include <cmath>

#include "platform/window/Tooltips.h"
#include "ui/controls/FocusLook.h"
#include "platform/window/WindowApi.h"
#include "platform/window/UiThread.h"
#include "ui/framework/ExWindow.h"

namespace ui::controls {

namespace pw = platform::window;

namespace {

// Far beyond any screen, and safely inside int.
constexpr float kCoordinateLimit = 1.0e6f;

int pixelCoordinate(float v) { return static_cast<int>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)); }

platform::gfx::RectI pixelArea(RectF r) {
  // Whole pixels covering the rectangle, so anti-aliased edges are repainted too.
  const int left = pixelCoordinate(std::floor(r.x));
  const int top = pixelCoordinate(std::floor(r.y));
  const int right = pixelCoordinate(std::ceil(r.x + r.width));
  const int bottom = pixelCoordinate(std::ceil(r.y + r.height));
  return {left, top, right - left, bottom - top};
}

pw::RECT nativeRect(RectF r) {
  const platform::gfx::RectI p = pixelArea(r);
  return pw::RECT{p.x, p.y, p.x + p.width, p.y + p.height};
}

}  // namespace

// --- the event switch --------------------------------------------------------------------

LRESULT ExControl::onMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, int, int) {
  TUNORA_ASSERT_UI_THREAD();
  const int x = pw::loWordSigned(lParam);
  const int y = pw::hiWordSigned(lParam);
  const bool mouseIgnored = locked_ != 0;
  switch (message) {
    case pw::WM_PAINT:
      onPaint(lParam);
      followFocusLook();
      return 0;
    case pw::WM_MOUSEMOVE:
      if (!mouseIgnored) onMouseMove(x, y, wParam);
      return 0;
    case pw::WM_LBUTTONDOWN:
      if (!mouseIgnored) onLeftDown(x, y, wParam);
      return 0;
    case pw::WM_LBUTTONUP:
      if (!mouseIgnored) onLeftUp(x, y, wParam);
      return 0;
    case pw::WM_LBUTTONDBLCLK:
      if (!mouseIgnored) onDoubleClick(x, y, wParam);
      return 0;
    case pw::WM_RBUTTONDOWN:
      if (!mouseIgnored) onRightDown(x, y, wParam);
      return 0;
    case pw::WM_RBUTTONUP:
      if (!mouseIgnored) onRightUp(x, y, wParam);
      return 0;
    case pw::WM_MOUSEWHEEL:
      if (!mouseIgnored) onWheel(pw::hiWordSigned(static_cast<LPARAM>(wParam)), x, y);
      return 0;
    case pw::WM_KEYDOWN:
      onKeyDown(wParam, lParam);
      return 0;
    case pw::WM_KEYUP:
      onKeyUp(wParam, lParam);
      return 0;
    case pw::WM_CHAR:
      onChar(wParam, lParam);
      return 0;
    case pw::WM_TIMER:
      onTimer(wParam);
      return 0;
    case pw::WM_DESTROY:
      onDestroy();
      return 0;
    case kMsgClick:
      onClickMessage(wParam == kClickByKey);
      return 0;
    case kMsgHidden:
      onHidden();
      return 0;
    case kMsgShown:
      onShown();
      return 0;
    case kMsgCtrlTab:
      onCtrlTab();
      return 0;
    default:
      return onOtherMessage(message, wParam, lParam);
  }
}

// --- creation ------------------------------------------------------------------------------

int ExControl::registerWith(HWND host, RectF bounds, const Registration& how) {
  TUNORA_ASSERT_UI_THREAD();
  if (id() != 0) return id();
  const RectF previous = bounds_;
  bounds_ = bounds;
  ControlPlacement placement;
  placement.bounds = bounds;
  placement.kind = how.kind;
  placement.visible = how.visible;
  placement.takesPress = how.takesPress;
  placement.reserved = how.reserved;
  const int newId = registerControl(*this, host, placement);
  if (newId == 0) {
    bounds_ = previous;
    return 0;
  }
  if (ControlRecord* r = record()) r->enabled = how.enabled;
  redrawEnabled_ = 1;
  tipText_.clear();
  tipRegistered_ = false;
  cursor_ = how.cursor.value_or(pw::IDC_ARROW);
  return newId;
}

// --- geometry and state --------------------------------------------------------------------

ControlRecord* ExControl::record() const { return controlRecord(windowIndex(), controlIndex()); }

int ExControl::controlIndex() const {
  if (!exists()) return 0;
  return controlIndexOf(windowIndex(), id());
}

ExWindow* ExControl::host() const {
  if (!exists()) return nullptr;
  return ExWindow::fromIndex(windowIndex());
}

HWND ExControl::hostHandle() const {
  ExWindow* window = host();
  return window != nullptr ? window->handle() : nullptr;
}

RectF ExControl::bounds() const {
  TUNORA_ASSERT_UI_THREAD();
  return exists() ? bounds_ : RectF{};
}

int ExControl::locked(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (!exists()) return 0;
  if (value) {
    locked_ = *value;
    redraw();
  }
  return locked_;
}

int ExControl::left(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (!exists()) return 0;
  if (value) move(static_cast<float>(*value), std::nullopt);
  return static_cast<int>(bounds_.x);
}

int ExControl::top(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (!exists()) return 0;
  if (value) move(std::nullopt, static_cast<float>(*value));
  return static_cast<int>(bounds_.y);
}

int ExControl::width(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (!exists()) return 0;
  if (value) move(std::nullopt, std::nullopt, static_cast<float>(*value));
  return static_cast<int>(bounds_.width);
}

int ExControl::height(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (!exists()) return 0;
  if (value) move(std::nullopt, std::nullopt, std::nullopt, static_cast<float>(*value));
  return static_cast<int>(bounds_.height);
}

int ExControl::visible(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  ControlRecord* r = record();
  if (r == nullptr) return 0;
  if (value) {
    const int index = controlIndex();
    r->visible = *value != 0;
    // Forced: a control that has just been hidden must still hear about it.
    sendToControl(windowIndex(), index, r->hostWindow, r->visible ? kMsgShown : kMsgHidden, 0, 0, true);
    // Keys must not go on to a control nobody sees.
    if (*value == 0 && isFocused()) host()->setFocusedControl(0);
    if (ExWindow* window = host()) window->repaintRegion(pixelArea(bounds_));
    r = record();
    if (r == nullptr) return 0;
  }
  return r->visible ? 1 : 0;
}

void ExControl::move(std::optional<float> x, std::optional<float> y, std::optional<float> width,
                     std::optional<float> height, bool repaint) {
  TUNORA_ASSERT_UI_THREAD();
  ControlRecord* r = record();
  if (r == nullptr) return;
  const RectF old = bounds_;
  if (x) bounds_.x = *x;
  if (y) bounds_.y = *y;
  if (width) bounds_.width = *width;
  if (height) bounds_.height = *height;
  r->bounds = bounds_;
  if (tipRegistered_) sendTipMessage(pw::TTM_ADDTOOLA);  // the tip follows the control
  if (!repaint) return;
  repaintArea(old);
  repaintArea(bounds_);
}

int ExControl::enabled(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  ControlRecord* r = record();
  if (r == nullptr) return 0;
  if (value) r->enabled = *value != 0;
  return r->enabled ? 1 : 0;
}

void ExControl::reorder(int mode) {
  TUNORA_ASSERT_UI_THREAD();
  const int index = controlIndex();
  if (index == 0) return;
  reorderControl(windowIndex(), index, mode);
  // The stacking changed; show it where this control overlaps others.
  redraw();
}

bool ExControl::isFocused() const {
  TUNORA_ASSERT_UI_THREAD();
  ExWindow* window = host();
  return window != nullptr && window->focusedControl() != 0 && window->focusedControl() == controlIndex();
}

bool ExControl::showsFocusLook() const {
  TUNORA_ASSERT_UI_THREAD();
  const ExWindow* window = host();
  return window != nullptr && isFocused() && window->focusLookShown();
}

void ExControl::followFocusLook() {
  ExWindow* window = host();
  if (window == nullptr || drawsOwnFocusLook()) return;
  const bool shown = showsFocusLook();
  if (!window->painting()) {
    if (shown != focusLookDrawn_) invalidate();
    return;
  }
  if (shown) {
    if (Graphics* g = beginPaint()) drawFocusLook(*g, bounds_);
    endPaint();
  }
  focusLookDrawn_ = shown;
}

// --- repainting ----------------------------------------------------------------------------

void ExControl::repaintArea(RectF area) {
  ExWindow* window = host();
  if (window == nullptr || area.empty() || !area.finite()) return;
  window->repaintRegion(pixelArea(area));
}

bool ExControl::holdsCapture() const {
  const ExWindow* window = host();
  return window != nullptr && window->captureActive() && window->pressedControl() == controlIndex();
}

void ExControl::redraw() {
  TUNORA_ASSERT_UI_THREAD();
  if (redrawEnabled_ == 0 || !exists()) return;
  repaintArea(bounds_);
}

bool ExControl::invalidate() {
  TUNORA_ASSERT_UI_THREAD();
  if (!exists()) return true;
  repaintArea(bounds_);
  return true;
}

int ExControl::redrawFlag(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) redrawEnabled_ = *value;
  return redrawEnabled_;
}

// --- tooltip and free values ---------------------------------------------------------------

const std::string& ExControl::tip(std::optional<std::string> text, bool showNow) {
  TUNORA_ASSERT_UI_THREAD();
  if (text) tipText_ = std::move(*text);
  if (showNow) showTip();
  return tipText_;
}

bool ExControl::sendTipMessage(UINT message) {
  ExWindow* window = host();
  HWND tips = window != nullptr ? window->tooltipWindow() : nullptr;
  if (tips == nullptr || !pw::IsWindow(tips)) return false;
  pw::TOOLINFOA info;
  info.hwnd = window->handle();
  info.uId = static_cast<pw::UINT_PTR>(id());
  info.rect = nativeRect(bounds_);
  info.lpszText = tipText_.c_str();
  pw::SendMessageA(tips, message, 0, reinterpret_cast<LPARAM>(&info));
  return true;
}

void ExControl::showTip() {
  TUNORA_ASSERT_UI_THREAD();
  if (!sendTipMessage(pw::TTM_POP)) return;
  if (tipText_.empty()) {
    // An emptied text means no tip: the old one must not come back on the next hover.
    if (tipRegistered_) sendTipMessage(pw::TTM_DELTOOLA);
    tipRegistered_ = false;
    return;
  }
  HWND tips = host()->tooltipWindow();
  pw::SetWindowPos(tips, pw::HWND_TOPMOST, 0, 0, 0, 0, pw::SWP_NOMOVE | pw::SWP_NOSIZE | pw::SWP_NOACTIVATE);
  sendTipMessage(pw::TTM_ADDTOOLA);
  pw::SendMessageA(tips, pw::TTM_SETDELAYTIME, pw::TTDT_INITIAL, 500);
  pw::SendMessageA(tips, pw::TTM_SETMAXTIPWIDTH, 0, 1024);
  sendTipMessage(pw::TTM_UPDATETIPTEXTA);
  tipRegistered_ = true;
}

ExControl::~ExControl() {
  if (tipRegistered_) sendTipMessage(pw::TTM_DELTOOLA);
}

int ExControl::cursor(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) cursor_ = *value;
  return exists() ? cursor_ : 0;
}

const std::string& ExControl::tag(std::optional<std::string> text) {
  TUNORA_ASSERT_UI_THREAD();
  if (text) tag_ = std::move(*text);
  return tag_;
}

int ExControl::extra(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) extra_ = *value;
  return extra_;
}

// --- paint protocol ------------------------------------------------------------------------

Graphics* ExControl::beginPaint() {
  TUNORA_ASSERT_UI_THREAD();
  ExWindow* window = host();
  if (window == nullptr) return nullptr;
  if (!window->painting()) {
    if (requestingRepaint_) return nullptr;
    requestingRepaint_ = true;
    repaintArea(bounds_);
    requestingRepaint_ = false;
    return nullptr;
  }
  Graphics* g = window->composedGraphics();
  if (g == nullptr || bounds_.empty() || !bounds_.finite()) return nullptr;
  hostClip_ = g->clipBounds();
  g->setClip(bounds_, platform::gfx::kCombineIntersect);
  painting_ = true;
  return g;
}

void ExControl::endPaint() {
  TUNORA_ASSERT_UI_THREAD();
  if (!painting_) return;
  painting_ = false;
  ExWindow* window = host();
  Graphics* g = window != nullptr ? window->composedGraphics() : nullptr;
  if (g == nullptr) return;
  const bool hostUnclipped = hostClip_.x <= 0 && hostClip_.y <= 0 && hostClip_.right() >= static_cast<float>(g->width()) &&
                             hostClip_.bottom() >= static_cast<float>(g->height());
  if (hostUnclipped) g->resetClip();
  else g->setClip(hostClip_);
}

void ExControl::animatedPaint(bool fade, std::optional<int> intervalMs) {
  endPaint();
  if (fade) startTimer(intervalMs);
}

bool ExControl::startTimer(std::optional<int> intervalMs) {
  const int index = controlIndex();
  if (index == 0) return false;
  killControlTimer(windowIndex(), index);
  return setControlTimer(windowIndex(), index, intervalMs);
}

void ExControl::stopTimer() {
  const int index = controlIndex();
  if (index != 0) killControlTimer(windowIndex(), index);
}

void ExControl::drawStretched(Graphics& g, const platform::gfx::Image& image, RectF rect) {
  g.drawImage(image, rect,
              RectF{0, 0, static_cast<float>(image.width()), static_cast<float>(image.height())});
}

}  // namespace ui::controls
