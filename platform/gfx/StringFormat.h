#pragma once
// Layout rules for drawing and measuring a string, with the enumeration values of the
// string-format calls.

namespace platform::gfx {

enum StringAlignment : int { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };

enum StringFormatFlags : int {
  kFlagDirectionRightToLeft = 0x0001,
  kFlagDirectionVertical = 0x0002,
  kFlagNoFitBlackBox = 0x0004,
  kFlagDisplayFormatControl = 0x0020,
  kFlagNoFontFallback = 0x0400,
  kFlagMeasureTrailingSpaces = 0x0800,
  kFlagNoWrap = 0x1000,
  kFlagLineLimit = 0x2000,
  kFlagNoClip = 0x4000,
};

enum StringTrimming : int {
  kTrimmingNone = 0,
  kTrimmingCharacter = 1,
  kTrimmingWord = 2,
  kTrimmingEllipsisCharacter = 3,
  kTrimmingEllipsisWord = 4,
  kTrimmingEllipsisPath = 5,
};

// "&" captions: None shows the ampersand, Show underlines the next character, Hide drops
// the ampersand; "&&" is one ampersand in both of the latter.
enum HotkeyPrefix : int { kHotkeyNone = 0, kHotkeyShow = 1, kHotkeyHide = 2 };

class StringFormat {
 public:
  // The default format: a sixth of the em of padding on each side, character trimming.
  StringFormat() = default;
  // No padding, no trimming, flags NoFitBlackBox | LineLimit | NoClip.
  static const StringFormat& genericTypographic();
  static StringFormat makeGenericTypographic() { return genericTypographic(); }

  int alignment = kAlignNear;
  int lineAlignment = kAlignNear;
  int flags = 0;
  int trimming = kTrimmingCharacter;
  int hotkeyPrefix = kHotkeyNone;
  // Typographic formats measure the glyphs alone, without the side padding.
  bool typographic = false;
};

}  // namespace platform::gfx
