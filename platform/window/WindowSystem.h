#pragma once
// The window layer's own state: the window and class tables, the message queue, timers,
// focus, activation, capture and the translation of back-end events into messages.
// Everything here runs on the UI thread (the thread that installed the back end), except
// post(), invoke(), onUiThread() and now(), which any thread may call. The back end is
// installed before any other thread starts (by the first window call at start-up, or by a
// test), since installing it moves the UI thread and drops every window. The Win32-shaped
// functions of WindowApi.h are the public face; tests also install back ends here.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/Backend.h"
#include "platform/window/Region.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

// Sides beyond this are cut: a window's pixels are kept in memory, and no screen is larger.
inline constexpr int kMaxWindowSide = 8192;

class WindowSystem final : public BackendSink {
 public:
  static WindowSystem& instance();

  // Replaces the back end: every window, class, timer and queued message is dropped and
  // the calling thread becomes the UI thread.
  void installBackend(std::unique_ptr<Backend> backend);
  Backend& backend();

  bool onUiThread() const;
  // The back end's clock in ms; any thread.
  std::int64_t now();
  // Runs fn on the UI thread and waits for it; runs it at once when called there.
  void invoke(const std::function<void()>& fn);

  void queueEvent(BackendEvent event) override;
  void serveModalLoop() override { processPending(); }

  // Classes.
  UINT registerClass(const WNDCLASSEXA& wc);
  bool unregisterClass(const std::string& name);
  bool classInfo(const std::string& name, WNDCLASSEXA& out);
  UINT_PTR classLong(HWND hwnd, int index);

  // Windows.
  HWND createWindow(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND owner, void* param);
  bool destroyWindow(HWND hwnd);
  bool isWindow(HWND hwnd) const;
  bool isForeign(HWND hwnd) const;
  bool isVisible(HWND hwnd) const;
  bool isEnabled(HWND hwnd) const;
  bool enableWindow(HWND hwnd, bool enable);
  long windowLong(HWND hwnd, int index) const;
  long setWindowLong(HWND hwnd, int index, long value);
  WNDPROC windowProc(HWND hwnd) const;
  WNDPROC setWindowProc(HWND hwnd, WNDPROC proc);
  HWND owner(HWND hwnd) const;
  bool setProp(HWND hwnd, const std::string& name, std::intptr_t value);
  std::intptr_t prop(HWND hwnd, const std::string& name) const;
  std::intptr_t removeProp(HWND hwnd, const std::string& name);
  void storeTitle(HWND hwnd, const std::string& title);
  std::string title(HWND hwnd) const;
  bool showWindow(HWND hwnd, int command);
  bool setWindowRect(HWND hwnd, const RECT& rect, bool move, bool size);
  bool setTopmost(HWND hwnd, bool topmost);
  bool windowRect(HWND hwnd, RECT& out) const;
  bool isZoomed(HWND hwnd) const;
  bool isIconic(HWND hwnd) const;
  bool setRegion(HWND hwnd, std::optional<Region> region);
  std::optional<Region> region(HWND hwnd) const;
  bool setAlpha(HWND hwnd, BYTE alpha);
  std::optional<BYTE> alpha(HWND hwnd) const;
  HICON setIcon(HWND hwnd, WPARAM which, HICON icon);
  HICON icon(HWND hwnd, WPARAM which) const;
  HWND findWindow(const char* className, const char* title);
  MINMAXINFO minMaxInfo(HWND hwnd);

  // Pixels.
  bool updateLayered(HWND hwnd, const POINT* position, const SIZE* size, PixelView source,
                     POINT sourceOrigin, BYTE constantAlpha, const RECT* dirty);
  bool copyPixels(HWND hwnd, PixelView source, const RECT& rect);
  double scale(HWND hwnd);
  bool invalidate(HWND hwnd, const RECT* rect);
  bool validate(HWND hwnd, const RECT* rect);
  bool updateRect(HWND hwnd, RECT& out) const;

  // Messages.
  LRESULT send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void postQuit(int code);
  int getMessage(MSG& out);
  bool peekMessage(MSG& out, bool remove);
  LRESULT dispatch(const MSG& msg);
  void processPending();
  LRESULT defaultProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // Timers.
  UINT_PTR setTimer(HWND hwnd, UINT_PTR id, UINT intervalMs);
  bool killTimer(HWND hwnd, UINT_PTR id);
  // The clock time of the next timer due, if any.
  std::optional<std::int64_t> nextTimerDue() const;

  // Input state.
  short keyState(int virtualKey) const;
  POINT cursorPos();
  HWND setCapture(HWND hwnd);
  bool releaseCapture();
  HWND capture() const { return capture_; }
  HWND setFocus(HWND hwnd);
  HWND focus() const { return focus_; }
  HWND activeWindow() const { return active_; }
  bool trackMouseLeave(HWND hwnd, bool cancel);
  int setCursor(int cursorId);
  int cursor() const { return cursor_; }
  bool showSystemMenu(HWND hwnd, int x, int y);

 private:
  struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    int background = 0;
  };
  struct Window {
    HWND handle = nullptr;
    std::string className;
    UINT classStyle = 0;
    HCURSOR classCursor = nullptr;
    WNDPROC proc = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    RECT rect;
    bool visible = false;
    bool enabled = true;
    bool maximized = false;
    bool minimized = false;
    bool destroying = false;
    bool created = false;
    std::map<std::string, std::intptr_t> props;
    HICON iconSmall = nullptr;
    HICON iconBig = nullptr;
    std::optional<Region> region;
    std::optional<BYTE> alpha;
    std::optional<RECT> invalid;
    bool trackLeave = false;
    bool inSizeMove = false;
    int commandAfterSizeMove = -1;  // an SW_ command that came while the drag ran
    double scale = 1;               // as the window was last told (WM_DPICHANGED)
  };
  // A window of another process that findWindow handed out. It answers isWindow, title,
  // isVisible, showWindow and destroyWindow (which forgets it); find() never returns it,
  // so every other operation rejects its handle.
  struct ForeignWindow {
    std::uint64_t id = 0;  // the back end's
    std::string title;
  };
  struct Timer {
    UINT interval = 0;
    std::int64_t due = 0;
    std::uint64_t order = 0;
  };
  struct CrossCall {
    const std::function<void()>* fn;
    bool done = false;
  };
  struct ClickMemory {
    HWND hwnd = nullptr;
    MouseButton button = MouseButton::Left;
    std::int64_t timeMs = 0;
    POINT screen;
    bool armed = false;
  };

  WindowSystem() = default;
  void reset();
  Window* find(HWND hwnd);
  const Window* find(HWND hwnd) const;
  Backend& requireBackend();
  void runCrossCalls();
  void drainEvents();
  void handle(const BackendEvent& event);
  void handleButton(const event::Button& e);
  void handleMotion(const event::Motion& e);
  void handleWheel(const event::Wheel& e);
  void handlePointerLeft(const event::PointerLeft& e);
  void handleKey(const event::Key& e);
  void handleText(const event::Text& e);
  void handleConfigured(const event::Configured& e);
  void handleScaleChanged(const event::ScaleChanged& e);
  void activate(HWND hwnd, bool active);
  void changeFocus(HWND hwnd);
  HWND inputTarget(HWND hwnd, int& x, int& y);
  void enqueue(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool nextMessage(MSG& out, bool remove, bool block, bool allowQuit);
  void noteDequeued(const MSG& msg);
  bool takePaint(MSG& out);
  bool takeTimer(MSG& out, bool remove);
  void flushCursor();
  void applyMinMax(HWND hwnd);
  void reshape(Window& w, int width, int height);
  void destroyTree(HWND hwnd);
  WPARAM mouseKeys(const Modifiers& modifiers) const;
  void noteModifiers(const Modifiers& modifiers);

  std::unique_ptr<Backend> backend_;
  std::thread::id uiThread_;
  std::map<std::string, WindowClass> classes_;  // keys upper-cased
  std::map<HWND, std::unique_ptr<Window>> windows_;
  std::map<HWND, ForeignWindow> foreign_;
  std::uintptr_t nextHandle_ = 0x10;
  std::map<std::pair<HWND, UINT_PTR>, Timer> timers_;
  std::uint64_t timerOrder_ = 0;
  std::vector<BackendEvent> events_;
  bool draining_ = false;
  bool quitPending_ = false;
  int quitCode_ = 0;
  HWND capture_ = nullptr;
  HWND focus_ = nullptr;
  HWND active_ = nullptr;
  HWND pointerWindow_ = nullptr;
  int cursor_ = 32512;
  int appliedCursor_ = 0;
  HWND appliedCursorWindow_ = nullptr;
  bool keys_[256] = {};
  ClickMemory lastClick_;

  // guarded by mutex_
  std::mutex mutex_;
  std::condition_variable callDone_;
  std::deque<MSG> posted_;
  std::deque<CrossCall*> calls_;
  std::set<HWND> liveHandles_;
};

}  // namespace platform::window
