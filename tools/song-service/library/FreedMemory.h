#pragma once

namespace songservice {

// Gives the heap's free blocks back to the system.
void returnFreedMemory();

}  // namespace songservice
