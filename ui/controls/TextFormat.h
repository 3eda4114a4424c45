#pragma once
// The owner of one string format, used by the controls that draw and measure text.

#include <memory>

#include "platform/gfx/StringFormat.h"

namespace ui {

class TextFormat {
 public:
  TextFormat() = default;
  TextFormat(const TextFormat& other);
  TextFormat& operator=(const TextFormat& other);

  void destroy() { format_.reset(); }
  // Replaces the format with a fresh generic-typographic one.
  void createGenericTypographic();
  // The setters do nothing before a format exists.
  void setAlign(int alignment);
  void setTrimming(int trimming);
  void setHotkeyPrefix(int prefix);
  void setFlags(int flags);
  // 0 (near) when there is no format.
  int align() const;
  platform::gfx::StringFormat* handle() const { return format_.get(); }

 private:
  std::unique_ptr<platform::gfx::StringFormat> format_;
};

}  // namespace ui
