#pragma once

namespace bench {

// User and system CPU seconds of this process so far.
double processCpuSeconds();

}  // namespace bench
