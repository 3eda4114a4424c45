// HttpRequest against servers that misbehave on the wire. The cases run side by side, each
// on its own thread, under a short idle limit; each must give its documented text without
// crashing or waiting past its limit.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "net/HttpRequest.h"
#include "tests/support/FaultServer.h"

namespace net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testsupport::FaultScript;
using testsupport::FaultServer;
using testsupport::httpResponse;

constexpr auto kIdleLimit = 1000ms;
// Loopback exchanges end in milliseconds; this only absorbs a loaded machine.
constexpr auto kSlack = 3s;

class HttpFaults : public ::testing::Test {
 protected:
  void SetUp() override { SetHttpTimeoutForTesting(kIdleLimit); }
  void TearDown() override { SetHttpTimeoutForTesting(0ms); }
};

struct Outcome {
  std::string body;
  std::string headers;
  Clock::duration elapsed{};
};

Outcome fetch(const std::string& url) {
  Outcome outcome;
  auto start = Clock::now();
  outcome.body = HttpRequest(url, nullptr, std::nullopt, nullptr, {}, &outcome.headers);
  outcome.elapsed = Clock::now() - start;
  return outcome;
}

std::string okHead(const std::string& lines) { return "HTTP/1.1 200 OK\r\n" + lines + "Connection: close\r\n\r\n"; }

struct Case {
  const char* name;
  FaultScript script;
  std::string expected;
  // The longest the case may take, and the least (a case that must outlast the idle limit).
  Clock::duration atMost = kSlack;
  Clock::duration atLeast = 0ms;
};

TEST_F(HttpFaults, EachFaultGivesWhatArrivedWithinItsLimits) {
  const std::string jsonp = R"(jsonp1({"song":[{"songname":"ab","artistname":"c"},{"songname":"d)";
  std::vector<Case> cases;
  cases.push_back({"slow drip outlasts the idle limit",
                   FaultScript().send(okHead("Content-Length: 8\r\n")).drip("dripping", 200ms),
                   "dripping", kSlack + 1600ms, 1400ms});
  cases.push_back({"silent after the headers",
                   FaultScript().send(okHead("Content-Length: 10\r\n")).silenceForever(), "",
                   kIdleLimit + kSlack, kIdleLimit - 50ms});
  cases.push_back({"silent after half the body",
                   FaultScript().send(okHead("Content-Length: 10\r\n") + "half-").silenceForever(),
                   "half-", kIdleLimit + kSlack, kIdleLimit - 50ms});
  cases.push_back({"length shorter than the body",
                   FaultScript().send(okHead("Content-Length: 3\r\n") + "abcdef").silenceForever(),
                   "abc"});
  // Ends with the close, not with the idle limit.
  cases.push_back({"length longer than the body",
                   FaultScript().send(okHead("Content-Length: 100\r\n") + "abc"), "abc",
                   kIdleLimit - 100ms});
  cases.push_back({"huge length",
                   FaultScript().send(okHead("Content-Length: 9000000000000000000\r\n") + "abc"),
                   "abc", kIdleLimit - 100ms});
  cases.push_back({"length past 64 bits",
                   FaultScript().send(okHead("Content-Length: 99999999999999999999999\r\n") + "abc"),
                   "abc", kIdleLimit - 100ms});
  cases.push_back({"malformed chunk size",
                   FaultScript().send(okHead("Transfer-Encoding: chunked\r\n") +
                                      "5\r\nhello\r\nzz\r\nxyz\r\n0\r\n\r\n"),
                   "hello", kIdleLimit - 100ms});
  cases.push_back({"chunked body cut off",
                   FaultScript().send(okHead("Transfer-Encoding: chunked\r\n") +
                                      "5\r\nhello\r\n8\r\nabc"),
                   "helloabc", kIdleLimit - 100ms});
  cases.push_back({"1 MB header line",
                   FaultScript().send("HTTP/1.1 200 OK\r\nX-Big: " + std::string(1 << 20, 'b') +
                                      "\r\nContent-Length: 2\r\n\r\nok"),
                   ""});
  cases.push_back({"404 with a body",
                   FaultScript().send(httpResponse("404 Not Found", "Content-Length: 7\r\n", "missing")),
                   "missing"});
  cases.push_back({"500 with a body",
                   FaultScript().send(httpResponse("500 Oops", "Content-Length: 6\r\n", "broken")),
                   "broken"});
  cases.push_back({"reset in mid-body",
                   FaultScript().send(okHead("Content-Length: 100\r\n") + "abc").silence(200ms).reset(),
                   "abc", kIdleLimit - 100ms});
  cases.push_back({"JSONP answer cut off",
                   FaultScript().send(okHead("Content-Length: 500\r\n") + jsonp), jsonp,
                   kIdleLimit - 100ms});

  FaultServer server;
  std::vector<std::future<Outcome>> running;
  for (size_t i = 0; i < cases.size(); ++i) {
    std::string path = "/case" + std::to_string(i);
    server.on(path, cases[i].script);
    running.push_back(std::async(std::launch::async, fetch, server.url(path)));
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    Outcome outcome = running[i].get();
    EXPECT_EQ(outcome.body, cases[i].expected);
    EXPECT_LE(outcome.elapsed, cases[i].atMost);
    EXPECT_GE(outcome.elapsed, cases[i].atLeast);
  }
  // Paths without a script get the server's own 404 page.
  EXPECT_EQ(HttpRequest(server.url("/nowhere")), "not found");
}

TEST_F(HttpFaults, StatusLinesOfErrorPagesReachTheCaller) {
  FaultServer server;
  server.on("/gone", FaultScript().send(httpResponse("410 Gone", "Content-Length: 4\r\n", "gone")));
  Outcome outcome = fetch(server.url("/gone"));
  EXPECT_EQ(outcome.body, "gone");
  EXPECT_EQ(outcome.headers.rfind("HTTP/1.1 410 Gone\r\n", 0), 0u) << outcome.headers;
}

TEST_F(HttpFaults, RedirectLoopAndAServerThatHangsUpEndAtOnceWithEmptyText) {
  FaultServer server;
  server.on("/loop", FaultScript().send(httpResponse("302 Found",
                                                     "Location: /loop\r\nContent-Length: 0\r\n", "")));
  Outcome loop = fetch(server.url("/loop"));
  EXPECT_EQ(loop.body, "");
  EXPECT_LT(loop.elapsed, kSlack);
  EXPECT_GT(server.connections(), 2);
  EXPECT_LE(server.connections(), 40);  // a bounded number of hops

  FaultServer rude;
  rude.closeEveryConnectionAtAccept();
  Outcome hungUp = fetch(rude.url("/"));
  EXPECT_EQ(hungUp.body, "");
  EXPECT_EQ(hungUp.headers, "");
  EXPECT_LT(hungUp.elapsed, kIdleLimit);
  EXPECT_GE(rude.connections(), 1);
}

TEST_F(HttpFaults, RedirectsToHttpsAreFollowed) {
  // Not a TLS server: reaching it at all shows the redirect was taken; the failed handshake
  // then gives empty text.
  FaultServer secure(2s);
  secure.on("/", FaultScript().silenceForever());
  FaultServer server;
  server.on("/up", FaultScript().send(httpResponse(
                       "301 Moved", "Location: https://127.0.0.1:" + std::to_string(secure.port()) +
                                        "/\r\nContent-Length: 0\r\n", "")));
  Outcome outcome = fetch(server.url("/up"));
  EXPECT_EQ(outcome.body, "");
  EXPECT_EQ(secure.connections(), 1);
  EXPECT_LT(outcome.elapsed, kIdleLimit + kSlack);
}

TEST_F(HttpFaults, EndlessBodyStopsAtTheLimitInBoundedMemory) {
  FaultServer server;
  server.on("/endless", FaultScript().send(okHead("")).endless(std::string(64 * 1024, 'e')));
  std::uint64_t before = testsupport::residentBytes();
  std::atomic<std::uint64_t> peak{before};
  std::atomic<bool> done{false};
  std::thread sampler([&] {
    while (!done) {
      peak = std::max<std::uint64_t>(peak, testsupport::residentBytes());
      std::this_thread::sleep_for(5ms);
    }
  });
  Outcome outcome = fetch(server.url("/endless"));
  done = true;
  sampler.join();
  EXPECT_EQ(outcome.body.size(), kHttpBodyLimit);
  EXPECT_EQ(outcome.body.find_first_not_of('e'), std::string::npos);
  // The body, one copy while it grows, and room for the allocator.
  EXPECT_LT(peak - before,
            (4 * kHttpBodyLimit + (32u << 20)) * (1 + testsupport::kShadowBytesPerByte));
  EXPECT_LT(server.bytesSent(), 64u << 20);  // reading stopped soon after the limit
}

}  // namespace
}  // namespace net
