#pragma once

#include <string>
#include <vector>

namespace platform::system {

// The program's arguments in UTF-8, the program's name first. On Windows they come from the
// wide command line: main's own are in the system's code page, where a name outside it is lost.
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace platform::system
