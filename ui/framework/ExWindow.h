#pragma once
// The window host: attached to an ordinary top-level window, it takes over the window's
// procedure, composes the background picture, the title, the caption buttons and every
// registered control into off-screen surfaces and pushes the result to the screen as a
// per-pixel-alpha layered image. It routes mouse, keyboard, focus and timer traffic to the
// controls and tells the application through its event callbacks.
//
// UI thread only: every operation asserts it in debug builds. An ExWindow is declared by
// its owner (usually a global) and attached once per window; it detaches itself on
// WM_DESTROY, after which the window runs on its previous procedure again.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Graphics.h"
#include "platform/system/ByteBlock.h"
#include "resources/ExImage.h"
#include "ui/framework/Colours.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/Drawing.h"

namespace ui {

using platform::gfx::RectI;

// Bits of the caption-button set.
enum CaptionBit : int {
  kCaptionIcon = 1,
  kCaptionTitle = 2,
  kCaptionClose = 4,
  kCaptionMaximize = 8,
  kCaptionMinimize = 16,
  kCaptionMenu = 32,
  kCaptionSkin = 64,
  kCaptionFeedback = 128,
  kCaptionSettings = 256,
  kCaptionAddStandard = 1024,  // "and the standard ones for this window's style"
};

enum CloseEffect : int {
  kCloseNone = 0,
  kCloseFade = 1,
  kCloseZoom = 2,
  kCloseWipeRightToLeft = 3,
  kCloseWipeLeftToRight = 4,
  kCloseWipeBottomToTop = 5,
  kCloseWipeTopToBottom = 6,
};

// WM_WINDOWPOSCHANGING as a desktop that sends it passes it: lParam points at the place
// the window is about to take, which the host may change first.
inline constexpr UINT kWmWindowPosChanging = 0x0046;
inline constexpr UINT kSwpStateChanged = 0x8000;
struct WindowPosChange {
  HWND hwnd = nullptr;
  HWND insertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

struct AttachOptions {
  std::optional<ColourRef> backgroundColour;  // default: the picture's pixel at 85 % / 85 %
  std::optional<int> captionButtonSet;        // default: icon, title, close (+ max/min by style)
  int windowAlpha = -1;                       // -1 opaque, else 0..255
  int entryValueA = 0;
  int backgroundMode = 5;  // 1 stretch or nine-grid; other values: picture over a colour
  int applicationValue = 1;
  int fixedSize = 0;
  int dragLocked = 0;
  int flagC = 1;                   // fade the picture's edges into the colour
  std::optional<NineGridMargins> nineGridMargins;  // used in mode 1
  double pictureScale = 1;         // pixels a unit the background picture was drawn at
};

// Event callbacks. Pointer and focus events: (window, control id, control, kind). Keys:
// (window, focused control id, wParam, lParam). Return values are ignored unless noted.
using ControlEventCallback = std::function<LRESULT(HWND, int controlId, ControlObject*, int kind)>;
using KeyEventCallback = std::function<LRESULT(HWND, int controlId, WPARAM, LPARAM)>;
using ResizedCallback = std::function<void(HWND, int width, int height)>;
// Called during a redraw with the window size. onCustomDraw draws on the background (so
// region repaints keep it), onAfterDraw on the composed image over the controls.
using CustomDrawCallback = std::function<void(HWND, platform::gfx::Graphics&, int width, int height)>;
// Sees every message first; any answer but -1 is the message's result.
using MessageHook = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Makes the controls a host draws for itself (caption buttons, the icon panel). The control
// classes live above the framework, so they install the factory (ui/controls).
class DecorationFactory {
 public:
  virtual ~DecorationFactory() = default;
  virtual std::unique_ptr<ControlObject> makeCaptionButton(HWND host, int captionBit, RectF bounds) = 0;
  virtual std::unique_ptr<ControlObject> makeIconPanel(HWND host, RectF bounds) = 0;
};
void setDecorationFactory(std::unique_ptr<DecorationFactory> factory);

class ExWindow {
 public:
  ExWindow();
  ~ExWindow();
  ExWindow(const ExWindow&) = delete;
  ExWindow& operator=(const ExWindow&) = delete;

  // The host of an attached window, nullptr for any other.
  static ExWindow* fromHandle(HWND hwnd);
  static ExWindow* fromIndex(int windowIndex);

  // Attaches to hwnd (an ordinary top-level window). Empty or undecodable picture bytes
  // give the colour background. False when hwnd is not a window or is already attached.
  bool attach(HWND hwnd, const platform::system::ByteBlock& backgroundImage, const AttachOptions& options = {});
  bool attached() const;
  HWND handle() const;
  int windowIndex() const;

  // Recomposes everything and pushes it; with animate, fades it in over six ticks of the
  // framework timer while mouse input is ignored.
  void redraw(const std::optional<platform::system::ByteBlock>& backgroundImage = std::nullopt,
              std::optional<ColourRef> backgroundColour = std::nullopt, bool animate = false);
  // The same with a picture already decoded, which becomes the background as its bytes would.
  void redraw(resources::ExImage&& picture, bool animate);
  void setBackgroundBitmap(const resources::ExImage& image);
  const resources::ExImage& backgroundImage() const;
  ColourRef backgroundColour() const;
  int backgroundMode() const;
  void setBackgroundMode(int mode, std::optional<NineGridMargins> margins = std::nullopt);
  void drawTitle();
  void setCaptionButtons(int captionButtonSet);
  int captionButtonSet() const;
  // The caption bit of the caption button with this control id, 0 when none has it.
  int captionButtonBit(int controlId) const;
  void close();

  void setWindowAlpha(int alpha);
  int windowAlpha() const;
  void setEntryValueA(int value);
  int fixedSize(std::optional<int> value = std::nullopt);
  int dragLocked(std::optional<int> value = std::nullopt);
  void setCloseEffect(int kind);
  // Turns the layered extended style on (non-zero) or off and pushes the current image.
  void layeredStyle(int value);
  int applicationValue(std::optional<int> value = std::nullopt);
  // Corner radius of the background shape (0 when square); push buttons round by it.
  int cornerRadius() const;

  // Interaction state (list indexes, 0 = none).
  int focusedControl() const;
  // Moves the focus to a list index (0 clears it), with the repaints and callbacks of a
  // focus change. The control shows no focus look: that is for focus from the keyboard.
  void setFocusedControl(int controlIndex);
  // The id of the focused control, 0 when none.
  int focusedControlId() const;
  // Moves the focus to the control with this id as Tab would, with its focus look. False,
  // and the focus stays, when the control is not one Tab could reach (hidden, disabled,
  // taking no presses, a caption button or the icon panel).
  bool focusControl(int controlId);
  // True while the focused control should show its focus look: the focus came from the
  // keyboard and the window has not been deactivated since.
  bool focusLookShown() const;
  int hoveredControl() const;
  int pressedControl() const;
  bool captureActive() const;
  // True while a full redraw composes or fades in (mouse input is ignored then).
  bool composing() const;
  // True while the host composes anything (a full redraw or a region repaint): a control
  // asked to paint now draws into the composed surface (already clipped) and pushes nothing.
  bool painting() const;

  // Painting, for the controls. The composed surface is the window image; the background
  // surface holds the skin without controls.
  platform::gfx::Graphics* composedGraphics();
  platform::gfx::Surface* composedSurface();
  const platform::gfx::Surface* backgroundSurface() const;
  // The one way a part of the window is redrawn: restores rect from the background (when
  // asked), clips the composed graphics to rect, sends every visible control that
  // intersects it the repaint request (WM_PAINT, lParam -1) in list order, so stacking stays
  // right, and pushes the rectangle once. A control that wants to show a new look calls
  // this with its bounds. Nothing happens while a full redraw composes.
  void repaintRegion(RectI rect, bool restoreBackground = true);
  // Pushes one rectangle of the composed surface to the screen.
  void presentRect(RectI rect);
  // Between these, pushes to the screen are gathered and go out as one when the last hold
  // ends, so a window that gains many controls at once shows them together instead of
  // piece by piece. Fade-in frames are not held.
  void holdScreenUpdates();
  void releaseScreenUpdates();
  HWND tooltipWindow() const;

  // Event callbacks.
  void setMessageHook(MessageHook hook);
  void onCustomDraw(CustomDrawCallback fn);
  void onAfterDraw(CustomDrawCallback fn);
  void onResized(ResizedCallback fn);
  void onLeave(ControlEventCallback fn);
  void onEnter(ControlEventCallback fn);
  void onLeftDown(ControlEventCallback fn);
  void onLeftUp(ControlEventCallback fn);
  void onClick(ControlEventCallback fn);
  void onDoubleClick(ControlEventCallback fn);
  void onRightDown(ControlEventCallback fn);
  void onRightUp(ControlEventCallback fn);
  void onKeyDown(KeyEventCallback fn);
  void onKeyUp(KeyEventCallback fn);
  void onCharacter(KeyEventCallback fn);
  void onFocusGained(ControlEventCallback fn);
  void onFocusLost(ControlEventCallback fn);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ui
