#pragma once
// An in-memory desktop for tests: windows exist only here, time is a test clock, and the
// test plays the user.
//
//   auto& desk = platform::window::HeadlessBackend::install();  // fresh state each time
//   HWND w = CreateWindowExA(...);  ShowWindow(w, SW_SHOWNORMAL);
//   desk.click(w, 10, 20);          // queues WM_LBUTTONDOWN/UP at client (10, 20)
//   desk.pump();                    // dispatches everything pending
//   desk.advance(80);               // moves the clock; due WM_TIMERs are dispatched in order
//   PixelView shown = desk.presented(w);   // what the window shows now, in device pixels
//   desk.recordFrames(w, true);     // from now on every present is kept with its clock time
//
// Injected input goes through the same translation as real input (capture, disabled
// windows, CS_DBLCLKS double clicks within the double-click time and box, key messages
// and one WM_CHAR per GBK byte of committed text); it is only queued, so call pump() or
// run a message loop. Actions scheduled with at() run when the clock reaches them, also
// inside a running message loop, which makes modal loops testable: a blocking
// GetMessageA with nothing to do moves the clock to the next timer or action at once.
// Everything is single-threaded except wake() and what other threads post or send.
// Sleep() on the UI thread moves the clock without running timers or actions, as a real
// sleep blocks the thread that would serve them.
// A blocking loop with nothing scheduled that no other thread wakes within 30 s aborts
// with a message instead of hanging the suite.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Surface.h"
#include "platform/window/Backend.h"

namespace platform::window {

class HeadlessBackend final : public Backend {
 public:
  // Installs a new headless desktop as the window system's back end (dropping every
  // window, class and timer of the previous one) and returns it.
  static HeadlessBackend& install();

  // --- clock ---------------------------------------------------------------------------
  std::int64_t now() const { return clock_; }
  // Moves the clock forward by ms, dispatching timers and actions in time order.
  void advance(std::int64_t ms);
  // Runs fn when the clock has moved delayMs further.
  void at(std::int64_t delayMs, std::function<void()> fn);
  // Dispatches everything pending now (processPendingMessages).
  void pump();

  // --- the user (client coordinates of hwnd) ------------------------------------------
  void mouseMove(HWND hwnd, int x, int y);
  void mouseDown(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
  void mouseUp(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
  void click(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
  void doubleClick(HWND hwnd, int x, int y);
  void wheel(HWND hwnd, int notches, int x, int y);  // positive: away from the user
  void pointerLeave(HWND hwnd);
  // Shift, Control and Alt (VK_SHIFT, VK_CONTROL, VK_MENU) are held between their down
  // and up and go with every later event.
  void keyDown(HWND hwnd, int virtualKey, bool repeat = false);
  void keyUp(HWND hwnd, int virtualKey);
  void pressKey(HWND hwnd, int virtualKey);
  // Text committed by the input method (UTF-8), without key messages.
  void commitText(HWND hwnd, const std::string& utf8);
  // ASCII typed key by key: WM_KEYDOWN, WM_CHAR, WM_KEYUP for each character.
  void typeKeys(HWND hwnd, const std::string& ascii);
  void activateWindow(HWND hwnd);
  void deactivateWindow(HWND hwnd);
  void requestClose(HWND hwnd);
  // What the window manager does when the user drags the window or its edge.
  void userMove(HWND hwnd, int x, int y);
  void userResize(HWND hwnd, int width, int height);

  // --- what the desktop shows ---------------------------------------------------------
  PixelView presented(HWND hwnd) const;
  std::uint32_t pixel(HWND hwnd, int x, int y) const;  // device pixel; 0 outside
  int presentCount(HWND hwnd) const;
  // The frame log: while on, each present keeps a copy of the whole shown image.
  struct Frame {
    std::int64_t clockMs = 0;
    RECT dirty;
    gfx::Surface image;
  };
  void recordFrames(HWND hwnd, bool on);
  const std::vector<Frame>& frames(HWND hwnd) const;
  bool shown(HWND hwnd) const;
  std::string nativeTitle(HWND hwnd) const;  // UTF-8
  std::optional<Region> nativeRegion(HWND hwnd) const;
  std::optional<BYTE> opacity(HWND hwnd) const;
  bool topmost(HWND hwnd) const;
  bool hasIcon(HWND hwnd) const;
  int cursor(HWND hwnd) const;  // system cursor id last set while over the window
  bool grabbed(HWND hwnd) const;
  SIZE minimumSize(HWND hwnd) const;
  SIZE maximumSize(HWND hwnd) const;
  bool moveDragActive(HWND hwnd) const;
  int resizeDragEdge(HWND hwnd) const;  // WMSZ_ edge, 0 when none
  const std::vector<UINT>& beeps() const { return beeps_; }
  // Where the window last placed the input method's cursor (caret), nothing when unset.
  std::optional<RECT> inputCursor(HWND hwnd) const;

  // --- desktop settings and scripted answers ------------------------------------------
  void setScreen(SIZE size, RECT workArea);
  // Device pixels per unit for windows made from now on (1 at first: pixels are units).
  void setScale(double scale) { scale_ = scale; }
  // The desktop moves one window to another scale, as a settings change or another
  // monitor does.
  void changeScale(HWND hwnd, double scale);
  void setDoubleClickTime(int ms) { doubleClickMs_ = ms; }
  // The next open-file dialog answers this (nothing = cancel) and records its request.
  void answerFileDialog(std::optional<std::string> path) { fileAnswer_ = std::move(path); }
  struct FileDialogRequest {
    HWND owner = nullptr;
    std::string titleUtf8;
    std::vector<FileFilter> filters;
  };
  const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
  // The next popup menu picks this id (nothing = dismissed) and records its items.
  void answerMenu(std::optional<UINT> id) { menuAnswer_ = id; }
  struct MenuRequest {
    HWND owner = nullptr;
    std::vector<MenuItem> items;
    POINT at;
  };
  const std::vector<MenuRequest>& menus() const { return menus_; }
  // A top-level window of another process; returns its id.
  std::uint64_t addForeignWindow(const std::string& titleUtf8);
  void closeForeignWindow(std::uint64_t id);
  const std::vector<NativeShow>& foreignShows(std::uint64_t id) const;

  // --- Backend ---------------------------------------------------------------------
  void setSink(BackendSink* sink) override { sink_ = sink; }
  void createWindow(HWND hwnd, const NativeWindowSpec& spec) override;
  void destroyWindow(HWND hwnd) override;
  void setTitle(HWND hwnd, const std::string& utf8) override;
  void show(HWND hwnd, NativeShow how) override;
  void setScreenRect(HWND hwnd, const RECT& rect) override;
  void setRegion(HWND hwnd, const std::optional<Region>& region) override;
  void setOpacity(HWND hwnd, BYTE alpha) override;
  void setTopmost(HWND hwnd, bool topmost) override;
  void setSizeLimits(HWND hwnd, SIZE minimum, SIZE maximum) override;
  void setIcon(HWND hwnd, const PixelView* icon) override;
  void activate(HWND hwnd) override;
  void setEnabled(HWND, bool) override {}
  double scale(HWND hwnd) override;
  ShownImage* image(HWND hwnd) override;
  void present(HWND hwnd, const RECT& dirty) override;
  void setCursor(HWND hwnd, int cursorId) override;
  void setCapture(HWND hwnd, bool captured) override;
  bool beginMoveDrag(HWND hwnd) override;
  bool beginResizeDrag(HWND hwnd, int wmszEdge) override;
  bool leftButtonDown() override { return leftDown_; }
  void setInputCursor(HWND hwnd, const std::optional<RECT>& area) override;
  std::int64_t nowMs() override { return clock_; }
  void sleep(std::int64_t ms) override { clock_ += std::max<std::int64_t>(ms, 0); }
  void wait(std::optional<std::int64_t> deadlineMs) override;
  void poll() override;
  void wake() override;
  SIZE screenSize() override { return screen_; }
  RECT workArea() override { return workArea_; }
  int doubleClickTimeMs() override { return doubleClickMs_; }
  SIZE doubleClickSize() override { return {4, 4}; }
  POINT cursorPos() override { return pointer_; }
  void beep(UINT type) override { beeps_.push_back(type); }
  void setClipboardUtf8(const std::string& text) override { clipboard_ = text; }
  std::string clipboardUtf8() override { return clipboard_; }
  std::optional<std::string> openFileDialog(HWND owner, const std::string& titleUtf8,
                                            const std::vector<FileFilter>& filters) override;
  std::optional<UINT> popupMenu(HWND owner, const std::vector<MenuItem>& items,
                                POINT screen) override;
  std::uint64_t findForeignWindow(const std::string& titleUtf8) override;
  bool foreignWindowExists(std::uint64_t id) override;
  bool showForeignWindow(std::uint64_t id, NativeShow how) override;

 private:
  struct NativeWindow {
    RECT rect;
    RECT normalRect;
    event::Placement placement = event::Placement::Normal;
    bool shown = false;
    std::string title;
    std::optional<Region> region;
    std::optional<BYTE> opacity;
    bool topmost = false;
    bool icon = false;
    int cursor = 0;
    bool grabbed = false;
    SIZE minimum{1, 1};
    SIZE maximum{1 << 15, 1 << 15};
    int presents = 0;
    ShownImage image;
    bool recording = false;
    std::vector<Frame> frames;
    std::optional<RECT> inputCursor;
    double scale = 1;
  };
  struct Foreign {
    std::string title;
    bool alive = true;
    std::vector<NativeShow> shows;
  };
  struct Action {
    std::int64_t due;
    std::uint64_t order;
    std::function<void()> fn;
  };
  struct Drag {
    HWND hwnd = nullptr;
    int edge = 0;  // 0 move, else WMSZ_
    POINT start;
    RECT startRect;
  };

  void queue(BackendEvent e);
  bool runDueActions();
  Modifiers modifiers() const {
    return {shiftDown_, controlDown_, altDown_, leftDown_, rightDown_, middleDown_};
  }
  POINT toScreen(HWND hwnd, int x, int y) const;
  bool dragMotion(POINT screen);
  RECT clampSize(const NativeWindow& w, RECT r, int edge) const;
  void configure(HWND hwnd);
  const NativeWindow* window(HWND hwnd) const;

  BackendSink* sink_ = nullptr;
  std::atomic<std::int64_t> clock_{0};
  std::vector<Action> actions_;
  std::uint64_t actionOrder_ = 0;
  std::map<HWND, NativeWindow> windows_;
  std::map<std::uint64_t, Foreign> foreign_;
  std::uint64_t nextForeign_ = 1;
  SIZE screen_{1280, 800};
  double scale_ = 1;
  RECT workArea_{0, 0, 1280, 770};
  int doubleClickMs_ = 500;
  POINT pointer_;
  bool leftDown_ = false;
  bool rightDown_ = false;
  bool middleDown_ = false;
  bool shiftDown_ = false;
  bool controlDown_ = false;
  bool altDown_ = false;
  Drag drag_;
  std::vector<UINT> beeps_;
  std::string clipboard_;
  std::optional<std::string> fileAnswer_;
  std::vector<FileDialogRequest> fileDialogs_;
  std::optional<UINT> menuAnswer_;
  std::vector<MenuRequest> menus_;

  // guarded by wakeMutex_
  std::mutex wakeMutex_;
  std::condition_variable wakeCv_;
  bool woken_ = false;
};

}  // namespace platform::window
