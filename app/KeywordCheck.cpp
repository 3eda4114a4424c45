#include "app/KeywordCheck.h"

#include "platform/text/CodePage.h"

namespace app {

using platform::text::utf8ToAnsi;

const std::string& SearchHintText() {
  static const std::string text = utf8ToAnsi("请输入歌曲/歌手名");
  return text;
}

const std::string& BadKeywordMessage() {
  static const std::string text = utf8ToAnsi("请正确输入歌曲名/歌手名");
  return text;
}

const std::string& ErrorTitle() {
  static const std::string text = utf8ToAnsi("错误");
  return text;
}

bool IsSearchableKeyword(std::string_view keyword) {
  return !keyword.empty() && keyword != SearchHintText();
}

}  // namespace app
