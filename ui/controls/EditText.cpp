#include "ui/controls/EditText.h"

#include <algorithm>

#include "platform/text/CodePage.h"

namespace ui::controls {

namespace {

bool isTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

}  // namespace

int gbkCharacterLength(std::string_view text, std::size_t offset) {
  if (offset >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[offset]);
  if (platform::text::isAnsiLeadByte(lead) && offset + 1 < text.size() &&
      isTrailByte(static_cast<unsigned char>(text[offset + 1]))) {
    return 2;
  }
  return 1;
}

std::string_view gbkWholePrefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + static_cast<std::size_t>(gbkCharacterLength(text, end));
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

void EditText::recount() {
  starts_.clear();
  wideCount_ = 0;
  std::size_t at = 0;
  while (at < text_.size()) {
    starts_.push_back(static_cast<std::uint32_t>(at));
    const int length = gbkCharacterLength(text_, at);
    if (length == 2) ++wideCount_;
    at += static_cast<std::size_t>(length);
  }
  starts_.push_back(static_cast<std::uint32_t>(text_.size()));
  const int count = characterCount();
  caret_ = std::clamp(caret_, 0, count);
  anchor_ = std::clamp(anchor_, 0, count);
}

int EditText::limit() const { return maxLength_ > 0 ? std::min(maxLength_, kCapacity) : kCapacity; }

void EditText::cutToLimit() {
  const std::size_t max = static_cast<std::size_t>(limit());
  if (text_.size() > max) text_.resize(gbkWholePrefix(text_, max).size());
}

void EditText::setText(std::string_view text) {
  text_.assign(gbkWholePrefix(text, static_cast<std::size_t>(limit())));
  caret_ = anchor_ = 0;
  recount();
}

std::size_t EditText::byteOffset(int index) const {
  if (index <= 0) return 0;
  if (index >= characterCount()) return text_.size();
  return starts_[static_cast<std::size_t>(index)];
}

std::string EditText::between(int a, int b) const {
  const std::size_t from = byteOffset(std::min(a, b));
  const std::size_t to = byteOffset(std::max(a, b));
  return text_.substr(from, to - from);
}

bool EditText::setMaxLength(int bytes) {
  maxLength_ = std::max(bytes, 0);
  const std::size_t before = text_.size();
  cutToLimit();
  if (text_.size() == before) return false;
  recount();
  return true;
}

void EditText::select(int anchor, int caret) {
  const int count = characterCount();
  anchor_ = std::clamp(anchor, 0, count);
  caret_ = std::clamp(caret, 0, count);
}

void EditText::moveCaret(int to, bool extend) {
  caret_ = std::clamp(to, 0, characterCount());
  if (!extend) anchor_ = caret_;
}

bool EditText::removeSelection() {
  if (!hasSelection()) return false;
  const int start = selectionStart();
  const std::size_t from = byteOffset(start);
  text_.erase(from, byteOffset(selectionEnd()) - from);
  caret_ = anchor_ = start;
  recount();
  return true;
}

int EditText::insert(std::string_view s) {
  removeSelection();
  // A lone lead byte at the end would pair with the character after the caret.
  if (!s.empty() && platform::text::isAnsiLeadByte(static_cast<unsigned char>(s.back())) &&
      gbkWholePrefix(s, s.size() - 1).size() == s.size() - 1) {
    s.remove_suffix(1);
  }
  const std::size_t max = static_cast<std::size_t>(limit());
  const std::size_t room = max - std::min(text_.size(), max);
  const std::string_view fits = gbkWholePrefix(s, room);
  if (fits.empty()) return 0;
  const int before = characterCount();
  const int at = caret_;
  text_.insert(byteOffset(caret_), fits);
  recount();
  const int inserted = characterCount() - before;
  caret_ = anchor_ = std::clamp(at + inserted, 0, characterCount());
  return inserted;
}

bool EditText::deleteBackward() {
  if (removeSelection()) return true;
  if (caret_ == 0) return false;
  const std::size_t from = byteOffset(caret_ - 1);
  text_.erase(from, byteOffset(caret_) - from);
  caret_ = anchor_ = caret_ - 1;
  recount();
  return true;
}

bool EditText::deleteForward() {
  if (removeSelection()) return true;
  if (caret_ >= characterCount()) return false;
  const std::size_t from = byteOffset(caret_);
  text_.erase(from, byteOffset(caret_ + 1) - from);
  anchor_ = caret_;
  recount();
  return true;
}

}  // namespace ui::controls
