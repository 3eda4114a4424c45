#include <windows.h>

#include "platform/system/WorkingSet.h"

namespace platform::system {

void trimWorkingSet() { ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1)); }

}  // namespace platform::system
