#pragma once
// Private to the window host: the state behind an ExWindow and the handlers its window
// procedure forwards to, spread over ExWindow*.cpp, Dispatch.cpp, KeyboardDispatch.cpp,
// ResizeBorders.cpp and CloseEffects.cpp. UI thread only.

#include <memory>
#include <string>
#include <vector>

#include "platform/window/SurfacePixels.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"
#include "platform/window/UiThread.h"
#include "ui/framework/WindowTable.h"

namespace ui {

namespace pw = platform::window;

// Messages the window layer may pass on from a desktop that sends them.
inline constexpr UINT kWmNcCalcSize = 0x0083;
inline constexpr UINT kWmNcActivate = 0x0086;

// The pointer within this many pixels of the top, on empty area, maximises on a double click.
inline constexpr int kCaptionBandHeight = 25;
inline constexpr int kCloseButtonWidth = 39;
inline constexpr int kCaptionButtonWidth = 28;
inline constexpr int kCaptionButtonHeight = 19;
inline constexpr int kMinimumTrackHeight = 40;
inline constexpr float kBackgroundCornerDiameter = 14;  // corner radius 7

// Takes a control out of its window's dispatch for good (its record stays, empty).
void forgetControl(ControlObject& control);

struct CaptionButton {
  int bit = 0;
  std::unique_ptr<ControlObject> control;
};

struct ExWindow::State {
  explicit State(ExWindow& owner) : self(owner) {}

  ExWindow& self;
  HWND hwnd = nullptr;
  pw::WNDPROC previousProcedure = nullptr;
  int windowIndex = 0;
  bool animationBusy = false;  // composing or fading in
  bool composingNow = false;   // inside the full compose itself
  int paintDepth = 0;          // > 0 while the host composes anything
  int updatesHeld = 0;         // > 0 while pushes are gathered into heldArea
  RectI heldArea;
  int fadeAlpha = 0;
  // The frame a fade-in shows: the picture on the screen when it began, blended a step
  // further toward the new one on every tick. Empty when no fade runs.
  platform::gfx::Surface fadeImage;
  std::vector<std::uint32_t> opaqueCopy;  // what a plain window's paint copy shows
  ColourRef backgroundColour = 0;
  int backgroundMode = 5;
  HWND tooltipWindow = nullptr;
  int captionButtonSet = 0;
  resources::ExImage backgroundImage;
  int width = 0;
  int height = 0;
  double scale = 1;  // device pixels a unit, what the surfaces are made at
  std::vector<CaptionButton> captionButtons;
  std::unique_ptr<ControlObject> iconPanel;
  // Decorations dropped while a message is handled, freed when the outermost one is done:
  // the close button closes the window from inside its own click.
  std::vector<std::unique_ptr<ControlObject>> retired;
  int handlingDepth = 0;
  pw::HMENU systemMenu = nullptr;
  NineGridMargins nineGridMargins;
  int closeEffect = 0;
  int fixedSize = 0;
  int dragLocked = 0;
  int flagC = 1;
  bool mouseTracking = false;
  LPARAM lastPointer = 0;  // client position of the last pointer message
  pw::SIZE regionSize{};  // of the rounded region installed, 0 x 0 for none
  bool closeEffectRunning = false;
  bool deactivated = false;  // since the last WM_ACTIVATE that made the window inactive
  bool tabBackwards = false;  // Shift was held when Tab went down

  MessageHook hook;
  CustomDrawCallback customDraw;
  CustomDrawCallback afterDraw;
  ResizedCallback resized;
  ControlEventCallback onLeave, onEnter, onLeftDown, onLeftUp, onClick, onDoubleClick, onRightDown,
      onRightUp, onFocusGained, onFocusLost;
  KeyEventCallback onKeyDown, onKeyUp, onCharacter;

  // ExWindow.cpp: life cycle and the procedure.
  static LRESULT procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The hook, then result 0 (answeredHere) or the previous procedure.
  LRESULT goOn(UINT message, WPARAM wParam, LPARAM lParam, bool answeredHere = false);
  bool attach(HWND window, const platform::system::ByteBlock& image, const AttachOptions& options);
  void setUp(const AttachOptions& options);
  void detach();
  WindowEntry* entry() const;
  void refreshWindowRect();
  void onSize(int newWidth, int newHeight);
  void growComposed();  // composed at least the window's size
  void onScaleChanged();
  void onActivate(bool active);
  void onKillFocus();
  void onGetMinMaxInfo(pw::MINMAXINFO* info);
  void onWindowPosChanging(WindowPosChange* change) const;
  void timerTick(UINT_PTR timerId);
  bool maximised() const;
  int margin() const { return maximised() ? 0 : 5; }

  // ExWindowDecorations.cpp: caption buttons and the icon panel.
  void createDecorations();
  void destroyDecorations();
  void placeDecorations();
  int captionButtonCount() const;
  int minimumWidth() const;
  int captionBitOf(int controlId) const;
  void toggleMaximise();

  // ExWindowPaint.cpp: composing and pushing.
  void loadBackground(const platform::system::ByteBlock& bytes);
  void colourFromPicture();
  void redraw(bool animate);
  // Keeps what the screen shows now as the fade's first frame.
  void keepShownImage();
  void drawBackground();
  RectI titleRect() const;
  void drawTitleInto(platform::gfx::Graphics& g);
  void paintControls(RectF rect);
  void repaintRegion(RectI rect, bool restoreBackground);
  void pushRect(RectI rect, int constantAlpha = 255);
  void fadeTick();
  void onPaint();
  void paintOpaque(const platform::gfx::Surface& source, const pw::RECT& rect);

  // Dispatch.cpp: the pointer.
  int mouseDispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void mouseWheel(WPARAM wParam, LPARAM lParam);
  void endHover();
  void captureLost(HWND newOwner);
  void moveFocus(int to, LPARAM gainedOccasion, bool withGainRepaint);
  void fireControlEvent(const ControlEventCallback& fn, int controlIndex);
  void showSystemMenuAt(LPARAM lParam);

  // KeyboardDispatch.cpp.
  void keyDown(WPARAM wParam, LPARAM lParam);
  void keyUp(WPARAM wParam, LPARAM lParam);
  void character(WPARAM wParam, LPARAM lParam);
  void systemKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT registerAccessKey(WPARAM controlId, LPARAM key);
  void clickControl(int controlIndex);
  bool isTabStop(int controlIndex) const;
  // The next Tab stop after from in list order (direction 1) or before it (-1), wrapping;
  // from itself when it is the only one, 0 when there is none.
  int tabStop(int from, int direction) const;
  // Gives the focus to a Tab stop with its focus look.
  void focusByKeyboard(int controlIndex);

  // ResizeBorders.cpp: true when the message fell on a border zone and was taken.
  bool borderHitTest(UINT message, LPARAM lParam);

  // CloseEffects.cpp.
  void playCloseEffect();
};

}  // namespace ui
