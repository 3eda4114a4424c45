#pragma once
// A caption button of a window host (close, maximise/restore, minimise, menu, skin,
// feedback, settings): a glyph cell of the framework's caption sprite in its normal, hover
// or pressed look. Its click makes the host close, maximise or restore, or minimise; every
// click also reaches the application's click callback through the host (kind 1).

#include "ui/controls/ExControl.h"

namespace ui::controls {

class ExCaptionButton : public ExControl {
 public:
  enum class Look { Normal, Hover, Pressed };

  // Registers the button for one caption bit (kCaptionClose, kCaptionMaximize, ...).
  int create(HWND host, int captionBit, RectF bounds);
  int captionBit() const { return captionBit_; }
  Look look() const;

  // Where the glyph of a caption bit lies in the sprite for a look (maximise with
  // showRestore picks the restore glyph); an empty rectangle for a bit without a glyph.
  static RectF spriteCell(int captionBit, Look look, bool showRestore);

 protected:
  void onPaint(LPARAM occasion) override;
  void onMouseMove(int x, int y, WPARAM keys) override;
  void onLeftDown(int x, int y, WPARAM keys) override;
  void onLeftUp(int x, int y, WPARAM keys) override;
  void onClickMessage(bool byKey) override;

 private:
  bool contains(int x, int y) const;
  void setState(bool hovered, bool pressed);

  int captionBit_ = 0;
  bool hovered_ = false;
  bool pressed_ = false;
};

}  // namespace ui::controls
