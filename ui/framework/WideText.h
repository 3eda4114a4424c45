#pragma once
// Program texts (ANSI code page bytes) to UTF-16 and back, for drawing and measuring.

#include <string>
#include <string_view>

namespace ui {

// codePage 0 is the ANSI code page; the result carries no terminating unit.
std::u16string toWide(std::string_view text, unsigned codePage = 0);
std::string fromWide(std::u16string_view wide, unsigned codePage = 0);

}  // namespace ui
