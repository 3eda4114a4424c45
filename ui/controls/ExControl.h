#pragma once
// The base of every framework-drawn control: where it lies in its window, how it is
// registered and found, the shared geometry/visibility/redraw operations, its tooltip, the
// paint protocol and one event switch that forwards to small handlers.
//
// A control owns no native window. It draws only when its host asks (WM_PAINT while the
// host is painting); to show a new look on its own it asks the host to repaint its bounds,
// so overlapping controls always stack in list order. Operations on a control that was
// never created do nothing and getters answer 0. UI thread only.

#include <optional>
#include <string>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/Image.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/ControlObject.h"

namespace ui {
class ExWindow;
}

namespace ui::controls {

using platform::gfx::Graphics;
using platform::gfx::RectF;

// What a class passes when it registers its control.
struct Registration {
  int kind = 0;
  bool visible = true;
  bool takesPress = true;  // a left press captures the mouse for the control
  bool enabled = true;
  int reserved = 0;
  std::optional<int> cursor;  // IDC_ARROW when not given
};

class ExControl : public ControlObject {
 public:
  ExControl() = default;
  // Takes the control's tip off the host's tooltip window.
  ~ExControl() override;

  // --- what the host reads -------------------------------------------------------------
  LRESULT onMessage(HWND host, UINT message, WPARAM wParam, LPARAM lParam, int windowIndex,
                    int controlIndex) final;
  int stateFlag() const override { return locked_; }
  int cursorId() const override { return cursor_; }
  void setPlacement(RectF bounds) override { bounds_ = bounds; }

  // --- creation ------------------------------------------------------------------------
  // Registers the control in host's list with the bounds given; returns the id. A control
  // that already has an id keeps it and nothing happens; 0 when host is not attached.
  int registerWith(HWND host, RectF bounds, const Registration& how);

  // --- geometry and state ----------------------------------------------------------------
  RectF bounds() const;
  int locked(std::optional<int> value = std::nullopt);
  int left(std::optional<int> value = std::nullopt);
  int top(std::optional<int> value = std::nullopt);
  int width(std::optional<int> value = std::nullopt);
  int height(std::optional<int> value = std::nullopt);
  // Showing sends kMsgShown then repaints the control; hiding sends kMsgHidden then
  // repaints what lies below.
  int visible(std::optional<int> value = std::nullopt);
  // Changes the given parts of the bounds; with repaint, the old and the new area show it.
  void move(std::optional<float> x, std::optional<float> y, std::optional<float> width = std::nullopt,
            std::optional<float> height = std::nullopt, bool repaint = true);
  int enabled(std::optional<int> value = std::nullopt);
  // Moves the control in its window's list: mode 1 beneath all others, any other mode just
  // beneath the caption buttons.
  void reorder(int mode);
  bool isFocused() const;
  // True while the control holds the focus from the keyboard in an active window: then
  // its focus look is drawn over it (see drawsOwnFocusLook).
  bool showsFocusLook() const;
  // True while a left press on this control holds the pointer for it.
  bool holdsCapture() const;
  bool exists() const { return windowIndex() > 0 && id() > 0; }

  // --- repainting ----------------------------------------------------------------------
  // Repaints the control's area unless redraw is suspended.
  void redraw();
  // Repaints the control's area whatever the redraw flag says; true also when not created.
  bool invalidate();
  int redrawFlag(std::optional<int> value = std::nullopt);
  void suspendRedraw() { redrawEnabled_ = 0; }
  // Does not repaint by itself.
  void resumeRedraw() { redrawEnabled_ = 1; }

  // --- tooltip and free values -----------------------------------------------------------
  const std::string& tip(std::optional<std::string> text = std::nullopt, bool showNow = false);
  // Registers the tip for the control's rectangle with the host's tooltip window (or
  // removes it when the text is empty); a tip already showing goes first.
  void showTip();
  int cursor(std::optional<int> value = std::nullopt);
  const std::string& tag(std::optional<std::string> text = std::nullopt);
  int extra(std::optional<int> value = std::nullopt);

  // The host window and its handle; nullptr when not created or the window is gone.
  ExWindow* host() const;
  HWND hostHandle() const;
  // The control's current place in its window's list, 0 when not created.
  int controlIndex() const;

 protected:
  // --- paint protocol --------------------------------------------------------------------
  // Inside a host paint: clips the composed graphics to the control's bounds (within the
  // host's clip) and returns them. Outside one: asks the host to repaint the bounds, which
  // comes back as WM_PAINT, and returns nullptr.
  Graphics* beginPaint();
  // Gives the host its clip back; the host pushes the pixels.
  void endPaint();
  // endPaint, and with fade (re)starts the control's timer for the next fade step.
  void animatedPaint(bool fade, std::optional<int> intervalMs = std::nullopt);
  static void drawStretched(Graphics& g, const platform::gfx::Image& image, RectF rect);
  bool startTimer(std::optional<int> intervalMs = std::nullopt);
  void stopTimer();

  // --- handlers (the event switch calls them; coordinates are client coordinates) -------
  // WM_PAINT: occasion is the lParam (kPaintPlain, kPaintPointerLeft, kPaintFocusLost, ...).
  // The host's own requests arrive while it paints; the others are occasions to change
  // state and then repaint (beginPaint does that).
  virtual void onPaint(LPARAM /*occasion*/) {}
  virtual void onMouseMove(int /*x*/, int /*y*/, WPARAM /*keys*/) {}
  virtual void onLeftDown(int /*x*/, int /*y*/, WPARAM /*keys*/) {}
  virtual void onLeftUp(int /*x*/, int /*y*/, WPARAM /*keys*/) {}
  virtual void onDoubleClick(int /*x*/, int /*y*/, WPARAM /*keys*/) {}
  virtual void onRightDown(int /*x*/, int /*y*/, WPARAM /*keys*/) {}
  virtual void onRightUp(int /*x*/, int /*y*/, WPARAM /*keys*/) {}
  virtual void onWheel(int /*delta*/, int /*x*/, int /*y*/) {}
  // Characters, and editing keys marked with kEditKeyMarker in lParam.
  virtual void onChar(WPARAM /*code*/, LPARAM /*flags*/) {}
  // Keys reach the focused control.
  virtual void onKeyDown(WPARAM /*virtualKey*/, LPARAM /*flags*/) {}
  virtual void onKeyUp(WPARAM /*virtualKey*/, LPARAM /*flags*/) {}
  virtual void onTimer(UINT_PTR /*timerId*/) {}
  // byKey: Space, Enter or an access key made the click, not the pointer.
  virtual void onClickMessage(bool /*byKey*/) {}
  virtual void onHidden() {}
  virtual void onShown() {}
  virtual void onCtrlTab() {}
  virtual void onDestroy() {}
  // A class that draws its own focus look answers true; the others get the shared one
  // drawn over them after onPaint, and repainted when it comes or goes.
  virtual bool drawsOwnFocusLook() const { return false; }
  // Anything the switch does not know.
  virtual LRESULT onOtherMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }

 private:
  ControlRecord* record() const;
  void repaintArea(RectF area);
  // After onPaint: draws the focus look inside a host paint, or asks for a repaint when
  // what the screen shows of it is out of date.
  void followFocusLook();
  // Sends one tool message about this control's tip; false when there is no tooltip window.
  bool sendTipMessage(UINT message);

  int locked_ = 0;
  std::string tipText_;
  int cursor_ = platform::window::IDC_ARROW;
  std::string tag_;
  RectF bounds_;
  int extra_ = 0;
  int redrawEnabled_ = 0;
  bool tipRegistered_ = false;
  // Set while beginPaint waits for the host's repaint to come back, so a host that cannot
  // paint does not send the control round in circles.
  bool requestingRepaint_ = false;
  bool painting_ = false;
  bool focusLookDrawn_ = false;
  RectF hostClip_;
};

}  // namespace ui::controls
