#include "app/KeywordCheck.h"

namespace app {

bool IsSearchableKeyword(std::string_view keyword) {
  return !keyword.empty() && keyword != SearchHintText();
}

}  // namespace app
