#pragma once
// Real windows: GTK 3 top-levels on X11, undecorated, with an RGBA visual. Each window
// takes its input on one drawing area that fills it and shows the pixels last presented.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/window/Backend.h"

namespace platform::window {

class GtkBackend final : public Backend {
 public:
  // Opens the X display (GDK_BACKEND is forced to x11); false when there is none.
  static bool open();

  GtkBackend();
  ~GtkBackend() override;
  GtkBackend(const GtkBackend&) = delete;
  GtkBackend& operator=(const GtkBackend&) = delete;

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

  struct Native;  // one GTK window and what belongs to it

 private:
  friend struct GtkSignals;
  Native* find(HWND hwnd);
  void queue(BackendEvent e);
  void watchSizeMove(HWND hwnd);
  bool checkSizeMoves();
  static int sizeMoveTick(void* backend);  // a GSourceFunc
  std::set<unsigned long> ownXids() const;

  BackendSink* sink_ = nullptr;
  std::map<HWND, std::unique_ptr<Native>> windows_;
  std::set<HWND> sizeMoves_;
  unsigned sizeMoveSource_ = 0;
  std::uint32_t lastEventTime_ = 0;
  // The last press or release, for popups that want the event that opened them.
  void* lastButtonEvent_ = nullptr;
  double lastRootX_ = 0;
  double lastRootY_ = 0;
};

}  // namespace platform::window
