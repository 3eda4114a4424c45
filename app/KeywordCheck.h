#pragma once

#include <string_view>

#include "app/ProgramTexts.h"

namespace app {

// A keyword (GBK) may be sent unless it is empty or still the hint text. Nothing is
// trimmed: a keyword of blanks is sent as it is.
bool IsSearchableKeyword(std::string_view keyword);

}  // namespace app
