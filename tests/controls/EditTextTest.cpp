// The edit box's text model and typing rules on their own: whole characters under every
// edit, limits, the double-byte join and what each mode lets through.

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "ui/controls/EditText.h"
#include "ui/controls/EditTyping.h"

using platform::text::utf8ToAnsi;
using ui::controls::EditText;
using ui::controls::filterPasted;
using ui::controls::TypedAction;
using ui::controls::TypingJoin;

namespace {

const std::string kHan = utf8ToAnsi("汉");

TEST(EditText, MixedWidthTextKeepsCharactersWholeUnderEveryEdit) {
  EditText t;
  t.insert("a");
  t.insert(kHan);
  t.insert("b");
  EXPECT_EQ(t.text(), "a" + kHan + "b");
  EXPECT_EQ(t.text().size(), 4u);
  EXPECT_EQ(t.characterCount(), 3);
  EXPECT_EQ(t.wideCount(), 1);
  EXPECT_EQ(t.caret(), 3);

  t.moveCaret(2, false);  // after the double-byte character
  EXPECT_TRUE(t.deleteBackward());
  EXPECT_EQ(t.text(), "ab");
  EXPECT_EQ(t.caret(), 1);

  // Delete takes the character after the caret, Backspace the one before.
  t.setText("a" + kHan + "b");
  t.moveCaret(1, false);
  EXPECT_TRUE(t.deleteForward());
  EXPECT_EQ(t.text(), "ab");
  EXPECT_EQ(t.caret(), 1);
  t.moveCaret(2, false);
  EXPECT_FALSE(t.deleteForward());
  t.moveCaret(0, false);
  EXPECT_FALSE(t.deleteBackward());
  EXPECT_EQ(t.text(), "ab");

  // With a selection both keys remove exactly the selection, in either direction.
  t.setText("x" + kHan + kHan + "y");
  t.select(3, 1);
  EXPECT_EQ(t.selectedText(), kHan + kHan);
  EXPECT_TRUE(t.deleteForward());
  EXPECT_EQ(t.text(), "xy");
  EXPECT_EQ(t.caret(), 1);
  EXPECT_EQ(t.anchor(), 1);

  // Typing over a selection replaces it.
  t.setText("hello");
  t.select(1, 4);
  EXPECT_EQ(t.insert(kHan), 1);
  EXPECT_EQ(t.text(), "h" + kHan + "o");
  EXPECT_EQ(t.caret(), 2);
}

TEST(EditText, LimitsCutAtTheLastWholeCharacterAndNeverDropTheTail) {
  EditText t;
  t.setMaxLength(1);
  EXPECT_EQ(t.insert(kHan), 0);  // half a character is never stored
  EXPECT_EQ(t.text(), "");
  t.setText(kHan);
  EXPECT_EQ(t.text(), "");

  t.setMaxLength(0);
  t.setText("a" + kHan + "b");
  EXPECT_TRUE(t.setMaxLength(2));
  EXPECT_EQ(t.text(), "a");
  EXPECT_EQ(t.characterCount(), 1);

  // Typing into the middle of a full box changes nothing rather than pushing the end out.
  t.setMaxLength(4);
  t.setText("abcd");
  t.moveCaret(2, false);
  EXPECT_EQ(t.insert("X"), 0);
  EXPECT_EQ(t.text(), "abcd");
  // A paste takes the whole characters that fit.
  t.setText("ab");
  t.moveCaret(1, false);
  EXPECT_EQ(t.insert("1" + kHan + "2"), 1);
  EXPECT_EQ(t.text(), "a1b");

  // Without a limit of its own the box still holds at most kCapacity bytes.
  EditText big;
  std::string huge;
  for (int i = 0; i < 400000; ++i) huge += kHan + "a";
  big.setText(huge);
  EXPECT_LE(big.text().size(), static_cast<std::size_t>(EditText::kCapacity));
  EXPECT_GE(big.text().size(), static_cast<std::size_t>(EditText::kCapacity) - 2);
  EXPECT_EQ(big.text(), huge.substr(0, big.text().size()));
  EXPECT_EQ(big.insert(kHan + kHan), 0);
}

TEST(EditText, OddBytesAreCharactersOfTheirOwn) {
  EditText t;
  // A lone lead byte at the end, and a lead byte before a byte that cannot be a trail.
  t.setText("ab\x81");
  EXPECT_EQ(t.characterCount(), 3);
  EXPECT_EQ(t.wideCount(), 0);
  t.setText("\x81 z");
  EXPECT_EQ(t.characterCount(), 3);
  t.moveCaret(1, false);
  EXPECT_TRUE(t.deleteBackward());
  EXPECT_EQ(t.text(), " z");
  // A trail byte below 0x80 still belongs to its lead.
  t.setText("\x81\x40!");
  EXPECT_EQ(t.characterCount(), 2);
  EXPECT_EQ(t.between(0, 1), "\x81\x40");
  // An insert never leaves a lead byte to pair with the character after the caret.
  t.setText("A");
  t.moveCaret(0, false);
  EXPECT_EQ(t.insert("\x81"), 0);
  EXPECT_EQ(t.text(), "A");
  EXPECT_EQ(t.byteOffset(-5), 0u);
  EXPECT_EQ(t.byteOffset(99), 1u);
}

TEST(EditTyping, TheTwoBytesOfACharacterJoinAndAStrayLeadIsDropped) {
  TypingJoin join;
  const auto lead = static_cast<unsigned char>(kHan[0]);
  const auto trail = static_cast<unsigned char>(kHan[1]);
  EXPECT_EQ(join.take(lead, 0).kind, TypedAction::kNothing);
  const TypedAction joined = join.take(trail, 0);
  EXPECT_EQ(joined.kind, TypedAction::kInsert);
  EXPECT_EQ(joined.bytes, kHan);

  // A lead followed by a control key: the key acts, the lead is gone for good.
  join.take(lead, 0);
  EXPECT_EQ(join.take(8, 0).kind, TypedAction::kBackspace);
  EXPECT_FALSE(join.pending());
  EXPECT_EQ(join.take('q', 0).bytes, "q");
  join.take(lead, 0);
  EXPECT_EQ(join.take(13, 0).kind, TypedAction::kNothing);
  EXPECT_EQ(join.take('@', 0).bytes, "@");

  // Modes: digits only, digits and point, read-only takes nothing, password takes all.
  EXPECT_EQ(join.take('7', 3).bytes, "7");
  EXPECT_EQ(join.take('.', 3).kind, TypedAction::kNothing);
  EXPECT_EQ(join.take('.', 4).bytes, ".");
  EXPECT_EQ(join.take('x', 4).kind, TypedAction::kNothing);
  EXPECT_EQ(join.take('x', 1).kind, TypedAction::kNothing);
  EXPECT_EQ(join.take(8, 1).kind, TypedAction::kNothing);
  join.take(lead, 3);
  EXPECT_FALSE(join.pending());
  join.take(lead, 2);
  EXPECT_EQ(join.take(trail, 2).bytes, kHan);
  EXPECT_EQ(join.take(127, 0).kind, TypedAction::kNothing);
}

TEST(EditTyping, PastedTextIsFilteredLikeTypingWithoutRunningControlCharacters) {
  const std::string mixed = "a1" + kHan + "2\b3.\r\n4";
  EXPECT_EQ(filterPasted(mixed, 3), "1234");
  EXPECT_EQ(filterPasted(mixed, 4), "123.4");
  EXPECT_EQ(filterPasted(mixed, 0), "a1" + kHan + "23.4");
  EXPECT_EQ(filterPasted(mixed, 1), "");
  // A lead byte cut off at the end of the clipboard is dropped.
  EXPECT_EQ(filterPasted("ok" + kHan.substr(0, 1), 0), "ok");
}

}  // namespace
