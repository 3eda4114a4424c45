#include "platform/system/OpenFile.h"

#include "platform/system/WideText.h"

namespace platform::system {

// The narrow fopen reads its path in the system's code page.
std::FILE* openFile(const std::string& path, const char* mode) {
  return ::_wfopen(widen(path).c_str(), widen(mode).c_str());
}

}  // namespace platform::system
