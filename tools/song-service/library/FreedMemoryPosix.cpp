#include <malloc.h>

#include "tools/song-service/library/FreedMemory.h"

namespace songservice {

void returnFreedMemory() { ::malloc_trim(0); }

}  // namespace songservice
