#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/text/CodePage.h"
#include "platform/window/BackendChoice.h"
#include "platform/window/Icons.h"
#include "platform/window/Tooltips.h"
#include "platform/window/WindowConstants.h"

namespace platform::window {
namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

WindowSystem& WindowSystem::instance() {
  // Never destroyed: windows of global objects may still be reached while they go at exit.
  static WindowSystem* system = new WindowSystem();
  return *system;
}

void WindowSystem::reset() {
  // Destroy what the old back end still shows before it goes.
  std::vector<HWND> handles;
  for (auto& [h, w] : windows_) {
    if (w->owner == nullptr) handles.push_back(h);
  }
  for (HWND h : handles) destroyWindow(h);
  windows_.clear();
  foreign_.clear();
  classes_.clear();
  timers_.clear();
  events_.clear();
  quitPending_ = false;
  capture_ = focus_ = active_ = pointerWindow_ = nullptr;
  cursor_ = IDC_ARROW;
  appliedCursor_ = 0;
  appliedCursorWindow_ = nullptr;
  std::fill(std::begin(keys_), std::end(keys_), false);
  lastClick_ = {};
  std::lock_guard lock(mutex_);
  posted_.clear();
  liveHandles_.clear();
}

void WindowSystem::installBackend(std::unique_ptr<Backend> backend) {
  if (backend_) reset();
  backend_ = std::move(backend);
  uiThread_ = std::this_thread::get_id();
  if (backend_) {
    backend_->setSink(this);
    registerTooltipClass();
  }
}

Backend& WindowSystem::backend() { return requireBackend(); }

Backend& WindowSystem::requireBackend() {
  if (!backend_) installBackend(makeDefaultBackend());
  return *backend_;
}

std::int64_t WindowSystem::now() { return requireBackend().nowMs(); }

bool WindowSystem::onUiThread() const {
  return uiThread_ == std::thread::id() || uiThread_ == std::this_thread::get_id();
}

WindowSystem::Window* WindowSystem::find(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

const WindowSystem::Window* WindowSystem::find(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

// --- classes ---------------------------------------------------------------------------

UINT WindowSystem::registerClass(const WNDCLASSEXA& wc) {
  if (wc.lpszClassName == nullptr || *wc.lpszClassName == '\0' || wc.lpfnWndProc == nullptr) {
    return 0;
  }
  const std::string key = upper(wc.lpszClassName);
  if (classes_.count(key) != 0) return 0;
  WindowClass c;
  c.name = wc.lpszClassName;
  c.style = wc.style;
  c.proc = wc.lpfnWndProc;
  c.icon = wc.hIcon;
  c.iconSmall = wc.hIconSm;
  c.cursor = wc.hCursor;
  c.background = wc.hbrBackground;
  classes_.emplace(key, std::move(c));
  return static_cast<UINT>(0xC000 + classes_.size());
}

bool WindowSystem::unregisterClass(const std::string& name) {
  const std::string key = upper(name);
  for (const auto& [h, w] : windows_) {
    if (upper(w->className) == key) return false;  // still in use
  }
  return classes_.erase(key) > 0;
}

bool WindowSystem::classInfo(const std::string& name, WNDCLASSEXA& out) {
  auto it = classes_.find(upper(name));
  if (it == classes_.end()) return false;
  const WindowClass& c = it->second;
  out.style = c.style;
  out.lpfnWndProc = c.proc;
  out.hIcon = c.icon;
  out.hIconSm = c.iconSmall;
  out.hCursor = c.cursor;
  out.hbrBackground = c.background;
  out.lpszClassName = c.name.c_str();
  return true;
}

UINT_PTR WindowSystem::classLong(HWND hwnd, int index) {
  const Window* w = find(hwnd);
  if (w == nullptr) return 0;
  auto it = classes_.find(upper(w->className));
  if (it == classes_.end()) return 0;
  switch (index) {
    case GCLP_HICON: return reinterpret_cast<UINT_PTR>(it->second.icon);
    case GCLP_HICONSM: return reinterpret_cast<UINT_PTR>(it->second.iconSmall);
    case GCLP_HCURSOR: return reinterpret_cast<UINT_PTR>(it->second.cursor);
    case GCL_STYLE: return it->second.style;
    default: return 0;
  }
}

// --- windows ---------------------------------------------------------------------------

HWND WindowSystem::createWindow(DWORD exStyle, const char* className, const char* title,
                                DWORD style, int x, int y, int width, int height, HWND owner,
                                void* param) {
  if (className == nullptr) return nullptr;
  auto cls = classes_.find(upper(className));
  if (cls == classes_.end()) return nullptr;
  if (owner != nullptr && find(owner) == nullptr) return nullptr;
  Backend& be = requireBackend();

  const SIZE screen = be.screenSize();
  if (width == CW_USEDEFAULT) width = screen.cx / 2;
  if (height == CW_USEDEFAULT) height = screen.cy / 2;
  width = std::clamp(width, 0, kMaxWindowSide);
  height = std::clamp(height, 0, kMaxWindowSide);
  if (x == CW_USEDEFAULT) x = (screen.cx - width) / 2;
  if (y == CW_USEDEFAULT) y = (screen.cy - height) / 2;

  HWND hwnd = reinterpret_cast<HWND>(nextHandle_);
  nextHandle_ += 0x10;
  auto record = std::make_unique<Window>();
  record->handle = hwnd;
  record->className = cls->second.name;
  record->classStyle = cls->second.style;
  record->classCursor = cls->second.cursor;
  record->proc = cls->second.proc;
  record->title = title != nullptr ? title : "";
  record->style = style & ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  record->exStyle = exStyle;
  record->owner = owner;
  record->rect = {x, y, x + width, y + height};
  record->enabled = (style & WS_DISABLED) == 0;
  windows_.emplace(hwnd, std::move(record));
  {
    std::lock_guard lock(mutex_);
    liveHandles_.insert(hwnd);
  }

  NativeWindowSpec spec;
  spec.screenRect = {x, y, x + width, y + height};
  spec.titleUtf8 = text::ansiToUtf8(title != nullptr ? title : "");
  spec.style = style;
  spec.exStyle = exStyle;
  spec.owner = owner;
  be.createWindow(hwnd, spec);
  reshape(*find(hwnd), width, height);
  find(hwnd)->scale = scale(hwnd);
  if (exStyle & WS_EX_TOPMOST) be.setTopmost(hwnd, true);
  if (style & WS_DISABLED) be.setEnabled(hwnd, false);

  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hwndParent = owner;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = style;
  cs.lpszName = title;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0 ||
      send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    destroyWindow(hwnd);
    return nullptr;
  }
  if (!isWindow(hwnd)) return nullptr;  // the procedure destroyed it
  find(hwnd)->created = true;
  applyMinMax(hwnd);
  send(hwnd, WM_SIZE, SIZE_RESTORED, makeLParam(width, height));
  send(hwnd, WM_MOVE, 0, makeLParam(x, y));
  if (!isWindow(hwnd)) return nullptr;
  if (style & WS_MAXIMIZE) showWindow(hwnd, SW_MAXIMIZE);
  else if (style & WS_MINIMIZE) showWindow(hwnd, SW_MINIMIZE);
  else if (style & WS_VISIBLE) showWindow(hwnd, SW_SHOW);
  return isWindow(hwnd) ? hwnd : nullptr;
}

void WindowSystem::destroyTree(HWND hwnd) {
  // Owned windows go first, as they would with the desktop's own windows.
  std::vector<HWND> owned;
  for (const auto& [h, w] : windows_) {
    if (w->owner == hwnd) owned.push_back(h);
  }
  for (HWND h : owned) destroyWindow(h);
}

bool WindowSystem::destroyWindow(HWND hwnd) {
  // Another process's window is only forgotten.
  if (foreign_.erase(hwnd) != 0) return true;
  Window* w = find(hwnd);
  if (w == nullptr || w->destroying) return false;
  w->destroying = true;
  destroyTree(hwnd);
  if (capture_ == hwnd) releaseCapture();
  if (find(hwnd) != nullptr && find(hwnd)->visible) {
    find(hwnd)->visible = false;
    requireBackend().show(hwnd, NativeShow::Hide);
  }
  if (active_ == hwnd) activate(hwnd, false);
  if (focus_ == hwnd) focus_ = nullptr;
  send(hwnd, WM_DESTROY, 0, 0);
  send(hwnd, WM_NCDESTROY, 0, 0);
  for (auto it = timers_.begin(); it != timers_.end();) {
    it = it->first.first == hwnd ? timers_.erase(it) : std::next(it);
  }
  if (pointerWindow_ == hwnd) pointerWindow_ = nullptr;
  if (appliedCursorWindow_ == hwnd) appliedCursorWindow_ = nullptr;
  if (lastClick_.hwnd == hwnd) lastClick_ = {};
  requireBackend().destroyWindow(hwnd);
  windows_.erase(hwnd);
  std::lock_guard lock(mutex_);
  liveHandles_.erase(hwnd);
  // Messages posted to it are dropped now rather than dispatched to nobody later.
  std::erase_if(posted_, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
  return true;
}

bool WindowSystem::isWindow(HWND hwnd) const {
  if (find(hwnd) != nullptr) return true;
  auto it = foreign_.find(hwnd);
  return it != foreign_.end() && backend_ && backend_->foreignWindowExists(it->second.id);
}

bool WindowSystem::isForeign(HWND hwnd) const { return foreign_.count(hwnd) != 0; }

bool WindowSystem::isVisible(HWND hwnd) const {
  const Window* w = find(hwnd);
  return w != nullptr ? w->visible : isForeign(hwnd);
}

bool WindowSystem::isEnabled(HWND hwnd) const {
  const Window* w = find(hwnd);
  return w != nullptr && w->enabled;
}

bool WindowSystem::enableWindow(HWND hwnd, bool enable) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  const bool wasDisabled = !w->enabled;
  if (w->enabled == enable) return wasDisabled;
  w->enabled = enable;
  if (enable) w->style &= ~WS_DISABLED;
  else w->style |= WS_DISABLED;
  if (!enable && capture_ == hwnd) releaseCapture();
  requireBackend().setEnabled(hwnd, enable);
  send(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

long WindowSystem::windowLong(HWND hwnd, int index) const {
  const Window* w = find(hwnd);
  if (w == nullptr) return 0;
  if (index == GWL_STYLE) {
    DWORD style = w->style;
    if (w->visible) style |= WS_VISIBLE;
    if (w->maximized) style |= WS_MAXIMIZE;
    if (w->minimized) style |= WS_MINIMIZE;
    return static_cast<long>(style);
  }
  if (index == GWL_EXSTYLE) return static_cast<long>(w->exStyle);
  return 0;
}

long WindowSystem::setWindowLong(HWND hwnd, int index, long value) {
  Window* w = find(hwnd);
  if (w == nullptr) return 0;
  const long old = windowLong(hwnd, index);
  const DWORD v = static_cast<DWORD>(value);
  if (index == GWL_STYLE) {
    // Visibility and placement change only through ShowWindow.
    w->style = v & ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
    const bool enable = (v & WS_DISABLED) == 0;
    if (enable != w->enabled) {
      w->enabled = enable;
      requireBackend().setEnabled(hwnd, enable);
    }
  } else if (index == GWL_EXSTYLE) {
    const bool topmostChanged = ((w->exStyle ^ v) & WS_EX_TOPMOST) != 0;
    w->exStyle = v;
    if (topmostChanged) requireBackend().setTopmost(hwnd, (v & WS_EX_TOPMOST) != 0);
  }
  return old;
}

WNDPROC WindowSystem::windowProc(HWND hwnd) const {
  const Window* w = find(hwnd);
  return w == nullptr ? nullptr : w->proc;
}

WNDPROC WindowSystem::setWindowProc(HWND hwnd, WNDPROC proc) {
  Window* w = find(hwnd);
  if (w == nullptr || proc == nullptr) return nullptr;
  WNDPROC old = w->proc;
  w->proc = proc;
  return old;
}

HWND WindowSystem::owner(HWND hwnd) const {
  const Window* w = find(hwnd);
  return w == nullptr ? nullptr : w->owner;
}

bool WindowSystem::setProp(HWND hwnd, const std::string& name, std::intptr_t value) {
  Window* w = find(hwnd);
  if (w == nullptr || name.empty()) return false;
  w->props[name] = value;
  return true;
}

std::intptr_t WindowSystem::prop(HWND hwnd, const std::string& name) const {
  const Window* w = find(hwnd);
  if (w == nullptr) return 0;
  auto it = w->props.find(name);
  return it == w->props.end() ? 0 : it->second;
}

std::intptr_t WindowSystem::removeProp(HWND hwnd, const std::string& name) {
  Window* w = find(hwnd);
  if (w == nullptr) return 0;
  auto it = w->props.find(name);
  if (it == w->props.end()) return 0;
  const std::intptr_t value = it->second;
  w->props.erase(it);
  return value;
}

void WindowSystem::storeTitle(HWND hwnd, const std::string& title) {
  Window* w = find(hwnd);
  if (w == nullptr) return;
  w->title = title;
  requireBackend().setTitle(hwnd, text::ansiToUtf8(title));
}

std::string WindowSystem::title(HWND hwnd) const {
  if (const Window* w = find(hwnd)) return w->title;
  auto it = foreign_.find(hwnd);
  return it == foreign_.end() ? std::string() : it->second.title;
}

HWND WindowSystem::findWindow(const char* className, const char* title) {
  for (const auto& [h, w] : windows_) {
    if (w->destroying) continue;
    if (className != nullptr && upper(w->className) != upper(className)) continue;
    if (title != nullptr && w->title != title) continue;
    return h;
  }
  if (className != nullptr || title == nullptr) return nullptr;
  // Windows of other processes have no class we can see; the title alone finds them.
  const std::uint64_t id = requireBackend().findForeignWindow(text::ansiToUtf8(title));
  if (id == 0) return nullptr;
  for (const auto& [h, f] : foreign_) {
    if (f.id == id) return h;
  }
  HWND hwnd = reinterpret_cast<HWND>(nextHandle_);
  nextHandle_ += 0x10;
  foreign_.emplace(hwnd, ForeignWindow{id, title});
  return hwnd;
}

bool WindowSystem::showWindow(HWND hwnd, int command) {
  Backend& be = requireBackend();
  if (auto it = foreign_.find(hwnd); it != foreign_.end()) {
    NativeShow how = NativeShow::Normal;
    if (command == SW_HIDE) how = NativeShow::Hide;
    else if (command == SW_MAXIMIZE) how = NativeShow::Maximized;
    else if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE)
      how = NativeShow::Minimized;
    else if (command == SW_RESTORE) how = NativeShow::Restore;
    be.showForeignWindow(it->second.id, how);
    return true;
  }
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  const bool wasVisible = w->visible;
  NativeShow how = NativeShow::Normal;
  bool activateIt = true;
  switch (command) {
    case SW_HIDE: how = NativeShow::Hide; activateIt = false; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: how = (w->maximized || w->minimized) ? NativeShow::Restore : NativeShow::Normal; break;
    case SW_SHOW: how = NativeShow::Normal; break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE: how = NativeShow::NormalNoActivate; activateIt = false; break;
    case SW_MAXIMIZE: how = NativeShow::Maximized; break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: how = NativeShow::Minimized; activateIt = false; break;
    default: return wasVisible;
  }
  if (how == NativeShow::Maximized) applyMinMax(hwnd);
  const bool nowVisible = how != NativeShow::Hide;
  if (nowVisible != wasVisible) send(hwnd, WM_SHOWWINDOW, nowVisible ? 1 : 0, 0);
  w = find(hwnd);
  if (w == nullptr) return wasVisible;
  w->visible = nowVisible;
  if (how == NativeShow::NormalNoActivate && (w->maximized || w->minimized)) how = NativeShow::Restore;
  be.show(hwnd, how);
  if (!nowVisible) {
    if (capture_ == hwnd) releaseCapture();
    if (active_ == hwnd) activate(hwnd, false);
  } else if (!wasVisible && (w->exStyle & WS_EX_LAYERED) == 0) {
    invalidate(hwnd, nullptr);
  }
  drainEvents();
  if (activateIt && isWindow(hwnd) && find(hwnd)->enabled && active_ != hwnd) {
    be.activate(hwnd);
    drainEvents();
  }
  return wasVisible;
}

bool WindowSystem::setWindowRect(HWND hwnd, const RECT& rect, bool move, bool size) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  RECT r = w->rect;
  if (move) {
    r = {rect.left, rect.top, rect.left + w->rect.width(), rect.top + w->rect.height()};
  }
  if (size) {
    r.right = r.left + std::clamp(rect.width(), 0, kMaxWindowSide);
    r.bottom = r.top + std::clamp(rect.height(), 0, kMaxWindowSide);
  }
  if (r == w->rect) return true;
  const bool moved = r.left != w->rect.left || r.top != w->rect.top;
  const bool resized = r.width() != w->rect.width() || r.height() != w->rect.height();
  w->rect = r;
  if (resized) reshape(*w, r.width(), r.height());
  requireBackend().setScreenRect(hwnd, r);
  if (moved) send(hwnd, WM_MOVE, 0, makeLParam(r.left, r.top));
  if (resized && isWindow(hwnd)) {
    Window* again = find(hwnd);
    send(hwnd, WM_SIZE, again->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
         makeLParam(r.width(), r.height()));
  }
  return true;
}

bool WindowSystem::setTopmost(HWND hwnd, bool topmost) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  if (topmost) w->exStyle |= WS_EX_TOPMOST;
  else w->exStyle &= ~WS_EX_TOPMOST;
  requireBackend().setTopmost(hwnd, topmost);
  return true;
}

bool WindowSystem::windowRect(HWND hwnd, RECT& out) const {
  const Window* w = find(hwnd);
  if (w == nullptr) return false;
  out = w->rect;
  return true;
}

bool WindowSystem::isZoomed(HWND hwnd) const {
  const Window* w = find(hwnd);
  return w != nullptr && w->maximized;
}

bool WindowSystem::isIconic(HWND hwnd) const {
  const Window* w = find(hwnd);
  return w != nullptr && w->minimized;
}

bool WindowSystem::setRegion(HWND hwnd, std::optional<Region> region) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  w->region = std::move(region);
  requireBackend().setRegion(hwnd, w->region);
  return true;
}

std::optional<Region> WindowSystem::region(HWND hwnd) const {
  const Window* w = find(hwnd);
  if (w == nullptr) return std::nullopt;
  return w->region;
}

bool WindowSystem::setAlpha(HWND hwnd, BYTE value) {
  Window* w = find(hwnd);
  if (w == nullptr) return false;
  w->alpha = value;
  requireBackend().setOpacity(hwnd, value);
  return true;
}

std::optional<BYTE> WindowSystem::alpha(HWND hwnd) const {
  const Window* w = find(hwnd);
  if (w == nullptr) return std::nullopt;
  return w->alpha;
}

HICON WindowSystem::setIcon(HWND hwnd, WPARAM which, HICON iconHandle) {
  Window* w = find(hwnd);
  if (w == nullptr) return nullptr;
  HICON& slot = which == ICON_BIG ? w->iconBig : w->iconSmall;
  HICON old = slot;
  slot = iconHandle;
  HICON shown = w->iconBig != nullptr ? w->iconBig : w->iconSmall;
  PixelView px = iconPixels(shown);
  requireBackend().setIcon(hwnd, px.pixels != nullptr ? &px : nullptr);
  return old;
}

HICON WindowSystem::icon(HWND hwnd, WPARAM which) const {
  const Window* w = find(hwnd);
  if (w == nullptr) return nullptr;
  return which == ICON_BIG ? w->iconBig : w->iconSmall;
}

MINMAXINFO WindowSystem::minMaxInfo(HWND hwnd) {
  MINMAXINFO info;
  Backend& be = requireBackend();
  const SIZE screen = be.screenSize();
  info.ptMaxSize = {screen.cx, screen.cy};
  info.ptMaxPosition = {0, 0};
  info.ptMinTrackSize = {1, 1};
  info.ptMaxTrackSize = {screen.cx + 12, screen.cy + 12};
  if (find(hwnd) != nullptr) send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info;
}

void WindowSystem::applyMinMax(HWND hwnd) {
  const MINMAXINFO info = minMaxInfo(hwnd);
  if (!isWindow(hwnd)) return;
  SIZE maximum{info.ptMaxTrackSize.x, info.ptMaxTrackSize.y};
  // A maximised window takes ptMaxSize, so the desktop must not allow more than that.
  maximum.cx = std::min(maximum.cx, std::max(info.ptMaxSize.x, 1));
  maximum.cy = std::min(maximum.cy, std::max(info.ptMaxSize.y, 1));
  requireBackend().setSizeLimits(hwnd, {info.ptMinTrackSize.x, info.ptMinTrackSize.y}, maximum);
}

}  // namespace platform::window
