#pragma once
// The content of an edit box without any drawing: GBK bytes with one- and two-byte
// characters, a caret and a selection anchor counted in characters, and the editing steps
// that keep characters whole. A two-byte character is a lead byte (0x81..0xFE) followed by
// a trail byte (0x40..0xFE except 0x7F); any other byte, a lone lead byte included, is a
// character of its own, so no byte sequence can make the caret land inside a character.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui::controls {

class EditText {
 public:
  // The most bytes a box holds whatever maxLength says: beyond it the text cannot be
  // measured in one line, and a pasted megabyte would stall the box.
  static constexpr int kCapacity = 32767;

  EditText() { recount(); }

  // Replaces the text (cut to the limit at a whole character); caret and anchor go to 0.
  void setText(std::string_view text);
  const std::string& text() const { return text_; }
  int characterCount() const { return static_cast<int>(starts_.size()) - 1; }
  // Two-byte characters in the text.
  int wideCount() const { return wideCount_; }
  // Byte offset of a character index; the text's size for the count and beyond.
  std::size_t byteOffset(int index) const;
  // The bytes between two character indexes, in either order.
  std::string between(int a, int b) const;

  // 0 means no limit of its own (kCapacity still holds). Cuts the text if it is longer;
  // returns whether it cut.
  bool setMaxLength(int bytes);
  int maxLength() const { return maxLength_; }
  int limit() const;

  int caret() const { return caret_; }
  int anchor() const { return anchor_; }
  bool hasSelection() const { return caret_ != anchor_; }
  int selectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
  int selectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
  std::string selectedText() const { return between(anchor_, caret_); }
  // Both are clamped to 0..characterCount.
  void select(int anchor, int caret);
  void selectAll() { select(0, characterCount()); }
  // Moves the caret; without extend the anchor follows it.
  void moveCaret(int to, bool extend);

  // Replaces the selection with s at the caret and leaves the caret after it. Only the
  // whole characters that fit under the limit go in. Returns the characters inserted.
  int insert(std::string_view s);
  // The selection, else the character before (backward) or after the caret. Returns
  // whether anything was removed.
  bool deleteBackward();
  bool deleteForward();

 private:
  void recount();
  void cutToLimit();
  bool removeSelection();

  std::string text_;
  std::vector<std::uint32_t> starts_;  // byte offset of each character, then the size
  int wideCount_ = 0;
  int maxLength_ = 0;
  int caret_ = 0;
  int anchor_ = 0;
};

// Byte length of the character that starts at offset (1 or 2; 0 at the end).
int gbkCharacterLength(std::string_view text, std::size_t offset);
// The longest prefix of text, at most maxBytes long, that ends on a whole character.
std::string_view gbkWholePrefix(std::string_view text, std::size_t maxBytes);

}  // namespace ui::controls
