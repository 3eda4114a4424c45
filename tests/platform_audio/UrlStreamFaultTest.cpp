// URL streams from servers that misbehave on the wire. Cases that share an outcome run side
// by side on their own threads; each must end in its documented state within its limit.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "platform/audio/HttpSource.h"
#include "tests/support/FaultServer.h"

using namespace audiotest;
using namespace std::chrono_literals;
using testsupport::FaultScript;
using testsupport::FaultServer;
using testsupport::httpResponse;

namespace {

using Clock = std::chrono::steady_clock;

// The creation budget that Bass.h documents, and what a loaded machine may add to it.
constexpr auto kCreateBudget = 5s;
constexpr auto kSlack = 2s;
// The most one URL stream may hold, whatever the server sends.
constexpr std::uint64_t kStreamMemoryBound = platform::audio::HttpSource::kWindowBytes;

std::string asText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::string okHead(const std::string& lines) {
  return "HTTP/1.1 200 OK\r\n" + lines + "Connection: close\r\n\r\n";
}

std::string lengthHead(std::size_t length) {
  return okHead("Content-Length: " + std::to_string(length) + "\r\n");
}

std::string chunked(const std::string& data) {
  std::string out;
  for (std::size_t at = 0; at < data.size(); at += 4096) {
    std::string piece = data.substr(at, 4096);
    char size[16];
    std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
    out += size + piece + "\r\n";
  }
  return out;
}

struct Created {
  HSTREAM stream = 0;
  int error = BASS_OK;
  Clock::duration elapsed{};
};

Created create(const std::string& url) {
  Created created;
  auto start = Clock::now();
  created.stream = BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
  created.error = BASS_ErrorGetCode();
  created.elapsed = Clock::now() - start;
  return created;
}

// Tracks the largest resident size seen while it lives.
class PeakMemory {
 public:
  PeakMemory() : before_(testsupport::residentBytes()), peak_(before_) {
    thread_ = std::thread([this] {
      while (!done_) {
        std::uint64_t now = testsupport::residentBytes();
        if (now > peak_) peak_ = now;
        std::this_thread::sleep_for(5ms);
      }
    });
  }
  ~PeakMemory() { stop(); }
  std::uint64_t growth() {
    stop();
    return peak_ - before_;
  }

 private:
  void stop() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
  }
  const std::uint64_t before_;
  std::atomic<std::uint64_t> peak_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

struct FailingCase {
  const char* name;
  FaultScript script;
  int error;
  Clock::duration atMost = kSlack;
};

TEST(UrlStreamFaults, CreationFailsWithTheRightCodeWithinTheBudget) {
  const std::string song = asText(readFile(media("talk.mp3")));
  ASSERT_FALSE(song.empty());
  const std::string jsonp = R"(jsonp1({"song":[{"songname":"ab","artistname":"c"},{"songname":"d)";
  FaultServer ftp;
  FaultServer server;
  std::vector<FailingCase> cases;
  cases.push_back({"slow drip", FaultScript().drip(lengthHead(song.size()) + song, 200ms),
                   BASS_ERROR_TIMEOUT, kCreateBudget + kSlack});
  cases.push_back({"silent after the headers",
                   FaultScript().send(lengthHead(song.size())).silenceForever(), BASS_ERROR_TIMEOUT,
                   kCreateBudget + kSlack});
  cases.push_back({"huge length", FaultScript().send(okHead("Content-Length: 9000000000000000000\r\n") + song),
                   BASS_ERROR_FILEOPEN});
  cases.push_back({"huge range total",
                   FaultScript().send("HTTP/1.1 206 Partial Content\r\n"
                                      "Content-Range: bytes 0-8999999999999999999/9000000000000000000\r\n"
                                      "Content-Length: 9000000000000000000\r\nConnection: close\r\n\r\n" +
                                      song),
                   BASS_ERROR_FILEOPEN});
  cases.push_back({"1 MB header line",
                   FaultScript().send(okHead("X-Big: " + std::string(1 << 20, 'b') + "\r\nContent-Length: " +
                                             std::to_string(song.size()) + "\r\n") +
                                      song),
                   BASS_ERROR_FILEOPEN});
  cases.push_back({"404 with a body",
                   FaultScript().send(httpResponse("404 Not Found", "Content-Length: 7\r\n", "missing")),
                   BASS_ERROR_FILEOPEN});
  cases.push_back({"500 with a body",
                   FaultScript().send(httpResponse("500 Oops", "Content-Length: 6\r\n", "broken")),
                   BASS_ERROR_FILEOPEN});
  const FaultScript loop =
      FaultScript().send(httpResponse("302 Found", "Location: /loop\r\nContent-Length: 0\r\n", ""));
  server.on("/loop", loop);
  cases.push_back({"redirect loop", loop, BASS_ERROR_FILEOPEN});
  // A real song behind it: following the redirect would open a stream.
  cases.push_back({"redirect to file://",
                   FaultScript().send(httpResponse(
                       "302 Found", "Location: file://" + media("talk.mp3") + "\r\nContent-Length: 0\r\n", "")),
                   BASS_ERROR_FILEOPEN});
  cases.push_back({"redirect to ftp://",
                   FaultScript().send(httpResponse(
                       "302 Found",
                       "Location: ftp://127.0.0.1:" + std::to_string(ftp.port()) + "/talk.mp3\r\nContent-Length: 0\r\n",
                       "")),
                   BASS_ERROR_FILEOPEN});
  cases.push_back({"JSONP answer cut off", FaultScript().send(lengthHead(500) + jsonp),
                   BASS_ERROR_FILEFORM});
  cases.push_back({"reset before the body", FaultScript().send(lengthHead(song.size())).silence(100ms).reset(),
                   BASS_ERROR_FILEFORM});
  cases.push_back({"malformed chunk size first",
                   FaultScript().send(okHead("Transfer-Encoding: chunked\r\n") + "zz\r\n" + song),
                   BASS_ERROR_FILEFORM});

  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  PeakMemory memory;
  std::vector<std::future<Created>> running;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::string path = "/case" + std::to_string(i);
    server.on(path, cases[i].script);
    running.push_back(std::async(std::launch::async, create, server.url(path)));
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    Created created = running[i].get();
    EXPECT_EQ(created.stream, 0u);
    EXPECT_EQ(created.error, cases[i].error);
    EXPECT_LE(created.elapsed, cases[i].atMost);
  }
  // None of them may have held more than one stream's worth, all together.
  EXPECT_LT(memory.growth(), kStreamMemoryBound * (1 + testsupport::kShadowBytesPerByte));
  EXPECT_EQ(ftp.connections(), 0);
  EXPECT_LE(server.connections(), static_cast<int>(cases.size()) + 40);  // the loop is cut short

  FaultServer rude;
  rude.closeEveryConnectionAtAccept();
  Created hungUp = create(rude.url("/song.mp3"));
  EXPECT_EQ(hungUp.stream, 0u);
  EXPECT_EQ(hungUp.error, BASS_ERROR_FILEOPEN);
  EXPECT_LE(hungUp.elapsed, kSlack);
  EXPECT_TRUE(BASS_Free());
}

struct PlayingCase {
  const char* name;
  FaultScript script;
  // The share of the song that arrives, in percent.
  int percent;
};

TEST(UrlStreamFaults, ABrokenBodyPlaysWhatArrivedThenEnds) {
  const std::string song = asText(readFile(media("talk.mp3")));
  const std::string half = song.substr(0, song.size() / 2);
  std::vector<PlayingCase> cases;
  cases.push_back({"length shorter than the body", FaultScript().send(lengthHead(half.size()) + song), 50});
  cases.push_back({"length longer than the body", FaultScript().send(lengthHead(song.size() + 100000) + song), 100});
  cases.push_back({"reset in mid-body",
                   FaultScript().send(lengthHead(song.size()) + half).silence(300ms).reset(), 50});
  cases.push_back({"malformed chunk size in mid-body",
                   FaultScript().send(okHead("Transfer-Encoding: chunked\r\n") + chunked(half) + "zz\r\n" + song),
                   50});
  cases.push_back({"chunked body cut off",
                   FaultScript().send(okHead("Transfer-Encoding: chunked\r\n") + chunked(half) + "1000\r\nabc"), 50});

  FaultServer server;
  CaptureSession session(20.0);
  ASSERT_TRUE(session.ready());
  std::vector<HSTREAM> streams;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::string path = "/case" + std::to_string(i) + ".mp3";
    server.on(path, cases[i].script);
    streams.push_back(create(server.url(path)).stream);
  }
  QWORD whole = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ASSERT_NE(streams[i], 0u) << BASS_ErrorGetCode();
    EXPECT_TRUE(BASS_ChannelPlay(streams[i], TRUE));
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(streams[i]) == BASS_ACTIVE_STOPPED; }, 10s));
    EXPECT_EQ(BASS_StreamGetFilePosition(streams[i], BASS_FILEPOS_CONNECTED), 0u);
    QWORD heard = BASS_ChannelGetPosition(streams[i], BASS_POS_BYTE);
    if (cases[i].percent == 100) whole = heard;
    QWORD download = BASS_StreamGetFilePosition(streams[i], BASS_FILEPOS_DOWNLOAD);
    EXPECT_GE(download, song.size() * cases[i].percent / 100 - 4096);
    EXPECT_LE(download, song.size() * cases[i].percent / 100 + 4096);
  }
  // Each played up to where its data ran out, no further.
  ASSERT_GT(whole, 0u);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    double share = static_cast<double>(BASS_ChannelGetPosition(streams[i], BASS_POS_BYTE)) / static_cast<double>(whole);
    EXPECT_NEAR(share * 100, cases[i].percent, 8);
  }
}

TEST(UrlStreamFaults, AServerSilentInMidBodyStallsTheStreamWhichStillFreesAtOnce) {
  const std::string song = asText(readFile(media("talk.mp3")));
  FaultServer server;
  server.on("/half.mp3",
            FaultScript().send(lengthHead(song.size()) + song.substr(0, song.size() / 2)).silenceForever());
  CaptureSession session(20.0);
  ASSERT_TRUE(session.ready());
  Created created = create(server.url("/half.mp3"));
  ASSERT_NE(created.stream, 0u) << created.error;
  ASSERT_TRUE(BASS_ChannelPlay(created.stream, TRUE));
  // Stalled once what arrived has been played, not while it waits for its first data.
  ASSERT_TRUE(waitFor([&] {
    return BASS_ChannelIsActive(created.stream) == BASS_ACTIVE_STALLED &&
           BASS_ChannelGetPosition(created.stream, BASS_POS_BYTE) > 0;
  }, 5s));
  QWORD stalledAt = BASS_ChannelGetPosition(created.stream, BASS_POS_BYTE);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(BASS_ChannelIsActive(created.stream), BASS_ACTIVE_STALLED);
  EXPECT_EQ(BASS_ChannelGetPosition(created.stream, BASS_POS_BYTE), stalledAt);
  EXPECT_EQ(BASS_StreamGetFilePosition(created.stream, BASS_FILEPOS_CONNECTED), 1u);
  auto start = Clock::now();
  EXPECT_TRUE(BASS_StreamFree(created.stream));
  EXPECT_LT(Clock::now() - start, 1s);
}

TEST(UrlStreamFaults, AnEndlessBodyDownloadsInBoundedMemory) {
  const std::string song = asText(readFile(media("tone.mp3")));
  FaultServer server;
  server.on("/radio", FaultScript().send(okHead("Content-Type: audio/mpeg\r\n")).endless(song));
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  PeakMemory memory;
  Created created = create(server.url("/radio"));
  ASSERT_NE(created.stream, 0u) << created.error;
  ASSERT_TRUE(BASS_ChannelPlay(created.stream, TRUE));
  // Loopback carries several times the bound in this time; under Wine on a loaded machine
  // it may take longer to reach half of it.
  std::this_thread::sleep_for(3s);
  waitFor([&] { return server.bytesSent() > kStreamMemoryBound / 2; }, 10s);
  // The download waits for the player once the window is full; the sockets hold a little.
  EXPECT_LT(server.bytesSent(), kStreamMemoryBound + (16u << 20));
  EXPECT_EQ(BASS_ChannelIsActive(created.stream), BASS_ACTIVE_PLAYING);
  EXPECT_GT(server.bytesSent(), kStreamMemoryBound / 2);  // the download did run
  EXPECT_LT(memory.growth(), kStreamMemoryBound * (1 + testsupport::kShadowBytesPerByte) + (32u << 20));
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
