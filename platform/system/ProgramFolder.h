#pragma once

#include <string>
#include <string_view>

namespace platform::system {

// The folder that holds the running program file, without a trailing slash.
const std::string& programFolder();

// Turns a program-relative path written with backslashes ("\Resource\skin.png") into a
// native path inside programFolder().
std::string programPath(std::string_view relative);

// The same for any folder; exposed so that tests can use a folder of their own.
std::string pathInFolder(std::string_view folder, std::string_view relative);

}  // namespace platform::system
