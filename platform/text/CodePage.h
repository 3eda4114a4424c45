#pragma once
// Code-page conversions shaped like the kernel's MultiByteToWideChar and
// WideCharToMultiByte. The ANSI code page of the program is GBK (CP936).

#include <string>
#include <string_view>

namespace platform::text {

inline constexpr unsigned kCodePageAnsi = 0;      // CP_ACP
inline constexpr unsigned kCodePageUtf8 = 65001;  // CP_UTF8

// Converts bytes of codePage to UTF-16. byteCount -1 means "up to and including the
// terminating zero". With outUnits 0 returns the number of units needed; otherwise the
// number written, or 0 when out is too small or the code page is unknown. A byte sequence
// that is not valid in the code page (a lone lead byte, say) becomes U+FFFD.
int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* bytes, int byteCount,
                        char16_t* out, int outUnits);

// Converts UTF-16 units to codePage. unitCount -1 means "up to and including the
// terminating zero". With outBytes 0 returns the number of bytes needed; otherwise the
// number written, or 0 when out is too small. A character the code page cannot hold
// becomes defaultChar (or "?") and sets *usedDefault; a lone surrogate becomes U+FFFD in
// UTF-8.
int WideCharToMultiByte(unsigned codePage, unsigned flags, const char16_t* units, int unitCount,
                        char* out, int outBytes, const char* defaultChar, bool* usedDefault);

// Whole-string conveniences over the two calls above.
std::u16string ansiToWide(std::string_view ansi);
std::string wideToAnsi(std::u16string_view wide);
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);
std::u16string utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::u16string_view wide);

// True when byte starts a two-byte character of the ANSI code page.
constexpr bool isAnsiLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace platform::text
