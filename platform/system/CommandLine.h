#pragma once
// The one string a Windows program gets its arguments in. Only Windows sources include this.

#include <string>
#include <vector>

namespace platform::system {

// The program path (UTF-8, either slash) and its arguments as a UTF-16 command line that
// CommandLineToArgvW and the C runtime split back into the same words.
std::wstring commandLine(const std::vector<std::string>& words);

}  // namespace platform::system
