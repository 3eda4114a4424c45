// The singer-picture lookup against local servers: a bare listener gives the lookup
// reply and records the request, a second server serves the picture; and once against
// the demo song service with the real catalogue.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "audio/AudioEngine.h"
#include "net/ScriptHttp.h"
#include "platform/gfx/ImageDecoder.h"
#include "platform/text/CodePage.h"
#include "tests/net/http/RawHttpListener.h"
#include "tests/net/http/TestHttpServer.h"

#ifdef TUNORA_SONG_SERVICE_TESTS
#include "tests/support/SongServiceProcess.h"
#endif

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using net::test::RawHttpListener;
using net::test::TestHttpServer;
using platform::system::ByteBlock;

constexpr char kPictureBytes[] = "\xFF\xD8\xFF\xE0\0\x10JFIF\0picture\0\0\xFF\xD9";
const std::string kPicture(kPictureBytes, sizeof kPictureBytes - 1);

std::string reply(const std::string& json) {
  return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(json.size()) +
         "\r\nConnection: close\r\n\r\n" + json;
}

std::string hostOf(int port) { return "127.0.0.1:" + std::to_string(port); }

std::string escapedSlashes(const std::string& address) {
  std::string out;
  for (char c : address) out += c == '/' ? std::string("\\/") : std::string(1, c);
  return out;
}

std::string requestLine(const RawHttpListener& listener) {
  auto requests = listener.requests();
  if (requests.size() != 1) return "<" + std::to_string(requests.size()) + " requests>";
  return requests.front().substr(0, requests.front().find("\r\n"));
}

// Serves the picture at /p.jpg and counts every request it gets.
class PictureServer {
 public:
  PictureServer()
      : server_([this](httplib::Server& routes) {
          routes.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            ++hits_;
            if (request.path == "/p.jpg") response.set_content(kPicture, "image/jpeg");
            else response.status = 404;
          });
        }) {}
  std::string host() const { return hostOf(server_.port()); }
  int hits() const { return hits_; }

 private:
  std::atomic<int> hits_{0};
  TestHttpServer server_;
};

ByteBlock lookUp(const RawHttpListener& lookup, std::string singer) {
  audio::AudioEngine engine;
  engine.SetPictureServiceHost(hostOf(lookup.port()));
  return engine.LookupSingerPicture(singer);
}

TEST(SingerPicture, EscapedAddressIsDownloadedAndNamesAreEncoded) {
  PictureServer pictures;
  const std::string answer = "{\"status\":1,\"url\":\"" + escapedSlashes("http://" + pictures.host() + "/p.jpg") +
                             "\",\"size\":120}";
  struct Case {
    std::string singer;  // GBK
    std::string query;
  };
  const Case cases[] = {
      {platform::text::utf8ToAnsi("苏晴岚"), "%E8%8B%8F%E6%99%B4%E5%B2%9A"},
      // The blank stays a blank in the query and goes out as %20 on the request line.
      {"AC/DC & Co", "AC%2FDC%20%26%20Co"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    RawHttpListener lookup(reply(answer));
    std::string singer = c.singer;
    audio::AudioEngine engine;
    engine.SetPictureServiceHost(hostOf(lookup.port()));
    ByteBlock picture = engine.LookupSingerPicture(singer);
    EXPECT_EQ(std::string(picture.begin(), picture.end()), kPicture);
    EXPECT_EQ(singer, c.singer);
    EXPECT_EQ(requestLine(lookup),
              "GET /new/app/i/yueku.php?singer=" + c.query + "&cmd=104&type=softhead&size=120 HTTP/1.1");
  }
  EXPECT_EQ(pictures.hits(), 2);
}

TEST(SingerPicture, NoAddressMeansOneRequestAndNoDownload) {
  PictureServer pictures;
  const std::string unrelated = "{\"status\":1,\"picture\":\"http:\\/\\/" + pictures.host() + "\\/p.jpg\"}";
  // A hostile reply: megabytes of JSON-looking text without the marker.
  std::string flood = "{\"list\":[";
  while (flood.size() < 6 * 1024 * 1024) flood += "{\"name\":\"x\",\"uri\":\"http:\\/\\/h\\/p.jpg\"},";
  flood += "{}]}";
  for (const std::string& json : {std::string("{\"status\":0,\"error\":\"no such singer\"}"),
                                  std::string("{\"url\":\"\",\"status\":1}"), std::string(),
                                  std::string("{\"url\":\"http:\\/\\/unterminated"), unrelated, flood}) {
    SCOPED_TRACE(json.substr(0, 60));
    RawHttpListener lookup(reply(json));
    EXPECT_TRUE(lookUp(lookup, "Nora Quill").empty());
    EXPECT_EQ(lookup.requests().size(), 1u);
  }
  EXPECT_EQ(pictures.hits(), 0);

  // Without a service host nothing is asked at all.
  audio::AudioEngine unset;
  std::string singer = "Nora Quill";
  EXPECT_TRUE(unset.LookupSingerPicture(singer).empty());
}

TEST(SingerPicture, AddressThatCannotBeFetchedGivesEmptyInBoundedTime) {
  net::SetScriptHttpTimeoutsForTesting(500ms, 1000ms);
  RawHttpListener silent{RawHttpListener::NeverAnswer{}};
  int closedPort = 0;
  {
    RawHttpListener gone(reply("{}"));
    closedPort = gone.port();
  }
  for (const std::string& address :
       {"http://" + hostOf(closedPort) + "/p.jpg", "http://" + hostOf(silent.port()) + "/p.jpg",
        std::string("file:///etc/hostname"), std::string("ftp://127.0.0.1/p.jpg")}) {
    SCOPED_TRACE(address);
    RawHttpListener lookup(reply("{\"url\":\"" + escapedSlashes(address) + "\"}"));
    auto start = Clock::now();
    EXPECT_TRUE(lookUp(lookup, "Nora Quill").empty());
    EXPECT_LT(Clock::now() - start, 4s);
  }
  net::SetScriptHttpTimeoutsForTesting(0ms, 0ms);
}

#ifdef TUNORA_SONG_SERVICE_TESTS
TEST(SingerPictureFromService, CatalogueSingersHaveHeadPicturesThatDecode) {
  testsupport::SongServiceProcess service(TUNORA_SONG_SERVICE_EXE, TUNORA_SONG_CATALOGUE_DIR);
  ASSERT_NE(service.port(), 0);
  audio::AudioEngine engine;
  engine.SetPictureServiceHost(hostOf(service.port()));
  for (const char* name : {"苏晴岚", "Aurelia Finch"}) {
    SCOPED_TRACE(name);
    std::string singer = platform::text::utf8ToAnsi(name);
    ByteBlock picture = engine.LookupSingerPicture(singer);
    auto image = platform::gfx::ImageDecoder::decode(picture);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 120);
    EXPECT_EQ(image->height(), 120);
  }
  std::string unknown = platform::text::utf8ToAnsi("无此歌手");
  EXPECT_TRUE(engine.LookupSingerPicture(unknown).empty());
}
#endif

}  // namespace
