// How HttpRequest deals with what servers answer: redirects, cookies, response headers,
// slow, silent, endless and odd bodies, unreachable ports, several threads at once.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "net/HttpRequest.h"
#include "tests/net/http/RawHttpListener.h"
#include "tests/net/http/TestHttpServer.h"
#include "tests/support/TestSocket.h"

namespace net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::RawHttpListener;
using test::TestHttpServer;

class HttpExchange : public ::testing::Test {
 protected:
  void TearDown() override {
    SetHttpTimeoutForTesting(0ms);
    SetHttpPumpHook({});
  }
};

// A socket bound to a free port and listening with no room in its queue: the kernel
// drops further connection attempts, so a connect hangs until its time-out.
class FullBacklog {
 public:
  FullBacklog() : listener_(testsupport::listenOnLoopback(0)), filler_(testsupport::connectToLoopback(listener_.port)) {}
  ~FullBacklog() {
    if (filler_ != testsupport::kNoSocket) testsupport::closeSocket(filler_);
    testsupport::closeSocket(listener_.socket);
  }
  int port() const { return listener_.port; }

 private:
  testsupport::LoopbackSocket listener_;
  testsupport::SocketHandle filler_;
};

int closedPort() { return testsupport::closedLoopbackPort(); }

TEST_F(HttpExchange, ReturnsTheBodyWhateverTheStatusAndTheRawFinalHeaderBlock) {
  const std::string longValue(3000, 'v');
  TestHttpServer server([&](httplib::Server& s) {
    s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("not here", "text/plain");
    });
    s.Get("/headers", [&](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-Long", longValue);
      res.set_content("ok", "text/plain");
    });
  });
  std::string headers;
  EXPECT_EQ(HttpRequest(server.url("/missing"), nullptr, std::nullopt, nullptr, {}, &headers),
            "not here");
  EXPECT_EQ(headers.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u) << headers;

  // Far longer than a fixed 1024-byte buffer: the whole block still comes back.
  EXPECT_EQ(HttpRequest(server.url("/headers"), nullptr, std::nullopt, nullptr, {}, &headers),
            "ok");
  EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << headers;
  EXPECT_NE(headers.find("\r\nX-Long: " + longValue + "\r\n"), std::string::npos);
  EXPECT_NE(headers.find("\r\nContent-Length: 2\r\n"), std::string::npos);
  EXPECT_EQ(headers.substr(headers.size() - 4), "\r\n\r\n");
}

TEST_F(HttpExchange, FollowsRedirectsOverHttpAndKeepsTheReferer) {
  TestHttpServer server([](httplib::Server& s) {
    s.Get("/from",
          [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/to"); });
    s.Post("/from",
           [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/to", 303); });
    s.Get("/to", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("landed from " + req.get_header_value("Referer"), "text/plain");
    });
  });
  std::string url = server.url("/from");
  std::string responseHeaders;
  EXPECT_EQ(HttpRequest(url, nullptr, std::nullopt, nullptr, {}, &responseHeaders),
            "landed from " + url);
  EXPECT_EQ(responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << responseHeaders;
  EXPECT_EQ(responseHeaders.find("302"), std::string::npos);

  // The form lines of the POST must not follow it into the GET, or the server would wait
  // for a body that never comes.
  std::string method = "POST";
  EXPECT_EQ(HttpRequest(url, &method, std::nullopt, nullptr, "a=1"), "landed from " + url);
}

TEST_F(HttpExchange, RefusesRedirectsToOtherSchemes) {
  RawHttpListener ftp("220 hello\r\n");
  std::string secretPath = testing::TempDir() + "tunora_redirect_secret.txt";
  FILE* file = std::fopen(secretPath.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("secret", file);
  std::fclose(file);
  TestHttpServer server([&](httplib::Server& s) {
    s.Get("/ftp", [&](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("ftp://127.0.0.1:" + std::to_string(ftp.port()) + "/x");
    });
    s.Get("/file", [&](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("file://" + secretPath);
    });
  });
  EXPECT_EQ(HttpRequest(server.url("/ftp")), "");
  EXPECT_EQ(HttpRequest(server.url("/file")), "");
  EXPECT_EQ(ftp.connections(), 0);
  std::remove(secretPath.c_str());
}

TEST_F(HttpExchange, CookiesAreSharedByAllRequestsOnAllThreads) {
  // A path of its own: no other test's exact request, nor a repeat of this one, may pick
  // up these cookies.
  static int run = 0;
  const std::string jar = "/jar" + std::to_string(++run);
  TestHttpServer server([&](httplib::Server& s) {
    s.Get(jar + "/set", [&](const httplib::Request& req, httplib::Response& res) {
      res.set_header("Set-Cookie", req.get_param_value("name") + "=crumb; Path=" + jar);
      res.set_content("set", "text/plain");
    });
    s.Get(jar + "/echo", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
  });
  ASSERT_EQ(HttpRequest(server.url(jar + "/set?name=shared")), "set");
  EXPECT_EQ(HttpRequest(server.url(jar + "/echo")), "shared=crumb");

  constexpr int kThreads = 4;
  std::vector<std::string> seen(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      HttpRequest(server.url(jar + "/set?name=t" + std::to_string(i)));
      seen[i] = HttpRequest(server.url(jar + "/echo"));
    });
  }
  for (auto& thread : threads) thread.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_NE(seen[i].find("shared=crumb"), std::string::npos) << seen[i];
    EXPECT_NE(seen[i].find("t" + std::to_string(i) + "=crumb"), std::string::npos) << seen[i];
  }
}

TEST_F(HttpExchange, BodyEndsAtItsFirstZeroByte) {
  TestHttpServer server([](httplib::Server& s) {
    s.Get("/zero", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string("abc\0def", 7), "application/octet-stream");
    });
  });
  EXPECT_EQ(HttpRequest(server.url("/zero")), "abc");
}

TEST_F(HttpExchange, EndlessBodyStopsAtTheLimitAndEndlessHeadersAreAbandoned) {
  TestHttpServer server([](httplib::Server& s) {
    s.Get("/endless", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [](size_t, httplib::DataSink& sink) {
        const std::string chunk(64 * 1024, 'z');
        // Bounded only so that a broken client cannot keep the test running forever.
        for (size_t sent = 0; sent < 4 * kHttpBodyLimit; sent += chunk.size())
          if (!sink.write(chunk.data(), chunk.size())) return false;
        sink.done();
        return true;
      });
    });
  });
  std::string body = HttpRequest(server.url("/endless"));
  EXPECT_EQ(body.size(), kHttpBodyLimit);
  EXPECT_EQ(body.find_first_not_of('z'), std::string::npos);

  std::string flood = "HTTP/1.1 200 OK\r\n";
  while (flood.size() <= kHttpHeaderLimit) flood += "X-Flood: " + std::string(1000, 'f') + "\r\n";
  RawHttpListener flooding(flood + "Content-Length: 2\r\n\r\nok");
  std::string responseHeaders;
  EXPECT_EQ(HttpRequest("http://127.0.0.1:" + std::to_string(flooding.port()) + "/", nullptr,
                        std::nullopt, nullptr, {}, &responseHeaders),
            "");
  EXPECT_LE(responseHeaders.size(), kHttpHeaderLimit);
}

TEST_F(HttpExchange, ClosedPortGivesEmptyTextAtOnce) {
  auto start = Clock::now();
  EXPECT_EQ(HttpRequest("http://127.0.0.1:" + std::to_string(closedPort()) + "/"), "");
  EXPECT_LT(Clock::now() - start, kHttpTimeout / 2);
}

TEST_F(HttpExchange, ConnectThatNeverCompletesTimesOut) {
  SetHttpTimeoutForTesting(300ms);
  FullBacklog backlog;
  auto start = Clock::now();
  EXPECT_EQ(HttpRequest("http://127.0.0.1:" + std::to_string(backlog.port()) + "/"), "");
  auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, 250ms);  // libcurl's timer may fire a hair early
  EXPECT_LT(elapsed, 5s);
}

TEST_F(HttpExchange, SilentServerTimesOutWithEmptyText) {
  SetHttpTimeoutForTesting(300ms);
  RawHttpListener silent{RawHttpListener::NeverAnswer{}};
  auto start = Clock::now();
  EXPECT_EQ(HttpRequest("http://127.0.0.1:" + std::to_string(silent.port()) + "/"), "");
  auto elapsed = Clock::now() - start;
  EXPECT_EQ(silent.connections(), 1);
  EXPECT_GE(elapsed, 250ms);  // libcurl's timer may fire a hair early
  EXPECT_LT(elapsed, 5s);
}

TEST_F(HttpExchange, BodyThatStallsHalfwayReturnsWhatArrived) {
  SetHttpTimeoutForTesting(300ms);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  TestHttpServer server([&](httplib::Server& s) {
    s.Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [&](size_t, httplib::DataSink& sink) {
        sink.write("partial", 7);
        released.wait_for(10s);
        return false;
      });
    });
  });
  EXPECT_EQ(HttpRequest(server.url("/stall")), "partial");
  release.set_value();
}

TEST_F(HttpExchange, SlowBodyOutlastsTheIdleLimitAndKeepsThePumpGoing) {
  constexpr int kChunks = 8;
  SetHttpTimeoutForTesting(400ms);  // the whole body takes about twice that
  std::atomic<int> chunksSent{0};
  TestHttpServer server([&](httplib::Server& s) {
    s.Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [&](size_t, httplib::DataSink& sink) {
        for (int i = 0; i < kChunks; ++i) {
          if (i > 0) std::this_thread::sleep_for(100ms);
          if (!sink.write("chunk;", 6)) return false;
          chunksSent = i + 1;
        }
        sink.done();
        return true;
      });
    });
  });
  std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> pumpsMidBody{0};
  std::atomic<bool> pumpedElsewhere{false};
  SetHttpPumpHook([&] {
    if (std::this_thread::get_id() != caller) pumpedElsewhere = true;
    int sent = chunksSent;
    if (sent > 0 && sent < kChunks) ++pumpsMidBody;
  });
  std::string expected;
  for (int i = 0; i < kChunks; ++i) expected += "chunk;";
  EXPECT_EQ(HttpRequest(server.url("/slow")), expected);
  EXPECT_GE(pumpsMidBody, kChunks);
  EXPECT_FALSE(pumpedElsewhere);
}

}  // namespace
}  // namespace net
