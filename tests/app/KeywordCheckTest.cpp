#include "app/KeywordCheck.h"

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"

namespace {

using app::IsSearchableKeyword;
using platform::text::utf8ToAnsi;

TEST(KeywordCheck, RejectsEmptyAndTheHint) {
  EXPECT_FALSE(IsSearchableKeyword(""));
  EXPECT_FALSE(IsSearchableKeyword(utf8ToAnsi("请输入歌曲/歌手名")));
  EXPECT_EQ(app::SearchHintText(), utf8ToAnsi("请输入歌曲/歌手名"));
}

TEST(KeywordCheck, AcceptsAnythingElseUntrimmed) {
  EXPECT_TRUE(IsSearchableKeyword(" "));
  EXPECT_TRUE(IsSearchableKeyword(utf8ToAnsi("周杰伦")));
  EXPECT_TRUE(IsSearchableKeyword(utf8ToAnsi("请输入歌曲/歌手名 ")));
  EXPECT_TRUE(IsSearchableKeyword(utf8ToAnsi("请输入歌曲/歌手")));
  // The hint's UTF-8 bytes are not the hint: program texts are GBK.
  EXPECT_TRUE(IsSearchableKeyword("请输入歌曲/歌手名"));
}

}  // namespace
