#include "platform/text/CodePage.h"

#include <cstring>
#include <string>

#include "platform/text/Conversion.h"

namespace platform::text {
namespace {

bool knownCodePage(unsigned codePage) {
  return codePage == kCodePageAnsi || codePage == kCodePageUtf8 || codePage == 936;
}

// The Windows names: CP_ACP stands for the program's own code page, 936.
unsigned systemCodePage(unsigned codePage) { return codePage == kCodePageUtf8 ? kCodePageUtf8 : 936; }

}  // namespace

int MultiByteToWideChar(unsigned codePage, unsigned /*flags*/, const char* bytes, int byteCount,
                        char16_t* out, int outUnits) {
  if (!bytes || byteCount == 0 || byteCount < -1 || outUnits < 0 || !knownCodePage(codePage))
    return 0;
  size_t length = byteCount == -1 ? std::strlen(bytes) + 1 : static_cast<size_t>(byteCount);
  std::u16string wide = detail::decode(systemCodePage(codePage), std::string_view(bytes, length));
  int units = static_cast<int>(wide.size());
  if (outUnits == 0) return units;
  if (!out || units > outUnits) return 0;
  std::memcpy(out, wide.data(), wide.size() * sizeof(char16_t));
  return units;
}

int WideCharToMultiByte(unsigned codePage, unsigned /*flags*/, const char16_t* units,
                        int unitCount, char* out, int outBytes, const char* defaultChar,
                        bool* usedDefault) {
  if (usedDefault) *usedDefault = false;
  if (!units || unitCount == 0 || unitCount < -1 || outBytes < 0 || !knownCodePage(codePage))
    return 0;
  size_t count = 0;
  if (unitCount == -1) {
    while (units[count] != 0) ++count;
    ++count;
  } else {
    count = static_cast<size_t>(unitCount);
  }
  std::string fallback = codePage == kCodePageUtf8 ? "\xEF\xBF\xBD"
                         : defaultChar             ? std::string(defaultChar)
                                                   : "?";
  std::string bytes = detail::encode(systemCodePage(codePage), std::u16string_view(units, count), fallback, usedDefault);
  int size = static_cast<int>(bytes.size());
  if (outBytes == 0) return size;
  if (!out || size > outBytes) return 0;
  std::memcpy(out, bytes.data(), bytes.size());
  return size;
}

std::u16string ansiToWide(std::string_view ansi) {
  return detail::decode(936, ansi);
}

std::u16string utf8ToWide(std::string_view utf8) {
  return detail::decode(kCodePageUtf8, utf8);
}

std::string wideToAnsi(std::u16string_view wide) {
  return detail::encode(936, wide, "?", nullptr);
}

std::string wideToUtf8(std::u16string_view wide) {
  return detail::encode(kCodePageUtf8, wide, "\xEF\xBF\xBD", nullptr);
}

std::string ansiToUtf8(std::string_view ansi) { return wideToUtf8(ansiToWide(ansi)); }

std::string utf8ToAnsi(std::string_view utf8) { return wideToAnsi(utf8ToWide(utf8)); }

}  // namespace platform::text
