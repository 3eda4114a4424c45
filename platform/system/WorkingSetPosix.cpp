#include "platform/system/WorkingSet.h"

#include <malloc.h>

namespace platform::system {

void trimWorkingSet() { ::malloc_trim(0); }

}  // namespace platform::system
