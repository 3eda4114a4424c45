#include <cstdlib>

#include "platform/system/Environment.h"

namespace platform::system {

void setEnvironment(const char* name, const char* value) { ::setenv(name, value, 1); }
void unsetEnvironment(const char* name) { ::unsetenv(name); }

}  // namespace platform::system
