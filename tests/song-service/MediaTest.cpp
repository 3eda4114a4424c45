// The media route (whole files, byte ranges) and the fault flags, over real HTTP.

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "net/HttpRequest.h"
#include "net/QueryEncoding.h"
#include "net/TextBetween.h"
#include "platform/text/CodePage.h"
#include "tests/song-service/ServiceTestSupport.h"
#include "tests/support/SongServiceProcess.h"

namespace songservice::test {
namespace {

using testsupport::SongServiceProcess;

constexpr char kFile[] = "song-01.mp3";

std::string linksQuery(const char* title, const char* singer) {
  return "/api/links2?query=" + net::EncodeQueryText(platform::text::utf8ToAnsi(title)) +
         net::EncodeQueryText(platform::text::utf8ToAnsi(singer)) + "&id=1&jsoncallback=jsonp1344356068549";
}

TEST(SongMedia, WholeFilesAndByteRanges) {
  SongServiceProcess service(kServiceExe, kCatalogue);
  ASSERT_GT(service.port(), 0);
  const std::string file = catalogueFile(kFile), size = std::to_string(file.size());
  const std::string url = service.url(std::string("/media/") + kFile);

  Fetched whole = fetch(url);
  EXPECT_EQ(whole.status, 200);
  EXPECT_EQ(whole.header("Content-Length"), size);
  EXPECT_EQ(whole.header("Accept-Ranges"), "bytes");
  EXPECT_EQ(whole.header("Content-Type"), "audio/mpeg");
  EXPECT_TRUE(whole.body == file);

  struct Case {
    const char* range;
    std::size_t first, length;
  } parts[] = {
      {"bytes=100-199", 100, 100},
      {"bytes=1000-", 1000, file.size() - 1000},
      {"bytes=-500", file.size() - 500, 500},
      {"bytes=10-999999999", 10, file.size() - 10},  // the end is clamped to the file
  };
  for (const Case& part : parts) {
    Fetched got = fetch(url, std::string("Range: ") + part.range);
    EXPECT_EQ(got.status, 206) << part.range;
    EXPECT_EQ(got.header("Content-Range"), "bytes " + std::to_string(part.first) + "-" +
                                               std::to_string(part.first + part.length - 1) + "/" + size)
        << part.range;
    EXPECT_EQ(got.header("Content-Length"), std::to_string(part.length)) << part.range;
    EXPECT_TRUE(got.body == file.substr(part.first, part.length)) << part.range;
  }
  for (const char* bad : {"bytes=999999999-", "bytes=200-100", "bytes=-0", "items=0-1"}) {
    Fetched got = fetch(url, std::string("Range: ") + bad);
    EXPECT_EQ(got.status, 416) << bad;
    EXPECT_LT(got.body.size(), 100u) << bad;
  }
  EXPECT_EQ(fetch(url, "Range: bytes=999999999-").header("Content-Range"), "bytes */" + size);
  // Several ranges at once are answered with the whole file.
  Fetched several = fetch(url, "Range: bytes=0-1,5-6");
  EXPECT_EQ(several.status, 200);
  EXPECT_EQ(several.body.size(), file.size());

  Fetched head = fetch(url, {}, true);
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.header("Content-Length"), size);
  EXPECT_TRUE(head.body.empty());
}

TEST(SongMedia, SlowMediaIsPacedAndStopsCleanlyOnSigterm) {
  SongServiceProcess service(kServiceExe, kCatalogue, {"--slow", "40000"});
  ASSERT_GT(service.port(), 0);
  const std::string url = service.url(std::string("/media/") + kFile);
  Fetched part = fetch(url, "Range: bytes=0-59999");
  EXPECT_EQ(part.status, 206);
  EXPECT_EQ(part.body.size(), 60000u);
  EXPECT_GE(part.seconds, 1.2) << "60 000 bytes at 40 000 a second";
  EXPECT_LT(part.seconds, 10.0);
  EXPECT_TRUE(part.body == catalogueFile(kFile).substr(0, 60000));

  // A download in progress does not hold the service up.
  auto download = std::async(std::launch::async, [&] { return fetch(url); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  auto stopping = std::chrono::steady_clock::now();
  const int code = service.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(2));
  EXPECT_EQ(code, 0);
  Fetched cut = download.get();
  EXPECT_EQ(cut.curlCode, CURLE_PARTIAL_FILE);
  EXPECT_LT(cut.body.size(), catalogueFile(kFile).size());
}

TEST(SongMedia, CutAfterEndsEachMediaConnectionAtThatByte) {
  SongServiceProcess service(kServiceExe, kCatalogue, {"--cut-after", "1000"});
  ASSERT_GT(service.port(), 0);
  const std::string url = service.url(std::string("/media/") + kFile);
  const std::string file = catalogueFile(kFile);
  Fetched whole = fetch(url);
  EXPECT_EQ(whole.curlCode, CURLE_PARTIAL_FILE);
  EXPECT_EQ(whole.header("Content-Length"), std::to_string(file.size()));
  EXPECT_TRUE(whole.body == file.substr(0, 1000));
  Fetched later = fetch(url, "Range: bytes=50000-");
  EXPECT_EQ(later.status, 206);
  EXPECT_TRUE(later.body == file.substr(50000, 1000));
  // Short ranges and the other routes are unaffected.
  EXPECT_EQ(fetch(url, "Range: bytes=0-99").curlCode, CURLE_OK);
  EXPECT_GT(net::HttpRequest(service.url("/api/songlist2?query=a&jsoncallback=c")).size(), 1000u);
}

TEST(SongMedia, LinkFaultFlags) {
  {
    SongServiceProcess service(kServiceExe, kCatalogue, {"--links-404"});
    ASSERT_GT(service.port(), 0);
    Fetched links = fetch(service.url(linksQuery("萤火", "林溪月")));
    EXPECT_EQ(links.status, 404);
    EXPECT_EQ(links.body.find("url\":\""), std::string::npos);
    EXPECT_EQ(fetch(service.url("/media/song-18.mp3"), "Range: bytes=0-9").status, 206) << "media still served";
  }
  {
    SongServiceProcess service(kServiceExe, kCatalogue, {"--links-no-url"});
    ASSERT_GT(service.port(), 0);
    Fetched links = fetch(service.url(linksQuery("萤火", "林溪月")));
    EXPECT_EQ(links.status, 200);
    EXPECT_EQ(links.body.find("url\":\""), std::string::npos);
    EXPECT_NE(links.body.find("title\":\""), std::string::npos);
  }
}

TEST(SongMedia, CommandLineMistakesAreRefused) {
  for (std::vector<std::string> flags : std::vector<std::vector<std::string>>{
           {"--slow", "0"}, {"--slow", "fast"}, {"--cut-after"}, {"--port", "70000"}, {"--loud"}}) {
    SongServiceProcess service(kServiceExe, kCatalogue, flags);
    EXPECT_EQ(service.port(), 0) << flags[0];
    EXPECT_EQ(service.stop(), 2) << flags[0];
  }
  SongServiceProcess noCatalogue(kServiceExe, "/nonexistent");
  EXPECT_EQ(noCatalogue.port(), 0);
}

}  // namespace
}  // namespace songservice::test
