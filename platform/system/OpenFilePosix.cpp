#include "platform/system/OpenFile.h"

namespace platform::system {

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

}  // namespace platform::system
