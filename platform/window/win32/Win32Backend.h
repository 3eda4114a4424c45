#pragma once
// Real windows on Windows: one layered top-level of class "Ex_DirectUI" per window, driven
// through the wide calls. Native pixels are device pixels; everything the layer sees is in
// window units, the window's DPI / 96 to a unit.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/Backend.h"

namespace platform::window {

class Win32Backend final : public Backend {
 public:
  Win32Backend();
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

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
  void setEnabled(HWND hwnd, bool enabled) override;
  double scale(HWND hwnd) override;
  ShownImage* image(HWND hwnd) override;
  void present(HWND hwnd, const RECT& dirty) override;
  void setCursor(HWND hwnd, int cursorId) override;
  void setCapture(HWND hwnd, bool captured) override;
  bool beginMoveDrag(HWND hwnd) override;
  bool beginResizeDrag(HWND hwnd, int wmszEdge) override;
  bool leftButtonDown() override;
  void setInputCursor(HWND hwnd, const std::optional<RECT>& area) override;
  std::int64_t nowMs() override;
  void sleep(std::int64_t ms) override;
  void wait(std::optional<std::int64_t> deadlineMs) override;
  void poll() override;
  void wake() override;
  SIZE screenSize() override;
  RECT workArea() override;
  int doubleClickTimeMs() override;
  SIZE doubleClickSize() override;
  POINT cursorPos() override;
  void beep(UINT type) override;
  void setClipboardUtf8(const std::string& text) override;
  std::string clipboardUtf8() override;
  std::optional<std::string> openFileDialog(HWND owner, const std::string& titleUtf8,
                                            const std::vector<FileFilter>& filters) override;
  std::optional<UINT> popupMenu(HWND owner, const std::vector<MenuItem>& items,
                                POINT screen) override;
  std::uint64_t findForeignWindow(const std::string& titleUtf8) override;
  bool foreignWindowExists(std::uint64_t id) override;
  bool showForeignWindow(std::uint64_t id, NativeShow how) override;

  struct Native;  // one native window and what belongs to it

  // The native window's handle (an HWND of the system), null for an unknown window.
  void* nativeHandle(HWND hwnd);
  void queue(BackendEvent e);
  // The system runs its own loop while a window is dragged or a menu is open: the layer's
  // timers and queues are served from there.
  void serveModalLoop();

 private:
  Native* find(HWND hwnd);
  double desktopScale();

  BackendSink* sink_ = nullptr;
  std::map<HWND, std::unique_ptr<Native>> windows_;
  void* wakeEvent_ = nullptr;  // an event object any thread may set
  bool servingModal_ = false;
};

}  // namespace platform::window
