#include <windows.h>

#include "ProcessCpu.h"

namespace bench {

double processCpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](FILETIME time) { return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;  // 100 ns ticks
}

}  // namespace bench
