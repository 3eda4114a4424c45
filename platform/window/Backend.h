#pragma once
// What a native window system must do for the window layer. The layer itself keeps the
// window table, queues, timers, focus, capture and input translation; a back end only
// makes windows appear, reports what the user did, and offers the desktop's services.
// All calls run on the UI thread except wake() and nowMs(), which any thread may call.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/window/Region.h"
#include "platform/window/ShownImage.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

enum class MouseButton { Left, Right, Middle };

// Shift, Control, Alt and the mouse buttons as the desktop saw them with an event.
struct Modifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
  bool left = false;
  bool right = false;
  bool middle = false;
};

namespace event {
struct Button {
  HWND hwnd;
  MouseButton button;
  bool down;
  int x, y;  // client coordinates
  std::int64_t timeMs;
  Modifiers modifiers;
};
struct Motion {
  HWND hwnd;
  int x, y;
  Modifiers modifiers;
};
struct Wheel {
  HWND hwnd;
  int notches;  // positive: away from the user
  int x, y;     // client coordinates
  Modifiers modifiers;
};
struct PointerLeft {
  HWND hwnd;
};
struct Key {
  HWND hwnd;
  int virtualKey;
  bool down;
  bool repeat;
  int scanCode;
  bool takenByInputMethod;
  Modifiers modifiers;
};
struct Text {  // committed text, UTF-8
  HWND hwnd;
  std::string utf8;
};
struct Activation {
  HWND hwnd;
  bool active;
};
struct CloseRequest {
  HWND hwnd;
};
enum class Placement { Normal, Maximized, Minimized };
struct Configured {
  HWND hwnd;
  RECT screenRect;
  Placement placement;
};
struct SizeMoveEnded {
  HWND hwnd;
};
// The desktop's scale for the window changed (another monitor, another setting).
struct ScaleChanged {
  HWND hwnd;
};
}  // namespace event

using BackendEvent = std::variant<event::Button, event::Motion, event::Wheel, event::PointerLeft,
                                  event::Key, event::Text, event::Activation, event::CloseRequest,
                                  event::Configured, event::SizeMoveEnded, event::ScaleChanged>;

// Receives what the back end saw. Events are queued and handled outside the back end's
// own callbacks, so a window procedure never runs inside a native signal handler.
class BackendSink {
 public:
  virtual void queueEvent(BackendEvent event) = 0;
  // Called from inside a loop of the system's own (a window drag, a menu) that holds the UI
  // thread: handle what is due now, timers included, without waiting.
  virtual void serveModalLoop() {}

 protected:
  ~BackendSink() = default;
};

struct NativeWindowSpec {
  RECT screenRect;
  std::string titleUtf8;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND owner = nullptr;
};

enum class NativeShow { Hide, Normal, NormalNoActivate, Maximized, Minimized, Restore };

struct FileFilter {
  std::string nameUtf8;
  std::vector<std::string> patterns;
};

struct MenuItem {
  UINT id = 0;
  std::string labelUtf8;
  bool enabled = true;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual void setSink(BackendSink* sink) = 0;

  // Windows.
  virtual void createWindow(HWND hwnd, const NativeWindowSpec& spec) = 0;
  virtual void destroyWindow(HWND hwnd) = 0;
  virtual void setTitle(HWND hwnd, const std::string& utf8) = 0;
  virtual void show(HWND hwnd, NativeShow how) = 0;
  virtual void setScreenRect(HWND hwnd, const RECT& rect) = 0;
  virtual void setRegion(HWND hwnd, const std::optional<Region>& region) = 0;
  virtual void setOpacity(HWND hwnd, BYTE alpha) = 0;
  virtual void setTopmost(HWND hwnd, bool topmost) = 0;
  virtual void setSizeLimits(HWND hwnd, SIZE minimum, SIZE maximum) = 0;
  virtual void setIcon(HWND hwnd, const PixelView* icon) = 0;
  virtual void activate(HWND hwnd) = 0;
  virtual void setEnabled(HWND hwnd, bool enabled) = 0;
  // Device pixels per window unit the desktop wants for the window now (1 for an unknown
  // one); may be fractional. ScaleChanged says when it changes.
  virtual double scale(HWND hwnd) {
    (void)hwnd;
    return 1;
  }
  // The pixels the window shows, kept only here; null for an unknown window. The window
  // layer sizes it with the window and its scale, writes into it and then presents what
  // it changed.
  virtual ShownImage* image(HWND hwnd) = 0;
  // Puts dirty (window coordinates, inside the image) on the screen; nothing else is redrawn.
  virtual void present(HWND hwnd, const RECT& dirty) = 0;
  virtual void setCursor(HWND hwnd, int cursorId) = 0;
  virtual void setCapture(HWND hwnd, bool captured) = 0;
  // Interactive move or resize with the pointer; false when it cannot start.
  virtual bool beginMoveDrag(HWND hwnd) = 0;
  virtual bool beginResizeDrag(HWND hwnd, int wmszEdge) = 0;
  // Whether the left button is down right now, as the desktop sees it.
  virtual bool leftButtonDown() = 0;
  // Where the input method's candidate window should open (client coordinates of the
  // caret, nothing when the window has no caret). Desktops without one ignore it.
  virtual void setInputCursor(HWND hwnd, const std::optional<RECT>& area) {
    (void)hwnd;
    (void)area;
  }

  // Event loop and clock.
  virtual std::int64_t nowMs() = 0;
  // Blocks the UI thread for ms without handling events, timers or actions.
  virtual void sleep(std::int64_t ms) = 0;
  // Handles native events until something happens, wake() is called or the clock reaches
  // deadlineMs; a back end may return early.
  virtual void wait(std::optional<std::int64_t> deadlineMs) = 0;
  // Handles native events that are ready, without blocking.
  virtual void poll() = 0;
  virtual void wake() = 0;

  // Desktop.
  virtual SIZE screenSize() = 0;
  virtual RECT workArea() = 0;
  virtual int doubleClickTimeMs() = 0;
  virtual SIZE doubleClickSize() = 0;
  virtual POINT cursorPos() = 0;
  virtual void beep(UINT type) = 0;
  virtual void setClipboardUtf8(const std::string& text) = 0;
  virtual std::string clipboardUtf8() = 0;
  virtual std::optional<std::string> openFileDialog(HWND owner, const std::string& titleUtf8,
                                                    const std::vector<FileFilter>& filters) = 0;
  // Modal: the chosen id, or none when the menu was dismissed.
  virtual std::optional<UINT> popupMenu(HWND owner, const std::vector<MenuItem>& items,
                                        POINT screen) = 0;

  // Top-level windows of other processes, by an id of the back end's choosing (never 0).
  virtual std::uint64_t findForeignWindow(const std::string& titleUtf8) = 0;
  virtual bool foreignWindowExists(std::uint64_t id) = 0;
  virtual bool showForeignWindow(std::uint64_t id, NativeShow how) = 0;
};

}  // namespace platform::window
