#include <malloc.h>

#include "tools/song-service/library/FreedMemory.h"

namespace songservice {

void returnFreedMemory() { _heapmin(); }

}  // namespace songservice
