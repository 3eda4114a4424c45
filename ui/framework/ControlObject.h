#pragma once
// What the window host needs of a control: its message handler and the few members the
// dispatch reads. Every control class derives from this through ExControl (ui/controls);
// the framework itself knows no control class. UI thread only.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/WindowTypes.h"

namespace ui {

using platform::window::HWND;
using platform::window::LPARAM;
using platform::window::LRESULT;
using platform::window::UINT;
using platform::window::UINT_PTR;
using platform::window::WPARAM;

// Control kinds, as the application and the dispatch tell them apart.
enum ControlKind : int {
  kKindCaptionButton = 1,
  kKindPushButton = 2,
  kKindLabel = 3,
  kKindPicture = 4,
  kKindImageButton = 6,
  kKindList = 8,
  kKindEdit = 9,
  kKindSlider = 12,
  kKindScrollBar = 13,
};

// Framework messages between the host and its controls (besides ordinary window messages).
inline constexpr UINT kMsgClick = 0x6C8F4;        // press and release on the same control, or Space/Enter
inline constexpr WPARAM kClickByKey = 1;          // wParam of a click made by Space, Enter or an access key
inline constexpr UINT kMsgHidden = 0x6C8F6;
inline constexpr UINT kMsgShown = 0x6C8F7;
inline constexpr UINT kMsgCtrlTab = 0x6C8F8;
inline constexpr UINT_PTR kAnimationTimerId = 0x6C8F4;  // the host's own fade-in timer
inline constexpr LPARAM kEditKeyMarker = 10086;  // WM_CHAR lParam of editing keys; wParam of double clicks
// wParam control id, lParam the key's character; an attached window answers 1.
inline constexpr UINT kMsgAccessKey = 0x2800;
// An attached window answers a pointer to its background resources::ExImage (0 when it has
// no picture); valid until its next redraw with a picture or its detach.
inline constexpr UINT kMsgBackgroundImage = 0x2801;
inline constexpr UINT kMsgBackgroundColour = 0x2802;  // answers the colour reference

// Occasions of a repaint request (WM_PAINT, wParam 0, lParam = occasion).
inline constexpr LPARAM kPaintPlain = -1;        // region repaint, focus gained, window activated
inline constexpr LPARAM kPaintBorder = 0;        // the pointer moved onto a resize border
inline constexpr LPARAM kPaintPointerLeft = 1;
inline constexpr LPARAM kPaintFocusLost = 2;     // also: the window was deactivated

class ControlObject {
 public:
  ControlObject() = default;
  ControlObject(const ControlObject&) = delete;
  ControlObject& operator=(const ControlObject&) = delete;
  // Forgets the control in its window's list, so nothing reaches a destroyed control.
  virtual ~ControlObject();

  // Everything routed to the control: mouse, keys, timers, repaint requests and the
  // framework messages above. controlIndex is the control's current place in its window's
  // list (it equals the id until the list is reordered). The answer is returned by
  // sendToControl; most controls answer 0.
  virtual LRESULT onMessage(HWND host, UINT message, WPARAM wParam, LPARAM lParam, int windowIndex,
                            int controlIndex) = 0;

  // Non-zero: the control takes no presses and keeps no focus when its window loses it.
  virtual int stateFlag() const = 0;
  // System cursor shown over the control (IDC_ARROW unless the class says otherwise).
  virtual int cursorId() const = 0;
  // The host moved this control's record (its own decorations, on a resize); the control
  // takes the new bounds. Nothing is repainted here: the host recomposes afterwards.
  virtual void setPlacement(platform::gfx::RectF bounds) { (void)bounds; }

  // Set by registerControl; 0 before.
  int windowIndex() const { return windowIndex_; }
  int id() const { return id_; }
  // Called by registerControl only.
  void assignIdentity(int windowIndex, int id) {
    windowIndex_ = windowIndex;
    id_ = id;
  }

  // Extra listeners for one message, called after the control's own handler with
  // (windowIndex, controlIndex, wParam, lParam).
  using Subscriber = std::function<void(int windowIndex, int controlIndex, WPARAM, LPARAM)>;
  void subscribe(UINT message, Subscriber fn) { subscriptions_.push_back({message, std::move(fn)}); }
  struct Subscription {
    UINT message;
    Subscriber fn;
  };
  const std::vector<Subscription>& subscriptions() const { return subscriptions_; }

 private:
  int windowIndex_ = 0;
  int id_ = 0;
  std::vector<Subscription> subscriptions_;
};

}  // namespace ui
