#include "platform/window/headless/HeadlessBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/window/WindowApi.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/WindowSystem.h"

namespace platform::window {

HeadlessBackend& HeadlessBackend::install() {
  auto backend = std::make_unique<HeadlessBackend>();
  HeadlessBackend& ref = *backend;
  WindowSystem::instance().installBackend(std::move(backend));
  return ref;
}

void HeadlessBackend::queue(BackendEvent e) {
  if (sink_ != nullptr) sink_->queueEvent(std::move(e));
}

const HeadlessBackend::NativeWindow* HeadlessBackend::window(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second;
}

// --- clock ---------------------------------------------------------------------------

bool HeadlessBackend::runDueActions() {
  bool ran = false;
  for (;;) {
    auto it = std::min_element(actions_.begin(), actions_.end(), [](const Action& a, const Action& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (it == actions_.end() || it->due > clock_) return ran;
    std::function<void()> fn = std::move(it->fn);
    actions_.erase(it);
    fn();
    ran = true;
  }
}

void HeadlessBackend::advance(std::int64_t ms) {
  const std::int64_t target = clock_ + std::max<std::int64_t>(ms, 0);
  WindowSystem& sys = WindowSystem::instance();
  for (;;) {
    pump();
    std::optional<std::int64_t> next = sys.nextTimerDue();
    for (const Action& a : actions_) {
      if (!next || a.due < *next) next = a.due;
    }
    if (!next || *next > target) break;
    clock_ = std::max<std::int64_t>(clock_, *next);
    runDueActions();
  }
  clock_ = target;
  runDueActions();
  pump();
}

void HeadlessBackend::at(std::int64_t delayMs, std::function<void()> fn) {
  actions_.push_back({clock_ + std::max<std::int64_t>(delayMs, 0), ++actionOrder_, std::move(fn)});
}

void HeadlessBackend::pump() { processPendingMessages(); }

void HeadlessBackend::wait(std::optional<std::int64_t> deadlineMs) {
  {
    std::lock_guard lock(wakeMutex_);
    if (woken_) {
      woken_ = false;
      return;
    }
  }
  if (runDueActions()) return;
  std::optional<std::int64_t> next = deadlineMs;
  for (const Action& a : actions_) {
    if (!next || a.due < *next) next = a.due;
  }
  if (next) {
    // Nothing to do until then: the test clock jumps there.
    clock_ = std::max<std::int64_t>(clock_, *next);
    runDueActions();
    return;
  }
  // Only another thread can bring something now. A loop that waits far longer than any
  // worker takes is a test waiting for input nobody scheduled: say so instead of hanging.
  std::unique_lock lock(wakeMutex_);
  if (!wakeCv_.wait_for(lock, std::chrono::seconds(30), [&] { return woken_; })) {
    std::fputs("headless desktop: a message loop waits for input that nothing will bring\n", stderr);
    std::abort();
  }
  woken_ = false;
}

void HeadlessBackend::poll() {
  {
    std::lock_guard lock(wakeMutex_);
    woken_ = false;
  }
  runDueActions();
}

void HeadlessBackend::wake() {
  {
    std::lock_guard lock(wakeMutex_);
    woken_ = true;
  }
  wakeCv_.notify_all();
}

// --- the user --------------------------------------------------------------------------

POINT HeadlessBackend::toScreen(HWND hwnd, int x, int y) const {
  const NativeWindow* w = window(hwnd);
  if (w == nullptr) return {x, y};
  // While the window is dragged its coordinates stay those of where the drag began, as a
  // test script written against the still window expects.
  const RECT& r = drag_.hwnd == hwnd ? drag_.startRect : w->rect;
  return {r.left + x, r.top + y};
}

RECT HeadlessBackend::clampSize(const NativeWindow& w, RECT r, int edge) const {
  const int width = std::clamp(r.width(), w.minimum.cx, std::max(w.minimum.cx, w.maximum.cx));
  const int height = std::clamp(r.height(), w.minimum.cy, std::max(w.minimum.cy, w.maximum.cy));
  const bool fromLeft = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  const bool fromTop = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  if (fromLeft) r.left = r.right - width;
  else r.right = r.left + width;
  if (fromTop) r.top = r.bottom - height;
  else r.bottom = r.top + height;
  return r;
}

bool HeadlessBackend::dragMotion(POINT screen) {
  if (drag_.hwnd == nullptr) return false;
  auto it = windows_.find(drag_.hwnd);
  if (it == windows_.end()) {
    drag_ = {};
    return false;
  }
  const int dx = screen.x - drag_.start.x;
  const int dy = screen.y - drag_.start.y;
  RECT r = drag_.startRect;
  const int e = drag_.edge;
  if (e == 0) {
    r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
  } else {
    if (e == WMSZ_LEFT || e == WMSZ_TOPLEFT || e == WMSZ_BOTTOMLEFT) r.left += dx;
    if (e == WMSZ_RIGHT || e == WMSZ_TOPRIGHT || e == WMSZ_BOTTOMRIGHT) r.right += dx;
    if (e == WMSZ_TOP || e == WMSZ_TOPLEFT || e == WMSZ_TOPRIGHT) r.top += dy;
    if (e == WMSZ_BOTTOM || e == WMSZ_BOTTOMLEFT || e == WMSZ_BOTTOMRIGHT) r.bottom += dy;
    r = clampSize(it->second, r, e);
  }
  it->second.rect = r;
  configure(drag_.hwnd);
  return true;
}

void HeadlessBackend::mouseMove(HWND hwnd, int x, int y) {
  pointer_ = toScreen(hwnd, x, y);
  if (dragMotion(pointer_)) return;  // the window manager has the pointer
  queue(event::Motion{hwnd, x, y, modifiers()});
}

void HeadlessBackend::mouseDown(HWND hwnd, int x, int y, MouseButton button) {
  pointer_ = toScreen(hwnd, x, y);
  if (button == MouseButton::Left) leftDown_ = true;
  if (button == MouseButton::Right) rightDown_ = true;
  if (button == MouseButton::Middle) middleDown_ = true;
  queue(event::Button{hwnd, button, true, x, y, clock_, modifiers()});
}

void HeadlessBackend::mouseUp(HWND hwnd, int x, int y, MouseButton button) {
  pointer_ = toScreen(hwnd, x, y);
  if (button == MouseButton::Left) leftDown_ = false;
  if (button == MouseButton::Right) rightDown_ = false;
  if (button == MouseButton::Middle) middleDown_ = false;
  if (drag_.hwnd != nullptr && button == MouseButton::Left) {
    dragMotion(pointer_);
    HWND done = drag_.hwnd;
    drag_ = {};
    queue(event::SizeMoveEnded{done});
    return;
  }
  queue(event::Button{hwnd, button, false, x, y, clock_, modifiers()});
}

void HeadlessBackend::click(HWND hwnd, int x, int y, MouseButton button) {
  mouseDown(hwnd, x, y, button);
  mouseUp(hwnd, x, y, button);
}

void HeadlessBackend::doubleClick(HWND hwnd, int x, int y) {
  click(hwnd, x, y);
  click(hwnd, x, y);
}

void HeadlessBackend::wheel(HWND hwnd, int notches, int x, int y) {
  pointer_ = toScreen(hwnd, x, y);
  queue(event::Wheel{hwnd, notches, x, y, modifiers()});
}

void HeadlessBackend::pointerLeave(HWND hwnd) {
  pointer_ = {-1000, -1000};
  queue(event::PointerLeft{hwnd});
}

void HeadlessBackend::keyDown(HWND hwnd, int virtualKey, bool repeat) {
  if (virtualKey == VK_SHIFT) shiftDown_ = true;
  if (virtualKey == VK_CONTROL) controlDown_ = true;
  if (virtualKey == VK_MENU) altDown_ = true;
  queue(event::Key{hwnd, virtualKey, true, repeat, virtualKey & 0x7F, false, modifiers()});
}

void HeadlessBackend::keyUp(HWND hwnd, int virtualKey) {
  if (virtualKey == VK_SHIFT) shiftDown_ = false;
  if (virtualKey == VK_CONTROL) controlDown_ = false;
  if (virtualKey == VK_MENU) altDown_ = false;
  queue(event::Key{hwnd, virtualKey, false, false, virtualKey & 0x7F, false, modifiers()});
}

void HeadlessBackend::pressKey(HWND hwnd, int virtualKey) {
  keyDown(hwnd, virtualKey);
  keyUp(hwnd, virtualKey);
}

void HeadlessBackend::commitText(HWND hwnd, const std::string& utf8) {
  queue(event::Text{hwnd, utf8});
}

void HeadlessBackend::typeKeys(HWND hwnd, const std::string& ascii) {
  for (char c : ascii) {
    int vk = 0;
    if (c >= 'a' && c <= 'z') vk = c - 'a' + 'A';
    else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') vk = c;
    const bool upperCase = c >= 'A' && c <= 'Z';
    if (upperCase && !shiftDown_) {
      keyDown(hwnd, VK_SHIFT);
      keyDown(hwnd, vk);
      commitText(hwnd, std::string(1, c));
      keyUp(hwnd, vk);
      keyUp(hwnd, VK_SHIFT);
      continue;
    }
    if (vk != 0) keyDown(hwnd, vk);
    commitText(hwnd, std::string(1, c));
    if (vk != 0) keyUp(hwnd, vk);
  }
}

void HeadlessBackend::activateWindow(HWND hwnd) { queue(event::Activation{hwnd, true}); }
void HeadlessBackend::deactivateWindow(HWND hwnd) { queue(event::Activation{hwnd, false}); }
void HeadlessBackend::requestClose(HWND hwnd) { queue(event::CloseRequest{hwnd}); }

void HeadlessBackend::userMove(HWND hwnd, int x, int y) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  RECT& r = it->second.rect;
  r = {x, y, x + r.width(), y + r.height()};
  configure(hwnd);
}

void HeadlessBackend::userResize(HWND hwnd, int width, int height) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  RECT& r = it->second.rect;
  r = clampSize(it->second, {r.left, r.top, r.left + width, r.top + height}, WMSZ_BOTTOMRIGHT);
  configure(hwnd);
}

void HeadlessBackend::configure(HWND hwnd) {
  const NativeWindow& w = windows_.at(hwnd);
  queue(event::Configured{hwnd, w.rect, w.placement});
}

// --- readback --------------------------------------------------------------------------

PixelView HeadlessBackend::presented(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w == nullptr ? PixelView{} : w->image.view();
}

std::uint32_t HeadlessBackend::pixel(HWND hwnd, int x, int y) const {
  const PixelView v = presented(hwnd);
  if (v.pixels == nullptr || x < 0 || y < 0 || x >= v.width || y >= v.height) return 0;
  return v.at(x, y);
}

int HeadlessBackend::presentCount(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w == nullptr ? 0 : w->presents;
}

void HeadlessBackend::recordFrames(HWND hwnd, bool on) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.recording = on;
}

const std::vector<HeadlessBackend::Frame>& HeadlessBackend::frames(HWND hwnd) const {
  static const std::vector<Frame> none;
  const NativeWindow* w = window(hwnd);
  return w == nullptr ? none : w->frames;
}

bool HeadlessBackend::shown(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w != nullptr && w->shown;
}

std::string HeadlessBackend::nativeTitle(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w == nullptr ? std::string() : w->title;
}

std::optional<Region> HeadlessBackend::nativeRegion(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  if (w == nullptr) return std::nullopt;
  return w->region;
}

std::optional<BYTE> HeadlessBackend::opacity(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  if (w == nullptr) return std::nullopt;
  return w->opacity;
}

bool HeadlessBackend::topmost(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w != nullptr && w->topmost;
}

bool HeadlessBackend::hasIcon(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w != nullptr && w->icon;
}

int HeadlessBackend::cursor(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w == nullptr ? 0 : w->cursor;
}

bool HeadlessBackend::grabbed(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w != nullptr && w->grabbed;
}

SIZE HeadlessBackend::minimumSize(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w == nullptr ? SIZE{} : w->minimum;
}

SIZE HeadlessBackend::maximumSize(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w == nullptr ? SIZE{} : w->maximum;
}

bool HeadlessBackend::moveDragActive(HWND hwnd) const { return drag_.hwnd == hwnd && drag_.edge == 0; }

int HeadlessBackend::resizeDragEdge(HWND hwnd) const { return drag_.hwnd == hwnd ? drag_.edge : 0; }

void HeadlessBackend::setScreen(SIZE size, RECT workArea) {
  screen_ = size;
  workArea_ = workArea;
}

std::uint64_t HeadlessBackend::addForeignWindow(const std::string& titleUtf8) {
  const std::uint64_t id = nextForeign_++;
  foreign_[id] = {titleUtf8, true, {}};
  return id;
}

void HeadlessBackend::closeForeignWindow(std::uint64_t id) {
  if (auto it = foreign_.find(id); it != foreign_.end()) it->second.alive = false;
}

const std::vector<NativeShow>& HeadlessBackend::foreignShows(std::uint64_t id) const {
  static const std::vector<NativeShow> none;
  auto it = foreign_.find(id);
  return it == foreign_.end() ? none : it->second.shows;
}

// --- Backend ---------------------------------------------------------------------

void HeadlessBackend::createWindow(HWND hwnd, const NativeWindowSpec& spec) {
  NativeWindow w;
  w.rect = spec.screenRect;
  w.normalRect = spec.screenRect;
  w.title = spec.titleUtf8;
  w.scale = scale_;
  windows_[hwnd] = std::move(w);
}

double HeadlessBackend::scale(HWND hwnd) {
  const NativeWindow* w = window(hwnd);
  return w != nullptr ? w->scale : 1;
}

void HeadlessBackend::changeScale(HWND hwnd, double scale) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  it->second.scale = scale;
  queue(event::ScaleChanged{hwnd});
}

void HeadlessBackend::destroyWindow(HWND hwnd) {
  windows_.erase(hwnd);
  if (drag_.hwnd == hwnd) drag_ = {};
}

void HeadlessBackend::setTitle(HWND hwnd, const std::string& utf8) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.title = utf8;
}

void HeadlessBackend::show(HWND hwnd, NativeShow how) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  NativeWindow& w = it->second;
  switch (how) {
    case NativeShow::Hide:
      w.shown = false;
      return;
    case NativeShow::Normal:
    case NativeShow::NormalNoActivate:
      w.shown = true;
      return;
    case NativeShow::Maximized: {
      w.shown = true;
      if (w.placement == event::Placement::Normal) w.normalRect = w.rect;
      const int width = std::min(workArea_.width(), w.maximum.cx);
      const int height = std::min(workArea_.height(), w.maximum.cy);
      w.rect = {workArea_.left, workArea_.top, workArea_.left + width, workArea_.top + height};
      w.placement = event::Placement::Maximized;
      configure(hwnd);
      return;
    }
    case NativeShow::Minimized:
      if (w.placement == event::Placement::Normal) w.normalRect = w.rect;
      w.placement = event::Placement::Minimized;
      configure(hwnd);
      return;
    case NativeShow::Restore:
      w.shown = true;
      w.rect = w.normalRect;
      w.placement = event::Placement::Normal;
      configure(hwnd);
      return;
  }
}

void HeadlessBackend::setScreenRect(HWND hwnd, const RECT& rect) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) {
    it->second.rect = rect;
    if (it->second.placement == event::Placement::Normal) it->second.normalRect = rect;
  }
}

void HeadlessBackend::setRegion(HWND hwnd, const std::optional<Region>& region) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.region = region;
}

void HeadlessBackend::setOpacity(HWND hwnd, BYTE alpha) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.opacity = alpha;
}

void HeadlessBackend::setTopmost(HWND hwnd, bool topmost) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.topmost = topmost;
}

void HeadlessBackend::setSizeLimits(HWND hwnd, SIZE minimum, SIZE maximum) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) {
    it->second.minimum = minimum;
    it->second.maximum = maximum;
  }
}

void HeadlessBackend::setIcon(HWND hwnd, const PixelView* icon) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.icon = icon != nullptr;
}

void HeadlessBackend::activate(HWND hwnd) {
  if (windows_.count(hwnd) != 0) queue(event::Activation{hwnd, true});
}

ShownImage* HeadlessBackend::image(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second.image;
}

void HeadlessBackend::present(HWND hwnd, const RECT& dirty) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  NativeWindow& w = it->second;
  ++w.presents;
  if (w.recording) w.frames.push_back({clock_, dirty, w.image.surface().clone()});
}

void HeadlessBackend::setInputCursor(HWND hwnd, const std::optional<RECT>& area) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.inputCursor = area;
}

std::optional<RECT> HeadlessBackend::inputCursor(HWND hwnd) const {
  const NativeWindow* w = window(hwnd);
  return w != nullptr ? w->inputCursor : std::nullopt;
}

void HeadlessBackend::setCursor(HWND hwnd, int cursorId) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.cursor = cursorId;
}

void HeadlessBackend::setCapture(HWND hwnd, bool captured) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) it->second.grabbed = captured;
}

bool HeadlessBackend::beginMoveDrag(HWND hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end() || !leftDown_) return false;
  drag_ = {hwnd, 0, pointer_, it->second.rect};
  return true;
}

bool HeadlessBackend::beginResizeDrag(HWND hwnd, int wmszEdge) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end() || !leftDown_ || wmszEdge < 1 || wmszEdge > 8) return false;
  drag_ = {hwnd, wmszEdge, pointer_, it->second.rect};
  return true;
}

std::optional<std::string> HeadlessBackend::openFileDialog(HWND owner, const std::string& titleUtf8,
                                                           const std::vector<FileFilter>& filters) {
  fileDialogs_.push_back({owner, titleUtf8, filters});
  std::optional<std::string> answer = std::move(fileAnswer_);
  fileAnswer_.reset();
  return answer;
}

std::optional<UINT> HeadlessBackend::popupMenu(HWND owner, const std::vector<MenuItem>& items,
                                               POINT screen) {
  menus_.push_back({owner, items, screen});
  std::optional<UINT> answer = menuAnswer_;
  menuAnswer_.reset();
  if (answer) {
    // A disabled item cannot be chosen.
    auto it = std::find_if(items.begin(), items.end(), [&](const MenuItem& m) { return m.id == *answer; });
    if (it == items.end() || !it->enabled) return std::nullopt;
  }
  return answer;
}

std::uint64_t HeadlessBackend::findForeignWindow(const std::string& titleUtf8) {
  for (const auto& [id, f] : foreign_) {
    if (f.alive && f.title == titleUtf8) return id;
  }
  return 0;
}

bool HeadlessBackend::foreignWindowExists(std::uint64_t id) {
  auto it = foreign_.find(id);
  return it != foreign_.end() && it->second.alive;
}

bool HeadlessBackend::showForeignWindow(std::uint64_t id, NativeShow how) {
  auto it = foreign_.find(id);
  if (it == foreign_.end() || !it->second.alive) return false;
  it->second.shows.push_back(how);
  return true;
}

}  // namespace platform::window
