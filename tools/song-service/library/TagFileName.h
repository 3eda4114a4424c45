#pragma once
// The name TagLib opens a file by: the path's bytes on Linux, UTF-16 on Windows (where a
// narrow name would go through the system's code page).

#include <tiostream.h>

#include <string>

namespace songservice {

// Valid while path lives.
TagLib::FileName tagFileName(const std::string& path);

}  // namespace songservice
