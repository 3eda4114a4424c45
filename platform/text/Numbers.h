#pragma once

#include <string_view>

namespace platform::text {

// Text to a whole number as the program's text-to-number conversion does it: leading
// blanks, a sign, then the digits up to the first other character (a fraction is dropped,
// which truncates toward zero). No digits gives 0; a value beyond the int range is
// clamped to it.
int textToInteger(std::string_view text);

}  // namespace platform::text
