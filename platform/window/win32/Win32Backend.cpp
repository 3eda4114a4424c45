#include "platform/window/win32/Win32Native.h"

#include <algorithm>

namespace {
// Spelled out here: inside our namespace the macros' HWND would be the layer's type.
const HWND kTopmost = HWND_TOPMOST;
const HWND kNotTopmost = HWND_NOTOPMOST;
}  // namespace

namespace platform::window {

using namespace win32;

namespace {

constexpr ::DWORD kPassedStyles = WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU;
constexpr ::DWORD kPassedExStyles = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW;

void registerClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // No CS_DBLCLKS: the layer tells double clicks itself and wants every press.
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

Win32Backend::Win32Backend() {
  becomeDpiAware();
  registerClass();
  wakeEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

Win32Backend::~Win32Backend() {
  while (!windows_.empty()) destroyWindow(windows_.begin()->first);
  if (wakeEvent_ != nullptr) CloseHandle(static_cast<HANDLE>(wakeEvent_));
}

Win32Backend::Native* Win32Backend::find(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

void* Win32Backend::nativeHandle(HWND hwnd) {
  Native* n = find(hwnd);
  return n == nullptr ? nullptr : n->native;
}

void Win32Backend::queue(BackendEvent e) {
  if (sink_ != nullptr) sink_->queueEvent(std::move(e));
}

void Win32Backend::serveModalLoop() {
  if (sink_ == nullptr || servingModal_) return;
  servingModal_ = true;
  sink_->serveModalLoop();
  servingModal_ = false;
}

double Win32Backend::desktopScale() { return desktopDpi() / 96.0; }

void Win32Backend::createWindow(HWND hwnd, const NativeWindowSpec& spec) {
  auto n = std::make_unique<Native>();
  n->owner = this;
  n->hwnd = hwnd;
  n->scale = desktopScale();
  Native* owner = spec.owner != nullptr ? find(spec.owner) : nullptr;
  const ::RECT px = toPixels(spec.screenRect, n->scale);
  ::DWORD exStyle = (spec.exStyle & kPassedExStyles) | WS_EX_LAYERED;
  if (spec.exStyle & WS_EX_TOOLWINDOW) exStyle |= WS_EX_NOACTIVATE;
  const std::wstring title = wide(spec.titleUtf8);
  n->native = CreateWindowExW(exStyle, kClassName, title.c_str(), WS_POPUP | (spec.style & kPassedStyles),
                              px.left, px.top, std::max<int>(px.right - px.left, 1),
                              std::max<int>(px.bottom - px.top, 1), owner != nullptr ? owner->native : nullptr,
                              nullptr, GetModuleHandleW(nullptr), n.get());
  if (n->native == nullptr) return;
  // The monitor the window landed on decides its scale; place it again in that one's pixels.
  const double scale = dpiOf(n->native) / 96.0;
  if (scale != n->scale) {
    n->scale = scale;
    const ::RECT again = toPixels(spec.screenRect, scale);
    SetWindowPos(n->native, nullptr, again.left, again.top, again.right - again.left,
                 again.bottom - again.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  windows_.emplace(hwnd, std::move(n));
}

void Win32Backend::destroyWindow(HWND hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  Native* n = it->second.get();
  if (n->native != nullptr) {
    SetWindowLongPtrW(n->native, GWLP_USERDATA, 0);
    DestroyWindow(n->native);
  }
  if (n->icon != nullptr) DestroyIcon(n->icon);
  if (n->dib != nullptr) DeleteObject(n->dib);
  windows_.erase(it);
}

void Win32Backend::setTitle(HWND hwnd, const std::string& utf8Title) {
  if (Native* n = find(hwnd)) SetWindowTextW(n->native, wide(utf8Title).c_str());
}

void Win32Backend::show(HWND hwnd, NativeShow how) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  // A layered window shows nothing until its first update: push what there is.
  if (how != NativeShow::Hide && !n->everPushed) pushImage(*n);
  int command = SW_SHOW;
  switch (how) {
    case NativeShow::Hide: command = SW_HIDE; break;
    case NativeShow::Normal: command = SW_SHOW; break;
    case NativeShow::NormalNoActivate: command = SW_SHOWNOACTIVATE; break;
    case NativeShow::Maximized: command = SW_SHOWMAXIMIZED; break;
    case NativeShow::Minimized: command = SW_MINIMIZE; break;
    case NativeShow::Restore: command = SW_RESTORE; break;
  }
  ShowWindow(n->native, command);
}

void Win32Backend::setScreenRect(HWND hwnd, const RECT& rect) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  const ::RECT px = toPixels(rect, n->scale);
  SetWindowPos(n->native, nullptr, px.left, px.top, std::max<int>(px.right - px.left, 1),
               std::max<int>(px.bottom - px.top, 1), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Backend::setRegion(HWND hwnd, const std::optional<Region>& region) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  n->region = region;
  applyRegion(*n);
}

void Win32Backend::setOpacity(HWND hwnd, BYTE alpha) {
  Native* n = find(hwnd);
  if (n == nullptr || n->alpha == alpha) return;
  n->alpha = alpha;
  if (n->everPushed) pushImage(*n);
}

void Win32Backend::setTopmost(HWND hwnd, bool topmost) {
  if (Native* n = find(hwnd)) {
    SetWindowPos(n->native, topmost ? kTopmost : kNotTopmost, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Win32Backend::setSizeLimits(HWND hwnd, SIZE minimum, SIZE maximum) {
  if (Native* n = find(hwnd)) {
    n->minimum = minimum;
    n->maximum = maximum;
  }
}

void Win32Backend::activate(HWND hwnd) {
  if (Native* n = find(hwnd)) {
    SetForegroundWindow(n->native);
    SetActiveWindow(n->native);
    SetFocus(n->native);
  }
}

void Win32Backend::setEnabled(HWND hwnd, bool enabled) {
  if (Native* n = find(hwnd)) EnableWindow(n->native, enabled ? TRUE : FALSE);
}

double Win32Backend::scale(HWND hwnd) {
  Native* n = find(hwnd);
  return n == nullptr ? 1 : n->scale;
}

ShownImage* Win32Backend::image(HWND hwnd) {
  Native* n = find(hwnd);
  return n == nullptr ? nullptr : &n->image;
}

void Win32Backend::present(HWND hwnd, const RECT& dirty) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  const RECT r{std::max(dirty.left, 0), std::max(dirty.top, 0), std::min(dirty.right, n->image.width()),
               std::min(dirty.bottom, n->image.height())};
  if (!r.empty()) pushImage(*n, &r);
}

void Win32Backend::setCursor(HWND hwnd, int cursorId) {
  Native* n = find(hwnd);
  if (n == nullptr || n->cursorId == cursorId) return;
  n->cursorId = cursorId;
  ::POINT p{};
  GetCursorPos(&p);
  if (WindowFromPoint(p) == n->native || GetCapture() == n->native) {
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(cursorId != 0 ? cursorId : 32512)));
  }
}

void Win32Backend::setCapture(HWND hwnd, bool captured) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  if (captured) SetCapture(n->native);
  else if (GetCapture() == n->native) ReleaseCapture();
}

bool Win32Backend::beginMoveDrag(HWND hwnd) {
  Native* n = find(hwnd);
  if (n == nullptr) return false;
  // The system's own move loop runs inside this call; it ends with WM_EXITSIZEMOVE.
  ReleaseCapture();
  SendMessageW(n->native, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  return true;
}

bool Win32Backend::beginResizeDrag(HWND hwnd, int wmszEdge) {
  Native* n = find(hwnd);
  if (n == nullptr || wmszEdge < WMSZ_LEFT || wmszEdge > WMSZ_BOTTOMRIGHT) return false;
  ReleaseCapture();
  SendMessageW(n->native, WM_SYSCOMMAND, SC_SIZE + wmszEdge, 0);
  return true;
}

bool Win32Backend::leftButtonDown() {
  const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return (GetAsyncKeyState(button) & 0x8000) != 0;
}

void Win32Backend::setInputCursor(HWND hwnd, const std::optional<RECT>& area) {
  if (Native* n = find(hwnd)) {
    n->caret = area;
    placeCandidateWindow(*n);
  }
}

}  // namespace platform::window
