#include <windows.h>

#include "platform/system/WideText.h"
#include "tools/song-service/library/LibraryText.h"

namespace songservice {
namespace {

constexpr UINT kGbk = 936;

bool decodes(UINT codePage, std::string_view bytes, std::wstring* out) {
  if (bytes.empty()) return true;
  const int size = static_cast<int>(bytes.size());
  int units = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (units <= 0) return false;
  if (out) {
    out->resize(static_cast<std::size_t>(units));
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out->data(), units);
  }
  return true;
}

}  // namespace

std::string validUtf8(std::string_view text) {
  if (decodes(CP_UTF8, text, nullptr)) return std::string(text);
  // Without the error flag bad sequences become U+FFFD.
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return platform::system::narrow(wide);
}

std::string nameText(std::string_view bytes) {
  if (decodes(CP_UTF8, bytes, nullptr)) return std::string(bytes);
  std::wstring wide;
  if (decodes(kGbk, bytes, &wide)) return platform::system::narrow(wide);
  return validUtf8(bytes);
}

std::string folded(std::string_view text) {
  std::wstring wide = platform::system::widen(validUtf8(text));
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  int units = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), size, nullptr, 0, nullptr, nullptr, 0);
  if (units <= 0) return {};
  std::wstring lowered(static_cast<std::size_t>(units), L'\0');
  ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), size, lowered.data(), units, nullptr, nullptr, 0);
  return platform::system::narrow(lowered);
}

}  // namespace songservice
