// Cutting answers and preset files into rows, and the addresses the client asks.

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/PresetFile.h"
#include "app/ServiceAddress.h"
#include "app/SearchAnswer.h"
#include "platform/text/CodePage.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

using app::CutSearchAnswer;
using app::PresetLines;

// Pads an answer with a trailing member so that it reaches the given size.
std::string paddedTo(std::string text, std::size_t size) {
  text += ",\"pad\":\"";
  while (text.size() + 1 < size) text += 'x';
  text += '"';
  return text;
}

TEST(SearchAnswer, TwoHundredBytesHoldNoSongAndTwoHundredAndOneHoldOne) {
  const std::string small = paddedTo("jsonp1({\"title\":\"A\",\"singer\":\"B\"", 200);
  ASSERT_EQ(small.size(), 200u);
  EXPECT_TRUE(CutSearchAnswer(small).empty());
  EXPECT_TRUE(CutSearchAnswer("").empty());

  const std::string one = paddedTo("jsonp1({\"title\":\"A\",\"singer\":\"B\"", 201);
  ASSERT_EQ(one.size(), 201u);
  const auto rows = CutSearchAnswer(one);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].title, "A");
  EXPECT_EQ(rows[0].singer, "B");
}

TEST(SearchAnswer, OneRowPerSongInOrderTheFirstFromThePieceWithTheCallback) {
  const std::string answer = paddedTo(
      "jsonp1344355138823({\"data\":{\"songs\":[{\"id\":1,\"title\":\"First\",\"singer\":\"S1\"},"
      "{\"id\":2,\"title\":\"Second\",\"singer\":\"S2\"},{\"id\":3,\"singer\":\"S3\",\"title\":\"Third\"}]}",
      400);
  const auto rows = CutSearchAnswer(answer);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].title, "First");
  EXPECT_EQ(rows[1].title, "Second");
  EXPECT_EQ(rows[1].singer, "S2");
  // Members in another order are found all the same.
  EXPECT_EQ(rows[2].title, "Third");
  EXPECT_EQ(rows[2].singer, "S3");
}

TEST(SearchAnswer, MissingMembersGiveEmptyCellsAndEscapesStayAsCut) {
  const std::string answer = paddedTo(
      "cb([{\"singer\":\"NoTitle\"},{\"title\":\"say \\\"hi\\\"\",\"singer\":\"AC\\/DC \\u4e00\"},{\"x\":1}", 300);
  const auto rows = CutSearchAnswer(answer);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].title, "");
  EXPECT_EQ(rows[0].singer, "NoTitle");
  // An escaped quote ends the value: it keeps the backslash.
  EXPECT_EQ(rows[1].title, "say \\");
  EXPECT_EQ(rows[1].singer, "AC\\/DC \\u4e00");
  EXPECT_EQ(rows[2].title, "");
  EXPECT_EQ(rows[2].singer, "");
}

TEST(SearchAnswer, TenThousandSongsGiveTenThousandRows) {
  std::string answer = "cb([";
  for (int i = 0; i < 10000; ++i) {
    if (i > 0) answer += ",";
    answer += "{\"title\":\"t" + std::to_string(i) + "\",\"singer\":\"s\"}";
  }
  answer += "])";
  const auto rows = CutSearchAnswer(answer);
  ASSERT_EQ(rows.size(), 10000u);
  EXPECT_EQ(rows.back().title, "t9999");
}

TEST(PresetFile, LinesAtCrLfWithoutAnEmptyLastLineAndNothingFromASmallFile) {
  std::string line = "{\"title\":\"T\",\"singer\":\"S\",\"url\":\"http://127.0.0.1:8725/media/a.mp3\"}";
  std::string text = line + "\r\n" + line + "\r\n" + line;
  while (text.size() <= 200) text += "x";
  EXPECT_EQ(PresetLines(text).size(), 3u);
  EXPECT_EQ(PresetLines(text + "\r\n").size(), 3u);
  // A lone LF does not end a line.
  EXPECT_EQ(PresetLines(line + "\n" + text).size(), 3u);
  EXPECT_TRUE(PresetLines(std::string(200, 'x')).empty());
  EXPECT_EQ(PresetLines(std::string(201, 'x')).size(), 1u);
}

TEST(ServiceAddress, TheDefaultUnlessAHostAndPortAreGiven) {
  EXPECT_EQ(app::ServiceAddressFrom(nullptr), "127.0.0.1:8725");
  EXPECT_EQ(app::ServiceAddressFrom("songs.example:9000"), "songs.example:9000");
  EXPECT_EQ(app::ServiceAddressFrom("10.0.0.2:1"), "10.0.0.2:1");
  for (const char* bad : {"", "host", "host:", ":80", "host:0", "host:65536", "host:8x", "ho st:80",
                          "host/path:80", "user@host:80", "host:80\r\n"}) {
    EXPECT_EQ(app::ServiceAddressFrom(bad), "127.0.0.1:8725") << bad;
  }
}

TEST(ServiceAddress, TheSettingsFileNamesItUnlessTheVariableIsSet) {
  testsupport::TempDir folder;
  const std::string ini = folder.file("program parameter.ini");
  EXPECT_EQ(app::ServiceAddress(ini), "127.0.0.1:8725");
  testsupport::writeFile(ini, "[parameter]\r\nvolume size=40\r\nservice address=songs.home:9000\r\n");
  EXPECT_EQ(app::ServiceAddress(ini), "songs.home:9000");
  setenv(app::kServiceAddressVariable, "127.0.0.1:9", 1);
  EXPECT_EQ(app::ServiceAddress(ini), "127.0.0.1:9");
  unsetenv(app::kServiceAddressVariable);
  testsupport::writeFile(ini, "[parameter]\r\nservice address=not an address\r\n");
  EXPECT_EQ(app::ServiceAddress(ini), "127.0.0.1:8725");
}

TEST(ServiceAddress, RequestsCarryTheEncodedTextsAndTheFixedQueries) {
  setenv(app::kServiceAddressVariable, "127.0.0.1:9", 1);
  const std::string song = platform::text::utf8ToAnsi("歌曲");
  EXPECT_EQ(app::SearchRequestUrl(song + " a"),
            "http://127.0.0.1:9/api/songlist2?query=%E6%AD%8C%E6%9B%B2 a"
            "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823");
  // The title's encoding directly followed by the singer's.
  EXPECT_EQ(app::LinksRequestUrl("A+B", song),
            "http://127.0.0.1:9/api/links2?query=A%2BB%E6%AD%8C%E6%9B%B2&id=1&jsoncallback=jsonp1344356068549");
  unsetenv(app::kServiceAddressVariable);
  EXPECT_EQ(app::LinksRequestUrl("", ""),
            "http://127.0.0.1:8725/api/links2?query=&id=1&jsoncallback=jsonp1344356068549");
}

}  // namespace
