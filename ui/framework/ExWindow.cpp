// The window host's life cycle (attach, set-up, detach) and its window procedure, which
// forwards each message to a small handler.

#include <algorithm>

#include "platform/window/DesktopServices.h"
#include "platform/window/Tooltips.h"
#include "ui/framework/ExWindowState.h"

namespace ui {

namespace {

constexpr const char* kObjectProperty = "addr_wnd";

std::unique_ptr<DecorationFactory>& factorySlot() {
  static std::unique_ptr<DecorationFactory>* slot = new std::unique_ptr<DecorationFactory>();
  return *slot;
}

}  // namespace

void setDecorationFactory(std::unique_ptr<DecorationFactory> factory) {
  TUNORA_ASSERT_UI_THREAD();
  factorySlot() = std::move(factory);
}

DecorationFactory* decorationFactory() { return factorySlot().get(); }

WindowEntry* ExWindow::State::entry() const {
  WindowEntry* e = framework().windows.at(windowIndex);
  return (e != nullptr && e->window == &self) ? e : nullptr;
}

bool ExWindow::State::maximised() const { return hwnd != nullptr && pw::IsZoomed(hwnd); }

LRESULT ExWindow::State::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ExWindow* host = ExWindow::fromHandle(hwnd);
  if (host == nullptr) return pw::DefWindowProcA(hwnd, message, wParam, lParam);
  return host->state_->handle(message, wParam, lParam);
}

LRESULT ExWindow::State::goOn(UINT message, WPARAM wParam, LPARAM lParam, bool answeredHere) {
  if (hook) {
    const MessageHook keep = hook;  // the hook may replace itself
    const LRESULT r = keep(hwnd, message, wParam, lParam);
    if (r != -1) return r;
  }
  if (answeredHere) return 0;
  if (previousProcedure == nullptr) return pw::DefWindowProcA(hwnd, message, wParam, lParam);
  return pw::CallWindowProcA(previousProcedure, hwnd, message, wParam, lParam);
}

LRESULT ExWindow::State::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  ++handlingDepth;
  const LRESULT result = handleMessage(message, wParam, lParam);
  if (--handlingDepth == 0) retired.clear();
  return result;
}

LRESULT ExWindow::State::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case pw::WM_DESTROY: {
      mouseTracking = false;
      // Detaching drops the hook and the previous procedure; the message still reaches them.
      const MessageHook keepHook = hook;
      const pw::WNDPROC previous = previousProcedure;
      const HWND window = hwnd;
      detach();
      if (keepHook) {
        const LRESULT r = keepHook(window, message, wParam, lParam);
        if (r != -1) return r;
      }
      return previous ? pw::CallWindowProcA(previous, window, message, wParam, lParam)
                      : pw::DefWindowProcA(window, message, wParam, lParam);
    }
    case pw::WM_MOVE:
      refreshWindowRect();
      break;
    case pw::WM_DPICHANGED:
      onScaleChanged();
      // The window's own procedure may hold pictures for the old scale.
      return goOn(message, wParam, lParam);
    case pw::WM_SIZE:
      refreshWindowRect();
      onSize(static_cast<int>(pw::loWord(static_cast<std::uintptr_t>(lParam))),
             static_cast<int>(pw::hiWord(static_cast<std::uintptr_t>(lParam))));
      return goOn(message, wParam, lParam, true);
    case pw::WM_ACTIVATE:
      onActivate(pw::loWord(wParam) != pw::WA_INACTIVE);
      break;
    case pw::WM_KILLFOCUS:
      onKillFocus();
      break;
    case pw::WM_SETTEXT: {
      const LRESULT r = goOn(message, wParam, lParam);
      self.drawTitle();
      return r;
    }
    case pw::WM_PAINT:
      onPaint();
      return goOn(message, wParam, lParam, true);
    case pw::WM_CLOSE: {
      if (closeEffect != kCloseNone) playCloseEffect();
      const LRESULT r = goOn(message, wParam, lParam);
      // A close that was refused must not leave the window invisible.
      if (closeEffect != kCloseNone && entry() != nullptr && pw::IsWindow(hwnd)) pushRect({0, 0, width, height});
      return r;
    }
    case pw::WM_GETMINMAXINFO:
      onGetMinMaxInfo(reinterpret_cast<pw::MINMAXINFO*>(lParam));
      return goOn(message, wParam, lParam, true);
    case kWmWindowPosChanging:
      onWindowPosChanging(reinterpret_cast<WindowPosChange*>(lParam));
      return goOn(message, wParam, lParam, true);
    case kWmNcCalcSize:
      if (wParam == 1) return 1;
      break;
    case kWmNcActivate:
      if (wParam == 0) return 1;
      if (!pw::IsIconic(hwnd)) return 0;
      break;
    case pw::WM_KEYDOWN:
      keyDown(wParam, lParam);
      break;
    case pw::WM_KEYUP:
      keyUp(wParam, lParam);
      break;
    case pw::WM_CHAR:
      character(wParam, lParam);
      break;
    case pw::WM_SYSKEYDOWN:
      systemKeyDown(wParam, lParam);
      break;
    case pw::WM_COMMAND:
      pw::SendMessageA(hwnd, pw::WM_SYSCOMMAND, wParam, 0);
      break;
    case pw::WM_TIMER:
      timerTick(wParam);
      break;
    case kMsgBackgroundImage:
      // A framework window answers its skin picture, for windows that copy it.
      return reinterpret_cast<LRESULT>(backgroundImage.GetHandle() ? &backgroundImage : nullptr);
    case pw::WM_MOUSEMOVE:
    case pw::WM_LBUTTONDOWN:
    case pw::WM_LBUTTONUP:
    case pw::WM_RBUTTONDOWN:
    case pw::WM_RBUTTONUP:
      return onMouse(message, wParam, lParam);
    case pw::WM_LBUTTONDBLCLK:
      return pw::SendMessageA(hwnd, pw::WM_LBUTTONDOWN, static_cast<WPARAM>(kEditKeyMarker), lParam);
    case pw::WM_MOUSEWHEEL:
      mouseWheel(wParam, lParam);
      break;
    case pw::WM_EXITSIZEMOVE:
      refreshWindowRect();
      break;
    case pw::WM_CAPTURECHANGED:
      captureLost(reinterpret_cast<HWND>(lParam));
      break;
    case pw::WM_MOUSELEAVE:
      mouseTracking = false;
      endHover();
      pw::ReleaseCapture();
      break;
    case kMsgAccessKey: {
      const LRESULT registered = registerAccessKey(wParam, lParam);
      const LRESULT r = goOn(message, wParam, lParam, true);
      return r != 0 ? r : registered;
    }
    case kMsgBackgroundColour:
      return static_cast<LRESULT>(backgroundColour);
    default:
      break;
  }
  if (entry() == nullptr) {
    // Detached while handling (the window closed inside a handler).
    return previousProcedure ? pw::CallWindowProcA(previousProcedure, hwnd, message, wParam, lParam)
                             : pw::DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return goOn(message, wParam, lParam);
}

bool ExWindow::State::attach(HWND window, const platform::system::ByteBlock& image,
                             const AttachOptions& options) {
  if (!pw::IsWindow(window) || entry() != nullptr || ExWindow::fromHandle(window) != nullptr) return false;
  hwnd = window;
  loadBackground(image);
  if (options.pictureScale != 1 && backgroundImage.GetHandle() != nullptr) {
    backgroundImage.GetHandle()->setScale(options.pictureScale);
  }
  if (options.backgroundColour) {
    backgroundColour = *options.backgroundColour;
  } else {
    backgroundColour = 0;
    colourFromPicture();
  }
  long style = pw::GetWindowLongA(hwnd, pw::GWL_STYLE);
  const std::optional<int>& set = options.captionButtonSet;
  if (!set || *set != 0) style |= static_cast<long>(pw::WS_SYSMENU);
  captionButtonSet = set.value_or(0);
  if (!set || (*set & kCaptionAddStandard) != 0) {
    captionButtonSet |= kCaptionIcon | kCaptionTitle | kCaptionClose;
    if (style & static_cast<long>(pw::WS_MAXIMIZEBOX)) captionButtonSet |= kCaptionMaximize;
    if (style & static_cast<long>(pw::WS_MINIMIZEBOX)) captionButtonSet |= kCaptionMinimize;
  }
  captionButtonSet &= ~kCaptionAddStandard;
  if (options.fixedSize == 1) style &= ~static_cast<long>(pw::WS_THICKFRAME);
  if (options.fixedSize == 0) style |= static_cast<long>(pw::WS_THICKFRAME);
  pw::SetWindowLongA(hwnd, pw::GWL_STYLE, style);
  backgroundMode = options.backgroundMode;
  fixedSize = options.fixedSize;
  dragLocked = options.dragLocked;
  flagC = options.flagC;
  nineGridMargins = {};
  if (backgroundMode == 1 && options.nineGridMargins) nineGridMargins = *options.nineGridMargins;
  setUp(options);
  tooltipWindow = pw::CreateWindowExA(pw::WS_EX_TOPMOST, pw::TOOLTIPS_CLASSA, "", pw::TTS_ALWAYSTIP, 0, 0, 0, 0,
                                      nullptr, nullptr);
  redraw(false);
  return true;
}

void ExWindow::State::setUp(const AttachOptions& options) {
  auto fresh = std::make_unique<WindowEntry>();
  fresh->window = &self;
  fresh->handle = hwnd;
  fresh->applicationValue = options.applicationValue;
  fresh->entryValueA = options.entryValueA;
  fresh->windowAlpha = options.windowAlpha < 0 ? -1 : std::min(options.windowAlpha, 255);
  fresh->installedProcedure = &State::procedure;
  windowIndex = framework().windows.append(std::move(fresh));
  WindowEntry& e = *entry();
  refreshWindowRect();
  pw::RECT client;
  pw::GetClientRect(hwnd, &client);
  width = client.width();
  height = client.height();
  // At the window's size: one at the largest size a window can take held about a screen's
  // width of rows for a window a fraction of that wide. It grows when the window does.
  scale = pw::GetWindowScale(hwnd);
  e.composed.recreate(width, height, scale);
  e.background.recreate(width, height, scale);
  pw::SetWindowLongA(hwnd, pw::GWL_STYLE, pw::GetWindowLongA(hwnd, pw::GWL_STYLE) | static_cast<long>(pw::WS_SYSMENU));
  pw::SetPropA(hwnd, kObjectProperty, reinterpret_cast<std::intptr_t>(&self));
  previousProcedure = pw::SetWindowProc(hwnd, &State::procedure);
  createDecorations();
  systemMenu = pw::GetSystemMenu(hwnd, false);
}

void ExWindow::State::detach() {
  WindowEntry* e = entry();
  if (e == nullptr) return;
  pw::KillTimer(hwnd, kAnimationTimerId);
  animationBusy = false;
  composingNow = false;
  fadeImage = platform::gfx::Surface{};
  // Controls free what they hold (timers, pictures) while their window still exists.
  for (std::size_t i = 0; i < e->controls.size(); ++i) {
    sendToControl(windowIndex, static_cast<int>(i) + 1, hwnd, pw::WM_DESTROY, 0, 0, true);
    e = entry();
    if (e == nullptr) return;
  }
  if (pw::GetWindowProc(hwnd) == &State::procedure) pw::SetWindowProc(hwnd, previousProcedure);
  pw::RemovePropA(hwnd, kObjectProperty);
  if (pw::GetCapture() == hwnd) pw::ReleaseCapture();
  if (tooltipWindow != nullptr) pw::DestroyWindow(tooltipWindow);
  tooltipWindow = nullptr;
  // The decorations forget themselves in the list; the slot goes with the entry.
  destroyDecorations();
  framework().windows.remove(windowIndex);
  windowIndex = 0;
  mouseTracking = false;
  regionSize = {};
  previousProcedure = nullptr;
  hook = nullptr;
  hwnd = nullptr;
}

void ExWindow::State::refreshWindowRect() {
  WindowEntry* e = entry();
  if (e == nullptr) return;
  pw::RECT r;
  if (pw::GetWindowRect(hwnd, &r)) e->windowRect = {r.left, r.top, r.width(), r.height()};
}

void ExWindow::State::onSize(int newWidth, int newHeight) {
  WindowEntry* e = entry();
  if (e == nullptr) return;
  // Minimised windows report 0 x 0: keep what was composed for the restore.
  if (newWidth > 0 && newHeight > 0) {
    if (newWidth != width || newHeight != height || !e->background.valid()) {
      width = newWidth;
      height = newHeight;
      e->background.recreate(width, height, scale);
      growComposed();
    }
    // Also on maximise and restore: the caption buttons' margin changes with them.
    placeDecorations();
    redraw(false);
  }
  if (resized && entry() != nullptr) resized(hwnd, newWidth, newHeight);
}

void ExWindow::State::growComposed() {
  WindowEntry* e = entry();
  if (e == nullptr) return;
  const int haveWidth = e->composed.valid() ? e->composed.pixels.unitWidth() : 0;
  const int haveHeight = e->composed.valid() ? e->composed.pixels.unitHeight() : 0;
  if (width <= haveWidth && height <= haveHeight) return;
  // With room to spare, so that a window dragged larger does not reallocate at every step.
  const int maxWidth = std::max(pw::GetSystemMetrics(pw::SM_CXMAXTRACK), width);
  const int maxHeight = std::max(pw::GetSystemMetrics(pw::SM_CYMAXTRACK), height);
  e->composed.recreate(std::min(std::max(width, haveWidth + haveWidth / 4), maxWidth),
                       std::min(std::max(height, haveHeight + haveHeight / 4), maxHeight), scale);
}

void ExWindow::State::onScaleChanged() {
  WindowEntry* e = entry();
  const double now = pw::GetWindowScale(hwnd);
  if (e == nullptr || now == scale) return;
  scale = now;
  // A fade's frames and a composed image at the old scale would only blur the new one.
  pw::KillTimer(hwnd, kAnimationTimerId);
  animationBusy = false;
  fadeImage = platform::gfx::Surface{};
  const int composedWidth = std::max(e->composed.pixels.unitWidth(), width);
  const int composedHeight = std::max(e->composed.pixels.unitHeight(), height);
  e->composed.recreate(composedWidth, composedHeight, scale);
  e->background.recreate(width, height, scale);
  redraw(false);
}

void ExWindow::State::onActivate(bool active) {
  WindowEntry* e = entry();
  deactivated = !active;
  if (e == nullptr || e->interaction.focused == 0) return;
  const int focused = e->interaction.focused;
  sendToControl(windowIndex, focused, hwnd, pw::WM_PAINT, 0, active ? kPaintPlain : kPaintFocusLost);
  fireControlEvent(active ? onFocusGained : onFocusLost, focused);
}

void ExWindow::State::onKillFocus() {
  WindowEntry* e = entry();
  if (e == nullptr || e->interaction.focused == 0) return;
  const int focused = e->interaction.focused;
  const ControlRecord* record = controlRecord(windowIndex, focused);
  if (record == nullptr || record->object == nullptr) {
    e->interaction.focused = 0;
    return;
  }
  if (pw::GetActiveWindow() != hwnd || record->object->stateFlag() != 0) return;
  e->interaction.focused = 0;
  e->interaction.focusByKey = false;
  sendToControl(windowIndex, focused, hwnd, pw::WM_PAINT, 0, kPaintFocusLost);
}

void ExWindow::State::onGetMinMaxInfo(pw::MINMAXINFO* info) {
  if (info == nullptr) return;
  pw::RECT work;
  if (!pw::SystemParametersInfoA(pw::SPI_GETWORKAREA, 0, &work, 0)) return;
  info->ptMaxSize = {work.width(), work.height() - 1};
  info->ptMaxPosition = {work.left, work.top};
  info->ptMinTrackSize = {minimumWidth(), kMinimumTrackHeight};
}

void ExWindow::State::onWindowPosChanging(WindowPosChange* change) const {
  if (change == nullptr) return;
  const UINT f = change->flags;
  if ((f & kSwpStateChanged) == 0 || (f & pw::SWP_SHOWWINDOW) == 0 || (f & pw::SWP_NOSIZE) != 0) return;
  // Shown as its state changes: it starts just below the bottom edge, flush right.
  change->x = pw::GetSystemMetrics(pw::SM_CXSCREEN) - change->cx;
  change->y = pw::GetSystemMetrics(pw::SM_CYSCREEN);
}

void ExWindow::State::timerTick(UINT_PTR timerId) {
  if (timerId == kAnimationTimerId) {
    fadeTick();
    return;
  }
  const int window = static_cast<int>(timerId & 0xFFFF);
  const int control = static_cast<int>((timerId >> 16) & 0xFFFF);
  // A control timer lives on its own window; anything else is the application's.
  if (window != windowIndex || (timerId >> 32) != 0 || composingNow) return;
  if (!isValid(window, control, true)) return;
  sendToControl(window, control, hwnd, pw::WM_TIMER, timerId, 0);
}

// ---------------------------------------------------------------------------------------
// ExWindow: the public face forwards to the state.

ExWindow::ExWindow() : state_(std::make_unique<State>(*this)) {}

ExWindow::~ExWindow() {
  if (state_->entry() != nullptr) state_->detach();
  state_->retired.clear();
}

ExWindow* ExWindow::fromHandle(HWND hwnd) {
  TUNORA_ASSERT_UI_THREAD();
  const int index = windowIndexOf(hwnd);
  return index > 0 ? fromIndex(index) : nullptr;
}

ExWindow* ExWindow::fromIndex(int windowIndex) {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = framework().windows.at(windowIndex);
  return e ? e->window : nullptr;
}

bool ExWindow::attach(HWND hwnd, const platform::system::ByteBlock& backgroundImage, const AttachOptions& options) {
  TUNORA_ASSERT_UI_THREAD();
  return state_->attach(hwnd, backgroundImage, options);
}

bool ExWindow::attached() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->entry() != nullptr;
}
HWND ExWindow::handle() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->hwnd;
}
int ExWindow::windowIndex() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->windowIndex;
}

void ExWindow::redraw(const std::optional<platform::system::ByteBlock>& backgroundImage,
                      std::optional<ColourRef> backgroundColour, bool animate) {
  TUNORA_ASSERT_UI_THREAD();
  if (!attached()) return;
  if (backgroundImage) state_->loadBackground(*backgroundImage);
  if (backgroundColour) {
    state_->backgroundColour = *backgroundColour;
  } else if (backgroundImage) {
    state_->colourFromPicture();
  }
  state_->redraw(animate);
}

void ExWindow::redraw(resources::ExImage&& picture, bool animate) {
  TUNORA_ASSERT_UI_THREAD();
  if (!attached()) return;
  state_->backgroundImage = std::move(picture);
  state_->colourFromPicture();
  state_->redraw(animate);
}

void ExWindow::setBackgroundBitmap(const resources::ExImage& image) {
  TUNORA_ASSERT_UI_THREAD();
  state_->backgroundImage = image;
}

const resources::ExImage& ExWindow::backgroundImage() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->backgroundImage;
}
ColourRef ExWindow::backgroundColour() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->backgroundColour;
}
int ExWindow::backgroundMode() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->backgroundMode;
}

void ExWindow::setBackgroundMode(int mode, std::optional<NineGridMargins> margins) {
  TUNORA_ASSERT_UI_THREAD();
  state_->backgroundMode = mode;
  if (mode == 1) state_->nineGridMargins = margins.value_or(NineGridMargins{});
  if (attached()) state_->redraw(false);
}

void ExWindow::drawTitle() {
  TUNORA_ASSERT_UI_THREAD();
  if (!attached()) return;
  const RectI r = state_->titleRect();
  if (r.width > 0 && r.height > 0) state_->repaintRegion(r, true);
}

void ExWindow::setCaptionButtons(int captionButtonSet) {
  TUNORA_ASSERT_UI_THREAD();
  state_->captionButtonSet = captionButtonSet & ~kCaptionAddStandard;
  if (!attached()) return;
  state_->destroyDecorations();
  state_->createDecorations();
  state_->redraw(false);
}

int ExWindow::captionButtonSet() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->captionButtonSet;
}
int ExWindow::captionButtonBit(int controlId) const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->captionBitOf(controlId);
}

void ExWindow::close() {
  TUNORA_ASSERT_UI_THREAD();
  if (attached()) pw::SendMessageA(state_->hwnd, pw::WM_CLOSE, 0, 0);
}

void ExWindow::setWindowAlpha(int alpha) {
  TUNORA_ASSERT_UI_THREAD();
  WindowEntry* e = state_->entry();
  if (e == nullptr) return;
  e->windowAlpha = alpha < 0 ? -1 : std::min(alpha, 255);
  state_->redraw(false);
}

int ExWindow::windowAlpha() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  return e ? e->windowAlpha : -1;
}

void ExWindow::setEntryValueA(int value) {
  TUNORA_ASSERT_UI_THREAD();
  WindowEntry* e = state_->entry();
  if (e == nullptr) return;
  e->entryValueA = value;
  state_->redraw(false);
}

int ExWindow::fixedSize(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) state_->fixedSize = *value;
  return state_->fixedSize;
}

int ExWindow::dragLocked(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  if (value) state_->dragLocked = *value;
  return state_->dragLocked;
}

void ExWindow::setCloseEffect(int kind) {
  TUNORA_ASSERT_UI_THREAD();
  state_->closeEffect = kind;
}

void ExWindow::layeredStyle(int value) {
  TUNORA_ASSERT_UI_THREAD();
  if (!attached()) return;
  const long ex = pw::GetWindowLongA(state_->hwnd, pw::GWL_EXSTYLE);
  const long layered = static_cast<long>(pw::WS_EX_LAYERED);
  pw::SetWindowLongA(state_->hwnd, pw::GWL_EXSTYLE, value != 0 ? (ex | layered) : (ex & ~layered));
  state_->pushRect({0, 0, state_->width, state_->height});
}

int ExWindow::applicationValue(std::optional<int> value) {
  TUNORA_ASSERT_UI_THREAD();
  WindowEntry* e = state_->entry();
  if (e == nullptr) return 0;
  if (value) e->applicationValue = *value;
  return e->applicationValue;
}

int ExWindow::cornerRadius() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  if (e == nullptr || e->windowAlpha == -1 || state_->backgroundMode == 0 || state_->backgroundMode == 1) return 0;
  return static_cast<int>(kBackgroundCornerDiameter / 2);
}

int ExWindow::focusedControl() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  return e ? e->interaction.focused : 0;
}

void ExWindow::setFocusedControl(int controlIndex) {
  TUNORA_ASSERT_UI_THREAD();
  WindowEntry* e = state_->entry();
  if (e == nullptr) return;
  if (controlIndex != 0 && !isValid(state_->windowIndex, controlIndex, true)) return;
  if (controlIndex != e->interaction.focused) e->interaction.focusByKey = false;
  state_->moveFocus(controlIndex, kPaintPlain, true);
}

int ExWindow::focusedControlId() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  const ControlRecord* r = e != nullptr ? controlRecord(state_->windowIndex, e->interaction.focused) : nullptr;
  return r != nullptr ? r->controlId : 0;
}

bool ExWindow::focusControl(int controlId) {
  TUNORA_ASSERT_UI_THREAD();
  if (state_->entry() == nullptr || controlId <= 0) return false;
  const int index = controlIndexOf(state_->windowIndex, controlId);
  if (!state_->isTabStop(index)) return false;
  state_->focusByKeyboard(index);
  return true;
}

bool ExWindow::focusLookShown() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  return e != nullptr && e->interaction.focused != 0 && e->interaction.focusByKey && !state_->deactivated;
}

int ExWindow::hoveredControl() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  return e ? e->interaction.hovered : 0;
}

int ExWindow::pressedControl() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  return e ? e->interaction.pressed : 0;
}

bool ExWindow::captureActive() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  return e ? e->interaction.captureActive : false;
}

bool ExWindow::composing() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->animationBusy;
}
bool ExWindow::painting() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->paintDepth > 0;
}

platform::gfx::Graphics* ExWindow::composedGraphics() {
  TUNORA_ASSERT_UI_THREAD();
  WindowEntry* e = state_->entry();
  return e ? e->composed.graphics.get() : nullptr;
}

platform::gfx::Surface* ExWindow::composedSurface() {
  TUNORA_ASSERT_UI_THREAD();
  WindowEntry* e = state_->entry();
  return (e && e->composed.valid()) ? &e->composed.pixels : nullptr;
}

const platform::gfx::Surface* ExWindow::backgroundSurface() const {
  TUNORA_ASSERT_UI_THREAD();
  const WindowEntry* e = state_->entry();
  return (e && e->background.valid()) ? &e->background.pixels : nullptr;
}

void ExWindow::repaintRegion(RectI rect, bool restoreBackground) {
  TUNORA_ASSERT_UI_THREAD();
  state_->repaintRegion(rect, restoreBackground);
}

void ExWindow::presentRect(RectI rect) {
  TUNORA_ASSERT_UI_THREAD();
  state_->pushRect(rect);
}

void ExWindow::holdScreenUpdates() {
  TUNORA_ASSERT_UI_THREAD();
  ++state_->updatesHeld;
}

void ExWindow::releaseScreenUpdates() {
  TUNORA_ASSERT_UI_THREAD();
  if (state_->updatesHeld == 0 || --state_->updatesHeld > 0) return;
  const RectI held = state_->heldArea;
  state_->heldArea = {};
  if (held.width > 0) state_->pushRect(held);
}

HWND ExWindow::tooltipWindow() const {
  TUNORA_ASSERT_UI_THREAD();
  return state_->tooltipWindow;
}

void ExWindow::setMessageHook(MessageHook hook) {
  TUNORA_ASSERT_UI_THREAD();
  state_->hook = std::move(hook);
}
void ExWindow::onCustomDraw(CustomDrawCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->customDraw = std::move(fn);
}
void ExWindow::onAfterDraw(CustomDrawCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->afterDraw = std::move(fn);
}
void ExWindow::onResized(ResizedCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->resized = std::move(fn);
}
void ExWindow::onLeave(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onLeave = std::move(fn);
}
void ExWindow::onEnter(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onEnter = std::move(fn);
}
void ExWindow::onLeftDown(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onLeftDown = std::move(fn);
}
void ExWindow::onLeftUp(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onLeftUp = std::move(fn);
}
void ExWindow::onClick(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onClick = std::move(fn);
}
void ExWindow::onDoubleClick(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onDoubleClick = std::move(fn);
}
void ExWindow::onRightDown(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onRightDown = std::move(fn);
}
void ExWindow::onRightUp(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onRightUp = std::move(fn);
}
void ExWindow::onKeyDown(KeyEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onKeyDown = std::move(fn);
}
void ExWindow::onKeyUp(KeyEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onKeyUp = std::move(fn);
}
void ExWindow::onCharacter(KeyEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onCharacter = std::move(fn);
}
void ExWindow::onFocusGained(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onFocusGained = std::move(fn);
}
void ExWindow::onFocusLost(ControlEventCallback fn) {
  TUNORA_ASSERT_UI_THREAD();
  state_->onFocusLost = std::move(fn);
}

}  // namespace ui
