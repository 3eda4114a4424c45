// ScriptHttp on the wire (a bare listener records the request bytes) and against servers
// that answer with binary, oversized or no bodies.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/ScriptHttp.h"
#include "tests/net/http/RawHttpListener.h"
#include "tests/net/http/TestHttpServer.h"

namespace net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::RawHttpListener;
using test::TestHttpServer;

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello";

ByteBlock bytesOf(std::string_view text) { return ByteBlock(text.begin(), text.end()); }
std::string textOf(const ByteBlock& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string baseUrl(const RawHttpListener& listener) {
  return "http://127.0.0.1:" + std::to_string(listener.port());
}

std::string onlyRequest(const RawHttpListener& listener) {
  auto requests = listener.requests();
  if (requests.size() != 1) return "<" + std::to_string(requests.size()) + " requests>";
  return requests.front();
}

std::string headOf(const std::string& request) { return request.substr(0, request.find("\r\n\r\n") + 2); }
std::string bodyOf(const std::string& request) { return request.substr(request.find("\r\n\r\n") + 4); }

bool hasLine(const std::string& head, const std::string& line) {
  return head.find("\r\n" + line + "\r\n") != std::string::npos;
}

// Sends one request with the given verb and header to a fresh listener; its head.
std::string headSentFor(std::optional<std::string> verb, std::optional<std::string> name = std::nullopt,
                        std::optional<std::string> value = std::nullopt) {
  RawHttpListener listener(kOk);
  ByteBlock body = bytesOf("a=1&b=2");
  EXPECT_EQ(textOf(ScriptHttp(baseUrl(listener) + "/form", &verb, body, name, value)), "hello");
  return headOf(onlyRequest(listener));
}

TEST(ScriptHttpWire, ContentTypeRuleFollowsVerbAndGivenHeader) {
  const std::string form = "Content-Type: application/x-www-form-urlencoded";
  for (const char* post : {"post", "POST", "Post"}) {
    std::string head = headSentFor(post);
    EXPECT_EQ(head.rfind("POST /form HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_TRUE(hasLine(head, form)) << head;
  }
  std::string get = headSentFor("get");
  EXPECT_EQ(get.rfind("GET /form HTTP/1.1\r\n", 0), 0u) << get;
  EXPECT_EQ(get.find("Content-Type"), std::string::npos) << get;
  EXPECT_EQ(get.find("Content-Length"), std::string::npos) << "GET sends no body: " << get;

  // A given header stands in for the rule: the post then carries no form type at all.
  std::string withToken = headSentFor("post", "X-Token", "abc");
  EXPECT_TRUE(hasLine(withToken, "X-Token: abc")) << withToken;
  EXPECT_EQ(withToken.find("Content-Type"), std::string::npos) << withToken;
  std::string withType = headSentFor("POST", "Content-Type", "text/plain");
  EXPECT_TRUE(hasLine(withType, "Content-Type: text/plain")) << withType;
  EXPECT_EQ(withType.find("urlencoded"), std::string::npos) << withType;

  std::string put = headSentFor("put");
  EXPECT_EQ(put.rfind("PUT /form HTTP/1.1\r\n", 0), 0u) << put;
  EXPECT_EQ(put.find("Content-Type"), std::string::npos) << put;
}

TEST(ScriptHttpWire, OmittedVerbBecomesGetInTheCallersVariable) {
  RawHttpListener listener(kOk);
  std::optional<std::string> verb;
  EXPECT_EQ(textOf(ScriptHttp(baseUrl(listener) + "/a b/\xE6\xAD\x8C", &verb)), "hello");
  EXPECT_EQ(verb, std::optional<std::string>("get"));
  // Blanks and bytes above ASCII go out escaped.
  EXPECT_EQ(onlyRequest(listener).rfind("GET /a%20b/%E6%AD%8C HTTP/1.1\r\n", 0), 0u) << onlyRequest(listener);

  RawHttpListener second(kOk);
  EXPECT_EQ(textOf(ScriptHttp(baseUrl(second))), "hello");
  EXPECT_EQ(onlyRequest(second).rfind("GET / HTTP/1.1\r\n", 0), 0u);
}

TEST(ScriptHttpWire, CredentialsAndBodyBytesArriveUnchanged) {
  RawHttpListener listener(kOk);
  std::optional<std::string> verb = "POST";
  const std::string raw("\x00\x01zero\x00\xFF\r\n\x00", 11);
  ASSERT_EQ(textOf(ScriptHttp(baseUrl(listener) + "/up", &verb, bytesOf(raw), std::nullopt, std::nullopt,
                              std::string("user"), std::string("pa:ss"))),
            "hello");
  std::string sent = onlyRequest(listener);
  EXPECT_TRUE(hasLine(headOf(sent), "Authorization: Basic dXNlcjpwYTpzcw==")) << sent;  // user:pa:ss
  EXPECT_TRUE(hasLine(headOf(sent), "Content-Length: 11")) << sent;
  EXPECT_EQ(bodyOf(sent), raw);

  // A password alone is not used.
  RawHttpListener anonymous(kOk);
  ScriptHttp(baseUrl(anonymous), nullptr, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
             std::string("secret"));
  EXPECT_EQ(onlyRequest(anonymous).find("Authorization"), std::string::npos);
}

TEST(ScriptHttpWire, UnsafeRequestsAreRefusedBeforeAnythingIsSent) {
  RawHttpListener listener(kOk);
  const std::string url = baseUrl(listener) + "/p";
  EXPECT_TRUE(ScriptHttp(url, nullptr, std::nullopt, std::string("X-A"), std::string("1\r\nX-Injected: 2")).empty());
  EXPECT_TRUE(ScriptHttp(url, nullptr, std::nullopt, std::string("Bad Name"), std::string("1")).empty());
  EXPECT_TRUE(ScriptHttp(url, nullptr, std::nullopt, std::string(""), std::string("1")).empty());
  EXPECT_TRUE(ScriptHttp(url + "\r\nX-Injected: 1").empty());
  std::optional<std::string> badVerb = "GET /other";
  EXPECT_TRUE(ScriptHttp(url, &badVerb).empty());
  EXPECT_TRUE(ScriptHttp("file:///etc/passwd").empty());
  EXPECT_TRUE(ScriptHttp("ftp://127.0.0.1:" + std::to_string(listener.port()) + "/").empty());
  EXPECT_TRUE(ScriptHttp("").empty());
  EXPECT_EQ(listener.connections(), 0);
}

TEST(ScriptHttpBodies, BinaryAndErrorBodiesComeBackWhole) {
  std::string binary;
  for (int round = 0; round < 300; ++round)
    for (int byte = 0; byte < 256; ++byte) binary += static_cast<char>(byte);
  TestHttpServer server([&](httplib::Server& routes) {
    routes.Get("/bin", [&](const httplib::Request&, httplib::Response& r) {
      r.set_content(binary, "application/octet-stream");
    });
    routes.Get("/missing", [](const httplib::Request&, httplib::Response& r) {
      r.status = 404;
      r.set_content(std::string("gone\0!", 6), "text/plain");
    });
    routes.Get("/hop", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/bin"); });
    routes.Get("/escape", [](const httplib::Request&, httplib::Response& r) {
      r.set_redirect("file:///etc/hostname");
    });
  });
  EXPECT_EQ(textOf(ScriptHttp(server.url("/bin"))), binary);
  EXPECT_EQ(textOf(ScriptHttp(server.url("/missing"))), std::string("gone\0!", 6));
  EXPECT_EQ(textOf(ScriptHttp(server.url("/hop"))), binary);
  EXPECT_TRUE(ScriptHttp(server.url("/escape")).empty());
}

class ScriptHttpLimits : public ::testing::Test {
 protected:
  void TearDown() override { SetScriptHttpTimeoutsForTesting(0ms, 0ms); }
};

TEST_F(ScriptHttpLimits, OversizedSilentOrRefusedExchangesGiveEmptyInBoundedTime) {
  const std::size_t oversized = kScriptHttpBodyLimit + 1024 * 1024;
  TestHttpServer server([&](httplib::Server& routes) {
    routes.Get("/declared", [&](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string(oversized, 'x'), "application/octet-stream");
    });
    // Chunked, so nothing announces the size before the bytes pile up.
    routes.Get("/endless", [](const httplib::Request&, httplib::Response& r) {
      r.set_chunked_content_provider("application/octet-stream", [](size_t, httplib::DataSink& sink) {
        static const std::string block(1 << 20, 'y');
        return sink.write(block.data(), block.size());
      });
    });
    routes.Get("/limit", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string(kScriptHttpBodyLimit, 'z'), "application/octet-stream");
    });
  });
  EXPECT_TRUE(ScriptHttp(server.url("/declared")).empty());
  EXPECT_TRUE(ScriptHttp(server.url("/endless")).empty());
  EXPECT_EQ(ScriptHttp(server.url("/limit")).size(), kScriptHttpBodyLimit);

  SetScriptHttpTimeoutsForTesting(500ms, 1000ms);
  RawHttpListener silent{RawHttpListener::NeverAnswer{}};
  auto start = Clock::now();
  EXPECT_TRUE(ScriptHttp(baseUrl(silent) + "/p.jpg").empty());
  auto took = Clock::now() - start;
  EXPECT_GE(took, 900ms);
  EXPECT_LT(took, 4s);

  int closedPort = 0;
  {
    RawHttpListener gone(kOk);
    closedPort = gone.port();
  }
  start = Clock::now();
  EXPECT_TRUE(ScriptHttp("http://127.0.0.1:" + std::to_string(closedPort) + "/p.jpg").empty());
  EXPECT_LT(Clock::now() - start, 3s);
}

}  // namespace
}  // namespace net
