#pragma once
// What image buttons and push buttons share: three looks (normal, hover, pressed) chosen by
// the pointer, and a fade that blends each new look over what the button showed before,
// stepping up by 51 on every tick of the control's timer until the new look is whole.
//
// Occasions: a move over the button shows hover; a press, and the release after it,
// show pressed (it stays until the pointer moves or the window repaints the button); a
// repaint by the window (the pointer left, the focus went, a region or full redraw) shows
// normal. A mouse message equal to the last one handled is ignored, and so is a move while
// the button holds the capture, so a held button keeps its pressed look. An occasion that
// leaves the button looking as it does starts no fade. UI thread only.

#include <optional>

#include "platform/gfx/Surface.h"
#include "ui/controls/ExControl.h"

namespace ui::controls {

class FadingButton : public ExControl {
 public:
  enum class Look { Normal, Hover, Pressed };

  Look look() const { return look_; }
  // Level 1..255 of the running fade, 0 when none runs.
  int fadeLevel() const { return fade_; }

 protected:
  // The fade's start level for each occasion; 0 shows the new look at once.
  virtual int paintFadeStart() const = 0;
  virtual int moveFadeStart() const = 0;
  virtual int pressFadeStart() const = 0;
  // Draws the whole button in a look; the graphics are clipped to the bounds.
  virtual void drawLook(Graphics& g, RectF bounds, Look look) = 0;
  // What else drawLook shows besides the look (a focus ring, say); when it changes, the
  // same look is a new one and fades in too.
  virtual int lookVariant() const { return 0; }

  void onPaint(LPARAM occasion) override;
  void onMouseMove(int x, int y, WPARAM keys) override;
  void onLeftDown(int x, int y, WPARAM keys) override;
  void onLeftUp(int x, int y, WPARAM keys) override;
  // A second press of a double click is a press.
  void onDoubleClick(int x, int y, WPARAM keys) override;
  void onTimer(UINT_PTR timerId) override;
  void onDestroy() override;

  // Shows the button's current look again (its own repaint: no change of state).
  void repaintLook();

 private:
  // A state change: keeps what is shown now, switches the look and starts its fade.
  void changeLook(Look look, int fadeStart, UINT message);
  void stopFade();
  // Inside a paint, after the new look is drawn: mixes the kept picture back in so the new
  // look shows at the fade level, and keeps the mix for the next step.
  void blendOverKept(Graphics& g);

  Look look_ = Look::Normal;
  // What the last paint showed; no variant before the first.
  Look drawnLook_ = Look::Normal;
  int drawnVariant_ = -1;
  UINT lastMessage_ = 0;
  int fade_ = 0;
  bool ownRepaint_ = false;
  // What the button area showed when the fade began (then the last mix), and where.
  platform::gfx::Surface kept_;
  platform::gfx::RectI keptArea_;
};

}  // namespace ui::controls
