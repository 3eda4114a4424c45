#pragma once
// Paths and texts stay UTF-8 inside the program and become UTF-16 only at a Windows call.
// Only Windows sources include this.

#include <string>
#include <string_view>

namespace platform::system {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

}  // namespace platform::system
