#pragma once
// A scroll bar drawn by the framework: two arrow buttons and a thumb on a track, in the
// host's theme colour. Lists make their own bars on demand and listen to onScroll; the
// position is in the owner's units (a list scrolls by pixels).
//
// Steps: an arrow press moves by lineStep and repeats every 80 ms while held; a press on
// the track and a wheel notch move by pageStep; dragging the thumb maps the pointer along
// the track; with the focus, the arrow keys step by lineStep too. The position always
// stays within [minimum, maximum]. UI thread only.

#include <functional>
#include <optional>

#include "ui/controls/ExControl.h"

namespace ui::controls {

class ExScrollBar : public ExControl {
 public:
  // Parts of the bar, as partAt answers.
  enum Part : int { kNone = 0, kFirstArrow = 1, kSecondArrow = 2, kThumb = 3, kTrackBefore = 4, kTrackAfter = 5 };

  int create(HWND host, RectF bounds, bool vertical, int value1 = 0, int value2 = 0, bool visible = true);

  // Setting the position clamps it and redraws; it does not call onScroll.
  int position(std::optional<int> value = std::nullopt);
  // The range, steps and page setters only store; updateRange applies them.
  int minimum(std::optional<int> value = std::nullopt);
  int maximum(std::optional<int> value = std::nullopt);
  int lineStep(std::optional<int> value = std::nullopt);
  int pageStep(std::optional<int> value = std::nullopt);
  // How much of the content one view shows, in position units; sizes the thumb.
  int thumbSize(std::optional<int> value = std::nullopt);
  int vertical(std::optional<int> value = std::nullopt);

  // Clamps the position (calling onScroll when that moved it), shows the bar when
  // maximum > minimum and mayShow, hides it otherwise, and redraws when its look changed.
  void updateRange(bool mayShow = true);
  // Whether the current range needs the bar.
  bool rangeNeeded() const { return maximum_ > minimum_; }
  void setOnScroll(std::function<void(int position)> fn) { onScroll_ = std::move(fn); }

  // Geometry, in client coordinates.
  RectF partRect(Part part) const;
  Part partAt(int x, int y) const;
  int pressedPart() const { return pressedPart_; }
  int hoveredPart() const { return hoveredPart_; }
  int fade() const { return fade_; }
  // The two values given at creation, kept for the owner.
  int value1() const { return value1_; }
  int value2() const { return value2_; }

 protected:
  void onPaint(LPARAM occasion) override;
  void onMouseMove(int x, int y, WPARAM keys) override;
  void onLeftDown(int x, int y, WPARAM keys) override;
  void onDoubleClick(int x, int y, WPARAM keys) override { onLeftDown(x, y, keys); }
  void onLeftUp(int x, int y, WPARAM keys) override;
  void onWheel(int delta, int x, int y) override;
  // Page Up and Page Down move a view less a line, Home and End go to the ends.
  void onKeyDown(WPARAM key, LPARAM flags) override;
  void onTimer(UINT_PTR timerId) override;
  void onHidden() override;

 private:
  // Track length and thumb length along the bar, in pixels.
  float arrowLength() const;
  float trackLength() const;
  float thumbLength() const;
  float thumbOffset() const;
  float along(int x, int y) const;
  // Moves the position by delta within the range; true when it moved. Repaints and
  // notifies when it did.
  bool stepBy(int delta);
  void clampPosition();
  void notify();
  // A new hover or press look fades in from level.
  void startFade(int level);

  int position_ = 1;
  int vertical_ = 0;
  int minimum_ = 1;
  int maximum_ = 100;
  int lineStep_ = 1;
  int pageStep_ = 1;
  int thumbSize_ = 1;
  int fade_ = 0;
  int value1_ = 0;
  int value2_ = 0;
  float thumbMin_ = 30;
  float dragOrigin_ = -1;  // pointer offset into the thumb while dragging
  int pressedPart_ = kNone;
  int hoveredPart_ = kNone;
  RectF paintedThumb_;  // where the last paint put the thumb
  std::function<void(int)> onScroll_;
};

}  // namespace ui::controls
