#include "ui/controls/TextFormat.h"

namespace ui {

TextFormat::TextFormat(const TextFormat& other)
    : format_(other.format_ ? std::make_unique<platform::gfx::StringFormat>(*other.format_) : nullptr) {}

TextFormat& TextFormat::operator=(const TextFormat& other) {
  if (this != &other) {
    format_ = other.format_ ? std::make_unique<platform::gfx::StringFormat>(*other.format_) : nullptr;
  }
  return *this;
}

void TextFormat::createGenericTypographic() {
  format_ = std::make_unique<platform::gfx::StringFormat>(platform::gfx::StringFormat::genericTypographic());
}

void TextFormat::setAlign(int alignment) {
  if (format_ && alignment >= platform::gfx::kAlignNear && alignment <= platform::gfx::kAlignFar) {
    format_->alignment = alignment;
  }
}

void TextFormat::setTrimming(int trimming) {
  if (format_ && trimming >= platform::gfx::kTrimmingNone && trimming <= platform::gfx::kTrimmingEllipsisPath) {
    format_->trimming = trimming;
  }
}

void TextFormat::setHotkeyPrefix(int prefix) {
  if (format_ && prefix >= platform::gfx::kHotkeyNone && prefix <= platform::gfx::kHotkeyHide) {
    format_->hotkeyPrefix = prefix;
  }
}

void TextFormat::setFlags(int flags) {
  if (format_) format_->flags = flags;
}

int TextFormat::align() const { return format_ ? format_->alignment : platform::gfx::kAlignNear; }

}  // namespace ui
