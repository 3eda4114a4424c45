#pragma once

#include <string>
#include <string_view>

namespace app {

// Program texts are GBK; the sources hold them as UTF-8 and convert once.
// The search box's initial content; searching for it means no keyword was typed.
const std::string& SearchHintText();
const std::string& BadKeywordMessage();
const std::string& ErrorTitle();

// A keyword (GBK) may be sent unless it is empty or still the hint text. Nothing is
// trimmed: a keyword of blanks is sent as it is.
bool IsSearchableKeyword(std::string_view keyword);

}  // namespace app
