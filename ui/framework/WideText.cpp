#include "ui/framework/WideText.h"

#include "platform/text/CodePage.h"

namespace ui {

std::u16string toWide(std::string_view text, unsigned codePage) {
  if (text.empty()) return {};
  const int bytes = static_cast<int>(text.size());
  const int units = platform::text::MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
  if (units <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  const int written = platform::text::MultiByteToWideChar(codePage, 0, text.data(), bytes, wide.data(), units);
  wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  // A NUL inside the text ends it, as with a counted length of -1.
  wide.resize(std::min(wide.size(), wide.find(u'\0')));
  return wide;
}

std::string fromWide(std::u16string_view wide, unsigned codePage) {
  if (wide.empty()) return {};
  const int units = static_cast<int>(wide.size());
  const int bytes = platform::text::WideCharToMultiByte(codePage, 0, wide.data(), units, nullptr, 0,
                                                        nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string text(static_cast<std::size_t>(bytes), '\0');
  const int written = platform::text::WideCharToMultiByte(codePage, 0, wide.data(), units, text.data(),
                                                          bytes, nullptr, nullptr);
  text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

}  // namespace ui
