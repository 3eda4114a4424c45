#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/text/Conversion.h"

// The kernel converts; what it refuses is replaced one piece at a time by our own rule, which
// the Linux build follows too. Code page 936 is named: the system's current one (1252 on an
// English Windows) never enters.

namespace platform::text::detail {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The whole run, or false when any of it is not valid in codePage.
bool decodeStrictly(unsigned codePage, std::string_view bytes, std::u16string& out) {
  if (bytes.empty()) return true;
  const int length = static_cast<int>(bytes.size());
  int units = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (units <= 0) return false;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(units));
  ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length,
                        reinterpret_cast<wchar_t*>(out.data() + at), units);
  return true;
}

// How many bytes the character starting at bytes[0] claims to have.
size_t characterLength(unsigned codePage, std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  size_t length = 1;
  if (codePage == CP_UTF8) {
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  } else if (lead >= 0x81 && lead <= 0xFE) {
    length = 2;
  }
  return std::min(length, bytes.size());
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The bytes of units, or false when codePage cannot hold all of them.
bool encodeStrictly(unsigned codePage, std::u16string_view units, std::string& out) {
  if (units.empty()) return true;
  const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
  const int count = static_cast<int>(units.size());
  // UTF-8 takes no default character; it refuses lone surrogates with this flag instead.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  int bytes = ::WideCharToMultiByte(codePage, flags, wide, count, nullptr, 0, nullptr, used);
  if (bytes <= 0 || usedDefault) return false;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(bytes));
  ::WideCharToMultiByte(codePage, flags, wide, count, out.data() + at, bytes, nullptr, used);
  return true;
}

}  // namespace

std::u16string decode(unsigned codePage, std::string_view bytes) {
  std::u16string out;
  if (decodeStrictly(codePage, bytes, out)) return out;
  while (!bytes.empty()) {
    const size_t length = characterLength(codePage, bytes);
    if (decodeStrictly(codePage, bytes.substr(0, length), out)) {
      bytes.remove_prefix(length);
    } else {
      out.push_back(kReplacement);
      bytes.remove_prefix(1);
    }
  }
  return out;
}

std::string encode(unsigned codePage, std::u16string_view units, const std::string& fallback,
                   bool* usedFallback) {
  std::string out;
  if (encodeStrictly(codePage, units, out)) return out;
  while (!units.empty()) {
    const size_t length = units.size() > 1 && isHighSurrogate(units[0]) && isLowSurrogate(units[1]) ? 2 : 1;
    if (!encodeStrictly(codePage, units.substr(0, length), out)) {
      if (usedFallback) *usedFallback = true;
      out += fallback;
    }
    units.remove_prefix(length);
  }
  return out;
}

}  // namespace platform::text::detail
