// Search, links and picture lookups asked the way the client asks them: HttpRequest with
// percent-encoded GBK keywords, answers read with markers.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/HttpRequest.h"
#include "net/QueryEncoding.h"
#include "net/TextBetween.h"
#include "platform/text/CodePage.h"
#include "tests/song-service/ServiceTestSupport.h"
#include "tests/support/SongServiceProcess.h"

namespace songservice::test {
namespace {

using platform::text::ansiToUtf8;
using platform::text::utf8ToAnsi;

constexpr char kSearchTail[] = "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823";
constexpr char kLinksTail[] = "&id=1&jsoncallback=jsonp1344356068549";

std::vector<std::string> split(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (true) {
    std::size_t at = text.find(separator, start);
    pieces.push_back(text.substr(start, at == std::string::npos ? at : at - start));
    if (at == std::string::npos) return pieces;
    start = at + separator.size();
  }
}

struct Row {
  std::string title, singer;  // UTF-8
};

class SongAnswers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service_ = std::make_unique<testsupport::SongServiceProcess>(kServiceExe, kCatalogue);
  }
  static void TearDownTestSuite() { service_.reset(); }
  void SetUp() override { ASSERT_GT(service_->port(), 0) << "the service did not start"; }

  static std::string get(const std::string& pathAndQuery, std::string* status = nullptr) {
    std::string headers;
    std::string body = net::HttpRequest(service_->url(pathAndQuery), nullptr, std::nullopt, nullptr, {}, &headers);
    if (status) *status = headers.substr(0, headers.find("\r\n"));
    return body;
  }
  static std::string search(const std::string& keywordUtf8) {
    return get("/api/songlist2?query=" + net::EncodeQueryText(utf8ToAnsi(keywordUtf8)) + kSearchTail);
  }
  // The rows the client would show for an answer.
  static std::vector<Row> rows(const std::string& answer) {
    std::vector<Row> result;
    for (const std::string& piece : split(answer, "},{"))
      result.push_back({ansiToUtf8(net::TextBetween(piece, "title\":\"", "\"")),
                        ansiToUtf8(net::TextBetween(piece, "singer\":\"", "\""))});
    return result;
  }

  static std::unique_ptr<testsupport::SongServiceProcess> service_;
};

std::unique_ptr<testsupport::SongServiceProcess> SongAnswers::service_;

TEST_F(SongAnswers, SingerSearchListsAllTheirSongsInGbk) {
  for (const std::string singer : {"苏晴岚", "Aurelia Finch"}) {
    std::string answer = search(singer);
    ASSERT_GT(answer.size(), 200u) << singer;
    EXPECT_EQ(answer.rfind("jsonp1344355138823(", 0), 0u);
    std::vector<Row> found = rows(answer);
    EXPECT_EQ(found.size(), 6u) << singer;
    for (const Row& row : found) {
      EXPECT_EQ(row.singer, singer);
      EXPECT_FALSE(row.title.empty());
    }
  }
  // GBK bytes, not UTF-8: the Chinese singer's UTF-8 form must not appear.
  std::string answer = search("苏晴岚");
  EXPECT_NE(answer.find(utf8ToAnsi("苏晴岚")), std::string::npos);
  EXPECT_EQ(answer.find("苏晴岚"), std::string::npos);
}

TEST_F(SongAnswers, TitleWordsMatchInCatalogueOrderAndLatinIgnoresCase) {
  auto titles = [](const std::string& answer) {
    std::vector<std::string> out;
    for (const Row& row : rows(answer)) out.push_back(row.title);
    return out;
  };
  EXPECT_EQ(titles(search("月光")),
            (std::vector<std::string>{"月光小径", "月光码头", "海边的月光", "月光与你"}));
  EXPECT_EQ(titles(search("SUMMER")),
            (std::vector<std::string>{"Summer Kites", "Slow Summer", "Last Summer Train"}));
  EXPECT_EQ(titles(search(" 灯塔 ")), std::vector<std::string>{"灯塔"});
}

TEST_F(SongAnswers, EverySongAloneAnswersMoreThan200BytesWithMembersAroundTitleAndSinger) {
  for (const IndexSong& song : builtIndex().songs) {
    // The shortest callback name leaves the least around the songs.
    std::string answer = get("/api/songlist2?query=" + net::EncodeQueryText(utf8ToAnsi(song.title)) +
                             "&jsoncallback=c");
    EXPECT_GT(answer.size(), 200u) << song.title;
    for (const std::string& piece : split(answer, "},{")) {
      std::size_t title = piece.find("\"title\":\""), singer = piece.find("\"singer\":\"");
      ASSERT_NE(title, std::string::npos);
      ASSERT_NE(singer, std::string::npos);
      EXPECT_NE(piece.find("\"songid\":\""), std::string::npos);
      EXPECT_LT(piece.find("\"songid\":\""), title);
      EXPECT_GT(piece.find("\"album\":\""), singer);
    }
  }
}

TEST_F(SongAnswers, NoHitGivesAShortAnswer) {
  for (const std::string keyword : {"没有这首歌", "zzzz", "   "}) {
    std::string answer = search(keyword);
    EXPECT_FALSE(answer.empty()) << keyword;
    EXPECT_LE(answer.size(), 200u) << keyword;
  }
  std::string longestCallback(64, 'x');
  EXPECT_LE(get("/api/songlist2?query=zzzz&jsoncallback=" + longestCallback).size(), 200u);
}

TEST_F(SongAnswers, LinksOfTitleThenSingerGiveTheSongsMediaOnTheAskedHost) {
  for (const IndexSong& song : builtIndex().songs) {
    std::string query = net::EncodeQueryText(utf8ToAnsi(song.title)) + net::EncodeQueryText(utf8ToAnsi(song.singer));
    std::string answer = get("/api/links2?query=" + query + kLinksTail);
    EXPECT_EQ(answer.rfind("jsonp1344356068549({\"url\":\"", 0), 0u) << answer;
    EXPECT_EQ(net::TextBetween(answer, "url\":\"", "\""), service_->url("/media/" + song.file));
  }
  // The link names the host the request came in on.
  std::string viaName = net::HttpRequest("http://localhost:" + std::to_string(service_->port()) +
                                         "/api/links2?query=" + net::EncodeQueryText(utf8ToAnsi("萤火林溪月")) + kLinksTail);
  EXPECT_EQ(net::TextBetween(viaName, "url\":\"", "\""),
            "http://localhost:" + std::to_string(service_->port()) + "/media/song-18.mp3");
}

TEST_F(SongAnswers, BadRequestsGetClearAnswers) {
  std::string status;
  get("/api/links2?query=" + net::EncodeQueryText(utf8ToAnsi("萤火")) + kLinksTail, &status);
  EXPECT_EQ(status, "HTTP/1.1 404 Not Found") << "title without its singer";
  EXPECT_EQ(get("/api/songlist2?jsoncallback=x", &status), "missing query\n");
  EXPECT_EQ(status, "HTTP/1.1 400 Bad Request");
  get("/api/links2?id=1", &status);
  EXPECT_EQ(status, "HTTP/1.1 400 Bad Request");
  get("/api/songlist2?query=a&jsoncallback=alert(1)//", &status);
  EXPECT_EQ(status, "HTTP/1.1 400 Bad Request");
  get("/new/app/i/yueku.php?cmd=104", &status);
  EXPECT_EQ(status, "HTTP/1.1 400 Bad Request");
  for (const char* path : {"/media/index.txt", "/media/..%2Findex.txt", "/pictures/song-01.mp3", "/nothing"}) {
    get(path, &status);
    EXPECT_EQ(status, "HTTP/1.1 404 Not Found") << path;
  }
  // A Range on an answer that is not media leaves the answer whole.
  std::string headers = "Range: bytes=100000-\r\n";
  std::string answer = net::HttpRequest(service_->url("/api/songlist2?query=a&jsoncallback=c"), nullptr,
                                        std::nullopt, &headers);
  EXPECT_GT(answer.size(), 200u);
  EXPECT_EQ(answer.rfind("c(", 0), 0u);
}

TEST_F(SongAnswers, SingerPictureLookupNamesA120PixelPng) {
  std::string answer = get("/new/app/i/yueku.php?singer=" + net::EncodeQueryText(utf8ToAnsi("夏知秋")) +
                           "&cmd=104&type=softhead&size=120");
  std::string address = net::TextBetween(answer, "url\":\"", "\"");
  ASSERT_NE(address.find("\\/pictures\\/"), std::string::npos) << answer;
  for (std::size_t at; (at = address.find("\\/")) != std::string::npos;) address.replace(at, 2, "/");
  Fetched picture = fetch(address);
  EXPECT_EQ(picture.status, 200);
  ASSERT_GT(picture.body.size(), 24u);
  EXPECT_EQ(picture.body.substr(1, 3), "PNG");
  auto bigEndian = [&](std::size_t at) {
    return (unsigned char)picture.body[at] << 24 | (unsigned char)picture.body[at + 1] << 16 |
           (unsigned char)picture.body[at + 2] << 8 | (unsigned char)picture.body[at + 3];
  };
  EXPECT_EQ(bigEndian(16), 120);
  EXPECT_EQ(bigEndian(20), 120);

  EXPECT_EQ(get("/new/app/i/yueku.php?singer=Nobody&cmd=104&type=softhead&size=120").find("url\":\""),
            std::string::npos);
}

}  // namespace
}  // namespace songservice::test
