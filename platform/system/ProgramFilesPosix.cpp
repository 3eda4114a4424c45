#include <cstdlib>

#include "platform/system/ProgramFiles.h"
#include "platform/system/ProgramFolder.h"

namespace platform::system {

const ProgramFiles& programFiles() {
  static const ProgramFiles files =
      ProgramFiles::forProgramIn(programFolder(), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  return files;
}

}  // namespace platform::system
