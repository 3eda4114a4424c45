#pragma once
// How the message box looks and where its parts go: button sets and captions, the icon
// cells, the size the text asks for and the panel drawn under the controls. Pure
// functions, so the rules can be checked without a window.

#include <array>
#include <functional>
#include <string>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/Image.h"

namespace ui {

using platform::gfx::PointF;
using platform::gfx::RectF;
using platform::gfx::RectI;

// Results of the box: the code of the pressed button, or kBoxCodeCancel when closed without one.
enum MessageBoxCode : int {
  kBoxCodeOk = 0,
  kBoxCodeCancel = 1,
  kBoxCodeAbort = 2,
  kBoxCodeRetry = 3,
  kBoxCodeIgnore = 4,
  kBoxCodeYes = 5,
  kBoxCodeNo = 6,
};

// Button sets.
enum MessageBoxButtons : int {
  kBoxOk = 0,
  kBoxCancelOk = 1,
  kBoxAbortRetryIgnore = 2,
  kBoxCancelNoYes = 3,
  kBoxNoYes = 4,
  kBoxCancelRetry = 5,
};

// Icon kinds (the beep types); kBoxIconSuccess has no beep type of its own.
enum MessageBoxIcon : int {
  kBoxIconNone = 0,
  kBoxIconError = 0x10,
  kBoxIconQuestion = 0x20,
  kBoxIconWarning = 0x30,
  kBoxIconInformation = 0x40,
  kBoxIconSuccess = 0x80,
};

inline constexpr int kBoxWidth = 320;
inline constexpr int kBoxHeight = 150;
inline constexpr int kBoxButtonWidth = 70;
inline constexpr int kBoxButtonHeight = 24;
inline constexpr int kBoxIconSize = 40;
inline constexpr platform::gfx::Argb kBoxTextColour = 0xD2000000u;

// Codes of the buttons at positions 1 (rightmost), 2 and 3; -1 where the set has none. An
// unknown set shows the single "OK" of set 0.
std::array<int, 3> boxButtonCodes(int buttons);
// The caption of a button code as a program text; empty for an unknown code.
const std::string& boxButtonCaption(int code);

// Left edge of the icon's cell in the 200 x 40 strip; -1 for no icon. Unknown non-zero
// kinds show the error cross.
int boxIconCellX(int icon);

// Where a button sits when the box creates it, and where a resize moves it (position 1..3,
// window size w x h).
RectF boxButtonAtCreation(int position, int w, int h);
PointF boxButtonAfterResize(int position, int w, int h);

struct BoxLayout {
  int width = kBoxWidth;
  int height = kBoxHeight;
  RectF text;  // where the label goes
};

// Measures a text laid out in a rectangle (width 0: on one line per line break).
using TextMeasure = std::function<RectF(RectF layout)>;

// The box's size and text rectangle for a text: a text wider than its room widens the box,
// a taller one heightens it, never beyond the work area; a single line sits 4 px lower.
BoxLayout layoutMessageBox(const TextMeasure& measure, bool withIcon, RectI workArea);

// The box's screen rectangle: centred on the screen, pulled into the work area when it
// would leave it.
RectI placeMessageBox(int width, int height, int screenWidth, int screenHeight, RectI workArea);

// The panel under the controls: header, body and footer bands, the separator and, for a
// non-zero icon kind, the icon cell from the strip (nullptr draws none).
void drawMessageBoxPanel(platform::gfx::Graphics& g, int w, int h, int icon, const platform::gfx::Image* strip);

}  // namespace ui
