#pragma once
// The per-system half of the code-page calls: iconv on Linux, the kernel's own conversions on
// Windows. Both give the same results: a byte sequence the code page cannot read becomes one
// U+FFFD per byte, a character it cannot hold becomes the fallback.

#include <string>
#include <string_view>

namespace platform::text::detail {

// codePage is the ANSI code page (936) or UTF-8; anything else is refused before the call.
std::u16string decode(unsigned codePage, std::string_view bytes);
std::string encode(unsigned codePage, std::u16string_view units, const std::string& fallback,
                   bool* usedFallback);

}  // namespace platform::text::detail
