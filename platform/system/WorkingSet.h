#pragma once

namespace platform::system {

// Hands freed heap pages back to the system, as trimming the working set does.
void trimWorkingSet();

}  // namespace platform::system
