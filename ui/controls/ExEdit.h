#pragma once
// The single-line edit box: GBK text with double-byte characters (caret and selection in
// characters, measured in UTF-16 through the drawing layer), input modes, a maximum
// length, a password character, horizontal scrolling, a blinking caret pushed to the
// screen as one pixel column, mouse and Shift selection and the desktop clipboard.
// The caret is also the system caret of the host window, so an input method opens its
// candidate window beside it. UI thread only.

#include <functional>
#include <optional>
#include <string>

#include "platform/gfx/Font.h"
#include "platform/gfx/PreparedText.h"
#include "ui/controls/EditText.h"
#include "ui/controls/EditTyping.h"
#include "ui/controls/ExControl.h"
#include "ui/controls/TextFormat.h"

namespace ui::controls {

using platform::gfx::Argb;

struct EditOptions {
  bool multiLine = false;  // accepted; the box always lays out one line
  int mode = kEditNormal;
  std::string passwordChar = "*";  // program text
  Argb textColor = 0xE6000000;
  Argb backColor = 0xA0FFFFFF;  // 0: no fill
  // A font of its own is made when any of the three is given; else the default is shared.
  std::optional<std::string> fontFace;  // program text
  std::optional<float> fontSize;        // pixels, 12 when not given
  std::optional<int> fontStyle;
  Argb borderColor = 0x00000001;  // drawn but invisible; 0 draws none
  bool visible = true;
};

class ExEdit : public ExControl {
 public:
  using PaintHook = std::function<void(int windowIndex, int controlId)>;

  ExEdit() = default;
  ~ExEdit() override;

  // Registers with kind 9 and the I-beam cursor; returns the id (a second create keeps it).
  int create(HWND host, const std::string& initialText, RectF bounds, const EditOptions& options = {});

  // Replaces the text when given (selection cleared, caret and scroll at the start) and
  // returns the current one.
  std::string text(std::optional<std::string> newText = std::nullopt);
  void setTextColor(Argb colour);
  int mode(std::optional<int> value = std::nullopt);
  // Bytes, 0 for no limit of its own; a longer text is cut at its last whole character.
  int maxLength(std::optional<int> value = std::nullopt);
  std::string selectedText() const { return model_.selectedText(); }
  // Selects the whole text, as Ctrl+A does, and repaints.
  void selectAll();
  void setPaintHook(PaintHook hook) { paintHook_ = std::move(hook); }

  // --- state a caller or a test may read ---------------------------------------------
  int caret() const { return model_.caret(); }
  int anchor() const { return model_.anchor(); }
  int characterCount() const { return model_.characterCount(); }
  int wideCount() const { return model_.wideCount(); }
  float scroll() const { return scroll_; }
  float caretX() const { return caretX_; }
  RectF textRect() const { return textRect_; }
  // The one-pixel column the caret occupies, in window pixels.
  platform::gfx::RectI caretColumn() const;
  bool caretOnScreen() const { return caretOnScreen_; }
  bool blinking() const { return caretTimerOn_; }
  // Character index under a window x (what a click there selects).
  int indexAt(float x);

 protected:
  void onPaint(LPARAM occasion) override;
  void onMouseMove(int x, int y, WPARAM keys) override;
  void onLeftDown(int x, int y, WPARAM keys) override;
  void onLeftUp(int x, int y, WPARAM keys) override;
  void onDoubleClick(int x, int y, WPARAM keys) override;
  void onChar(WPARAM code, LPARAM flags) override;
  void onTimer(UINT_PTR timerId) override;
  void onDestroy() override;

 private:
  // Drawing and measuring (ExEditPaint.cpp).
  void paint();
  void layout();
  // Recomputes the text area and the layout when the box was moved or resized, or its
  // window changed scale.
  void followBounds();
  // Left and right edges of a character, relative to the start of the text.
  float characterLeft(int index);
  float characterRight(int index);
  RectF measureCharacter(int index);
  RectF selectionRect();
  platform::gfx::Graphics* measuringGraphics();
  float textWidth() const { return textExtent_.width; }
  float scrollLimit() const;

  // The caret (ExEditCaret.cpp).
  void caretBefore(int index);
  void caretAfter(int index);
  void placeCaret();
  void scrollToCaret();
  void showCaret();
  void hideCaret();
  void startBlink();
  void stopBlink();
  // Repaints the box and puts the caret back if it was showing.
  void repaintBox();
  void tellInputMethod();
  void releaseSystemCaret();

  // Editing (ExEditInput.cpp).
  void typed(unsigned code);
  void editingKey(WPARAM key);
  void afterEdit(float oldWidth, bool deleting);
  void removeBack(bool forward);
  void insertText(const std::string& bytes);
  void copyToClipboard();
  void paste();
  void cut();
  bool shiftHeld() const;
  void dragTo(int x);

  EditText model_;
  std::unique_ptr<platform::gfx::Font> ownFont_;
  const platform::gfx::Font* font_ = nullptr;
  Argb backColor_ = 0;
  Argb borderColor_ = 0;
  Argb textColor_ = 0;
  int mode_ = kEditNormal;
  std::string passwordChar_ = "*";
  TextFormat format_;
  float caretX_ = 0;
  float textTop_ = 0;
  float lineHeight_ = 0;
  RectF textRect_;
  RectF textExtent_;
  float scroll_ = 0;
  int blink_ = 0;
  bool dblClickPending_ = false;
  bool active_ = false;
  bool caretTimerOn_ = false;
  bool caretOnScreen_ = false;
  platform::gfx::RectI shownColumn_;  // where the caret was last pushed
  RectF laidOutBounds_;                // the bounds the geometry was computed for
  double laidOutScale_ = 0;            // and the device scale the text was laid out at
  bool ownsSystemCaret_ = false;
  PaintHook paintHook_;

  // Measured character edges for the current text (NaN until measured).
  std::vector<float> lefts_, rights_;
  // UTF-16 unit where each character's display starts, then the display length.
  std::vector<int> unitOf_;
  std::u16string display_;
  platform::gfx::PreparedText line_;  // display_ laid out at the origin
  std::unique_ptr<platform::gfx::Surface> measureSurface_;
  std::unique_ptr<platform::gfx::Graphics> measureGraphics_;
};

}  // namespace ui::controls
