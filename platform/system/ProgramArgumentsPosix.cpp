#include "platform/system/ProgramArguments.h"

namespace platform::system {

std::vector<std::string> programArguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace platform::system
