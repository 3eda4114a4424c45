#pragma once
// Typed bytes to edits: which bytes each input mode takes, and the join of the two bytes
// of a double-byte character, which the window layer delivers one WM_CHAR at a time.

#include <string>
#include <string_view>

namespace ui::controls {

enum EditMode : int {
  kEditNormal = 0,
  kEditReadOnly = 1,
  kEditPassword = 2,
  kEditDigits = 3,
  kEditDecimal = 4,  // digits and "."
};

struct TypedAction {
  enum Kind { kNothing, kBackspace, kInsert };
  Kind kind = kNothing;
  std::string bytes;  // for kInsert: one whole character
};

// Holds the lead byte of a double-byte character until its trail byte comes. A lead
// followed by anything that cannot be a trail byte (a control key, say) is dropped, so a
// stray byte never pairs with a later one.
class TypingJoin {
 public:
  TypedAction take(unsigned code, int mode);
  void reset() { pending_ = 0; }
  bool pending() const { return pending_ != 0; }

 private:
  unsigned pending_ = 0;
};

// The one slot all edit boxes share, as typing goes to one box at a time.
TypingJoin& sharedTypingJoin();

// What a paste inserts in a mode: the bytes a person could have typed there, whole
// characters only. Control characters (a backspace among them) are dropped, never run.
std::string filterPasted(std::string_view bytes, int mode);

}  // namespace ui::controls
