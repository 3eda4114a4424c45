#include <cstdlib>

#include "platform/system/Environment.h"

namespace platform::system {

// The C runtime's copy of the environment is the one getenv reads; an empty value removes.
void setEnvironment(const char* name, const char* value) { ::_putenv_s(name, value); }
void unsetEnvironment(const char* name) { ::_putenv_s(name, ""); }

}  // namespace platform::system
