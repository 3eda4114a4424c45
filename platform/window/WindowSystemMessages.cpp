// The message queue, the loop, timers, calls across threads and the default procedure.

#include <algorithm>
#include <cstring>

#include "platform/window/Icons.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/WindowSystem.h"

namespace platform::window {

LRESULT WindowSystem::send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!onUiThread()) {
    LRESULT result = 0;
    invoke([&] { result = send(hwnd, message, wParam, lParam); });
    return result;
  }
  Window* w = find(hwnd);
  if (w == nullptr || w->proc == nullptr) return 0;
  return w->proc(hwnd, message, wParam, lParam);
}

bool WindowSystem::post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard lock(mutex_);
    if (hwnd != nullptr && liveHandles_.count(hwnd) == 0) return false;
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    posted_.push_back(m);
  }
  if (backend_) backend_->wake();
  return true;
}

void WindowSystem::enqueue(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = static_cast<DWORD>(requireBackend().nowMs());
  m.pt = cursorPos();
  std::lock_guard lock(mutex_);
  posted_.push_back(m);
}

void WindowSystem::postQuit(int code) {
  quitPending_ = true;
  quitCode_ = code;
  requireBackend().wake();
}

void WindowSystem::invoke(const std::function<void()>& fn) {
  if (onUiThread()) {
    fn();
    return;
  }
  CrossCall call{&fn};
  std::unique_lock lock(mutex_);
  calls_.push_back(&call);
  Backend* be = backend_.get();
  lock.unlock();
  if (be != nullptr) be->wake();
  lock.lock();
  callDone_.wait(lock, [&] { return call.done; });
}

void WindowSystem::runCrossCalls() {
  for (;;) {
    CrossCall* call = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (calls_.empty()) return;
      call = calls_.front();
      calls_.pop_front();
    }
    (*call->fn)();
    {
      std::lock_guard lock(mutex_);
      call->done = true;
    }
    callDone_.notify_all();
  }
}

bool WindowSystem::nextMessage(MSG& out, bool remove, bool block, bool allowQuit) {
  for (;;) {
    runCrossCalls();
    drainEvents();
    {
      std::unique_lock lock(mutex_);
      if (!posted_.empty()) {
        out = posted_.front();
        if (remove) posted_.pop_front();
        lock.unlock();
        if (remove) noteDequeued(out);
        return true;
      }
    }
    if (quitPending_ && allowQuit) {
      out = MSG{};
      out.message = WM_QUIT;
      out.wParam = static_cast<WPARAM>(quitCode_);
      if (remove) quitPending_ = false;
      return true;
    }
    if (takePaint(out)) return true;
    if (takeTimer(out, remove)) return true;
    if (!block) return false;
    flushCursor();
    requireBackend().wait(nextTimerDue());
  }
}

int WindowSystem::getMessage(MSG& out) {
  if (!onUiThread()) return -1;
  nextMessage(out, true, true, true);
  return out.message == WM_QUIT ? 0 : 1;
}

bool WindowSystem::peekMessage(MSG& out, bool remove) {
  if (!onUiThread()) return false;
  requireBackend().poll();
  return nextMessage(out, remove, false, true);
}

void WindowSystem::processPending() {
  if (!onUiThread()) return;
  requireBackend().poll();
  MSG m;
  // Only what is already there: messages posted while dispatching wait for the next pump,
  // so a window that keeps posting to itself cannot hold the caller here.
  std::size_t budget;
  {
    std::lock_guard lock(mutex_);
    budget = posted_.size() + windows_.size() + timers_.size() + 16;
  }
  while (budget-- > 0 && nextMessage(m, true, false, false)) dispatch(m);
  flushCursor();
}

LRESULT WindowSystem::dispatch(const MSG& msg) {
  if (msg.hwnd == nullptr || !isWindow(msg.hwnd)) return 0;
  const LRESULT result = send(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  if (msg.message == WM_PAINT) {
    // A procedure that did not paint still must not be asked again and again.
    if (Window* w = find(msg.hwnd)) w->invalid.reset();
  }
  flushCursor();
  return result;
}

bool WindowSystem::takePaint(MSG& out) {
  for (const auto& [h, w] : windows_) {
    if (w->invalid && w->visible && !w->destroying) {
      out = MSG{};
      out.hwnd = h;
      out.message = WM_PAINT;
      return true;
    }
  }
  return false;
}

UINT_PTR WindowSystem::setTimer(HWND hwnd, UINT_PTR id, UINT intervalMs) {
  if (find(hwnd) == nullptr) return 0;
  // The desktop's own lower limit; a zero interval would otherwise spin.
  const UINT interval = std::max<UINT>(intervalMs, 10);
  Timer& t = timers_[{hwnd, id}];
  t.interval = interval;
  t.due = requireBackend().nowMs() + interval;
  t.order = ++timerOrder_;
  requireBackend().wake();
  return id == 0 ? 1 : id;
}

bool WindowSystem::killTimer(HWND hwnd, UINT_PTR id) { return timers_.erase({hwnd, id}) > 0; }

std::optional<std::int64_t> WindowSystem::nextTimerDue() const {
  std::optional<std::int64_t> due;
  for (const auto& [key, t] : timers_) {
    if (!due || t.due < *due) due = t.due;
  }
  return due;
}

bool WindowSystem::takeTimer(MSG& out, bool remove) {
  const std::int64_t now = requireBackend().nowMs();
  auto best = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second.due > now) continue;
    if (best == timers_.end() || it->second.due < best->second.due ||
        (it->second.due == best->second.due && it->second.order < best->second.order)) {
      best = it;
    }
  }
  if (best == timers_.end()) return false;
  out = MSG{};
  out.hwnd = best->first.first;
  out.message = WM_TIMER;
  out.wParam = best->first.second;
  out.time = static_cast<DWORD>(now);
  // A late timer fires once, not once for every interval it missed.
  if (remove) best->second.due = now + best->second.interval;
  return true;
}

LRESULT WindowSystem::defaultProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = find(hwnd);
  if (w == nullptr) return 0;
  switch (message) {
    case WM_NCCREATE:
      return 1;
    case WM_CLOSE:
      destroyWindow(hwnd);
      return 0;
    case WM_SETTEXT:
      storeTitle(hwnd, lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
      return 1;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->title.size());
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(wParam - 1, w->title.size());
      std::memcpy(reinterpret_cast<char*>(lParam), w->title.data(), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_SETICON:
      return reinterpret_cast<LRESULT>(setIcon(hwnd, wParam, reinterpret_cast<HICON>(lParam)));
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(icon(hwnd, wParam == ICON_BIG ? ICON_BIG : ICON_SMALL));
    case WM_PAINT:
      validate(hwnd, nullptr);
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd && loWord(static_cast<std::uintptr_t>(lParam)) == HTCLIENT &&
          w->classCursor != nullptr) {
        setCursor(cursorIdOf(w->classCursor));
        return 1;
      }
      return 0;
    case WM_NCLBUTTONDOWN:
      if (wParam == HTCAPTION) {
        // Only while the button is really down: a move started after the release would
        // stick the window to the pointer until the next click.
        if (!requireBackend().leftButtonDown() || w->maximized) return 0;
        if (capture_ != nullptr) releaseCapture();
        send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
        if (Window* again = find(hwnd)) again->inSizeMove = requireBackend().beginMoveDrag(hwnd);
      }
      return 0;
    case WM_SYSCOMMAND: {
      const WPARAM command = wParam & 0xFFF0;
      int show = -1;
      if (command == SC_MAXIMIZE) show = SW_MAXIMIZE;
      else if (command == SC_MINIMIZE) show = SW_MINIMIZE;
      else if (command == SC_RESTORE) show = SW_RESTORE;
      if (show >= 0 && w->inSizeMove) {
        // A double click on the caption starts a move with its second press; the desktop
        // would drop a maximise that came in the middle of it, so it waits for the end.
        w->commandAfterSizeMove = show;
        return 0;
      }
      if (show >= 0) showWindow(hwnd, show);
      else if (command == SC_CLOSE) send(hwnd, WM_CLOSE, 0, 0);
      else if (command == SC_MOVE) defaultProc(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      else if (command == SC_SIZE) {
        const int edge = static_cast<int>(wParam & 0xF);
        if (edge < 1 || edge > 8 || w->maximized || !requireBackend().leftButtonDown()) return 0;
        if (capture_ != nullptr) releaseCapture();
        applyMinMax(hwnd);
        send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
        if (Window* again = find(hwnd)) again->inSizeMove = requireBackend().beginResizeDrag(hwnd, edge);
      }
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace platform::window
