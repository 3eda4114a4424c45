#pragma once

namespace platform::system {

// Sets or removes a variable of the program's environment, as getenv then reads it.
void setEnvironment(const char* name, const char* value);
void unsetEnvironment(const char* name);

}  // namespace platform::system
