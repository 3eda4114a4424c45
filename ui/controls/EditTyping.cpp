#include "ui/controls/EditTyping.h"

#include "platform/text/CodePage.h"

namespace ui::controls {

namespace {

constexpr unsigned kBackspace = 8;

bool takesDoubleByte(int mode) { return mode == kEditNormal || mode == kEditPassword; }

bool takesSingleByte(unsigned code, int mode) {
  if (code < 31 || code > 126) return false;
  if (mode == kEditDigits) return code >= '0' && code <= '9';
  if (mode == kEditDecimal) return (code >= '0' && code <= '9') || code == '.';
  return true;
}

bool isTrail(unsigned code) { return code >= 0x40 && code <= 0xFE && code != 0x7F; }

}  // namespace

TypedAction TypingJoin::take(unsigned code, int mode) {
  TypedAction action;
  if (mode == kEditReadOnly) {
    pending_ = 0;
    return action;
  }
  if (pending_ != 0) {
    const unsigned lead = pending_;
    pending_ = 0;
    if (isTrail(code) && takesDoubleByte(mode)) {
      action.kind = TypedAction::kInsert;
      action.bytes = {static_cast<char>(lead), static_cast<char>(code)};
      return action;
    }
  }
  if (code == kBackspace) {
    action.kind = TypedAction::kBackspace;
  } else if (code > 127) {
    if (takesDoubleByte(mode) && platform::text::isAnsiLeadByte(static_cast<unsigned char>(code))) pending_ = code;
  } else if (takesSingleByte(code, mode)) {
    action.kind = TypedAction::kInsert;
    action.bytes = std::string(1, static_cast<char>(code));
  }
  return action;
}

TypingJoin& sharedTypingJoin() {
  static TypingJoin join;
  return join;
}

std::string filterPasted(std::string_view bytes, int mode) {
  std::string kept;
  TypingJoin join;
  for (char c : bytes) {
    const TypedAction action = join.take(static_cast<unsigned char>(c), mode);
    if (action.kind == TypedAction::kInsert) kept += action.bytes;
  }
  return kept;
}

}  // namespace ui::controls
