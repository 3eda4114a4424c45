#pragma once

#include <cstdio>
#include <string>

namespace platform::system {

// std::fopen for a UTF-8 path, whatever the system's own code page.
std::FILE* openFile(const std::string& path, const char* mode);

}  // namespace platform::system
