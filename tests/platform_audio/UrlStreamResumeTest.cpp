// URL streams whose connection breaks in mid-song: what arrives after the break continues
// what was there, answers that cannot continue the file end the stream at once, and the
// tries to resume are spent in bounded time. The waits are shortened (ShortNetWaits).

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "platform/audio/HttpSource.h"
#include "tests/support/FaultServer.h"

using namespace audiotest;
using namespace std::chrono_literals;
using platform::audio::HttpSource;
using testsupport::FaultRequest;
using testsupport::FaultScript;
using testsupport::FaultServer;
using testsupport::httpResponse;
using testsupport::rangeResponse;
using testsupport::threadCount;

namespace {

using Clock = std::chrono::steady_clock;

std::string songText() {
  std::vector<std::uint8_t> bytes = readFile(media("talk.mp3"));
  return {bytes.begin(), bytes.end()};
}

// A first answer that announces the whole file and sends only its first cut bytes.
std::string brokenOff(const std::string& file, std::size_t cut, const std::string& headerLines = "") {
  return httpResponse("200 OK",
                      headerLines + "Accept-Ranges: bytes\r\nContent-Length: " + std::to_string(file.size()) + "\r\n",
                      file.substr(0, cut));
}

// The request heads for path, in order.
std::vector<std::string> headsFor(const FaultServer& server, const std::string& path) {
  std::vector<std::string> heads;
  for (const std::string& head : server.requestHeads()) {
    if (head.rfind("GET " + path + " ", 0) == 0) heads.push_back(head);
  }
  return heads;
}

HSTREAM openUrl(const std::string& url) { return BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr); }

QWORD heardOf(HSTREAM stream) { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE); }

struct MendCase {
  const char* name;
  FaultServer::Handler answer;
};

TEST(UrlStreamResume, ABreakInMidSongIsMendedAndTheSongIsHeardWhole) {
  ShortNetWaits shortWaits;
  const std::string song = songText();
  const std::vector<std::uint8_t> reference = wavData(media("talk.mp3.ref.wav"));
  const std::size_t cut = song.size() * 2 / 5;
  auto rest = [song](const FaultRequest& request) { return FaultScript().send(rangeResponse(song, request)); };
  std::vector<MendCase> cases;
  cases.push_back({"closed", [&](const FaultRequest& r) {
                     return r.earlier == 0 ? FaultScript().send(brokenOff(song, cut)) : rest(r);
                   }});
  cases.push_back({"reset", [&](const FaultRequest& r) {
                     return r.earlier == 0 ? FaultScript().send(brokenOff(song, cut)).silence(100ms).reset() : rest(r);
                   }});
  cases.push_back({"silent with the connection open", [&](const FaultRequest& r) {
                     return r.earlier == 0 ? FaultScript().send(brokenOff(song, cut)).silenceForever() : rest(r);
                   }});
  cases.push_back({"a 503 before the rest", [&](const FaultRequest& r) {
                     if (r.earlier == 0) return FaultScript().send(brokenOff(song, cut));
                     if (r.earlier == 1) return FaultScript().send(httpResponse("503 Busy", "Content-Length: 0\r\n", ""));
                     return rest(r);
                   }});
  for (const MendCase& mend : cases) {
    SCOPED_TRACE(mend.name);
    FaultServer server;
    // The data comes from where the redirect leads; the resume asks there directly.
    server.on("/start.mp3", FaultScript().send(httpResponse("302 Found", "Location: /song.mp3\r\nContent-Length: 0\r\n", "")));
    server.on("/song.mp3", mend.answer);
    CaptureSession session(20.0);
    ASSERT_TRUE(session.ready());
    HSTREAM stream = openUrl(server.url("/start.mp3"));
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    ASSERT_TRUE(playToEnd(stream, 10s));
    EXPECT_EQ(heardOf(stream), BASS_ChannelGetLength(stream, BASS_POS_BYTE));
    EXPECT_TRUE(session.finish() == reference);
    EXPECT_EQ(headsFor(server, "/start.mp3").size(), 1u);
    std::vector<std::string> heads = headsFor(server, "/song.mp3");
    ASSERT_GE(heads.size(), 2u);
    for (std::size_t i = 1; i < heads.size(); ++i) {
      EXPECT_NE(heads[i].find("\r\nRange: bytes=" + std::to_string(cut) + "-\r\n"), std::string::npos) << heads[i];
      EXPECT_NE(heads[i].find("\r\nUser-Agent: Tunora\r\n"), std::string::npos) << heads[i];
    }
  }
}

struct EndCase {
  const char* name;
  std::string firstHeaders;  // of the first answer
  FaultScript later;
};

TEST(UrlStreamResume, AnAnswerThatCannotContinueTheFileEndsTheStreamAtOnce) {
  ShortNetWaits shortWaits;
  const std::string song = songText();
  const std::size_t cut = song.size() * 2 / 5;
  const std::string total = std::to_string(song.size());
  const std::string rest = song.substr(cut);
  auto partial = [&](const std::string& lines, const std::string& rangeTotal) {
    return httpResponse("206 Partial Content",
                        lines + "Content-Range: bytes " + std::to_string(cut) + "-" + std::to_string(song.size() - 1) +
                            "/" + rangeTotal + "\r\nContent-Length: " + std::to_string(rest.size()) + "\r\n",
                        rest);
  };
  const std::string dated = "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n";
  std::vector<EndCase> cases;
  cases.push_back({"200 to the Range", "", FaultScript().send(httpResponse("200 OK", "Content-Length: " + total + "\r\n", song))});
  cases.push_back({"416", "", FaultScript().send(httpResponse("416 Range Not Satisfiable", "Content-Range: bytes */" + total + "\r\nContent-Length: 0\r\n", ""))});
  cases.push_back({"404", "", FaultScript().send(httpResponse("404 Not Found", "Content-Length: 0\r\n", ""))});
  cases.push_back({"another total", "", FaultScript().send(partial("", std::to_string(song.size() + 1000)))});
  cases.push_back({"another ETag", "ETag: \"v1\"\r\n", FaultScript().send(partial("ETag: \"v2\"\r\n", total))});
  cases.push_back({"another Last-Modified", dated,
                   FaultScript().send(partial("Last-Modified: Wed, 02 Dec 2026 10:00:00 GMT\r\n", total))});

  FaultServer server;
  CaptureSession session(20.0);
  ASSERT_TRUE(session.ready());
  std::vector<HSTREAM> streams;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::string path = "/case" + std::to_string(i) + ".mp3";
    server.on(path, [&, i](const FaultRequest& r) {
      return r.earlier == 0 ? FaultScript().send(brokenOff(song, cut, cases[i].firstHeaders)) : cases[i].later;
    });
    streams.push_back(openUrl(server.url(path)));
    ASSERT_NE(streams.back(), 0u) << cases[i].name << ": " << BASS_ErrorGetCode();
    EXPECT_TRUE(BASS_ChannelPlay(streams.back(), TRUE));
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    HSTREAM stream = streams[i];
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }, 10s));
    // One request after the break, and nothing of its answer taken.
    EXPECT_EQ(headsFor(server, "/case" + std::to_string(i) + ".mp3").size(), 2u);
    EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD), cut);
    EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_CONNECTED), 0u);
    // What was held was played; the end was not reached.
    EXPECT_GT(heardOf(stream), BASS_ChannelGetLength(stream, BASS_POS_BYTE) / 3);
    EXPECT_LT(heardOf(stream), BASS_ChannelGetLength(stream, BASS_POS_BYTE) / 2);
  }
}

TEST(UrlStreamResume, TriesThatFailAreSpentThenTheStreamEndsAndNoThreadIsLeft) {
  ShortNetWaits shortWaits;
  const std::string song = songText();
  const std::size_t cut = song.size() * 2 / 5;
  // A sanitizer runtime starts a helper thread of its own with the first thread made.
  std::thread([] {}).join();
  const int threadsBefore = threadCount();
  {
    FaultServer busy;
    busy.on("/song.mp3", [&](const FaultRequest& r) {
      return FaultScript().send(r.earlier == 0 ? brokenOff(song, cut)
                                               : httpResponse("503 Busy", "Content-Length: 0\r\n", ""));
    });
    FaultServer gone;
    // The break comes once the server no longer listens.
    gone.on("/song.mp3", FaultScript().send(brokenOff(song, cut)).silence(500ms));
    CaptureSession session(20.0);
    ASSERT_TRUE(session.ready());
    auto start = Clock::now();
    HSTREAM busyStream = openUrl(busy.url("/song.mp3"));
    HSTREAM goneStream = openUrl(gone.url("/song.mp3"));
    gone.stopListening();
    ASSERT_NE(busyStream, 0u);
    ASSERT_NE(goneStream, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(busyStream, TRUE));
    ASSERT_TRUE(BASS_ChannelPlay(goneStream, TRUE));
    for (HSTREAM stream : {busyStream, goneStream}) {
      ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }, 10s));
      EXPECT_LT(heardOf(stream), BASS_ChannelGetLength(stream, BASS_POS_BYTE) / 2);
      EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD), cut);
    }
    // The pauses before the five tries (0.5 + 1 + 2 + 4 + 8 s, shortened) had to pass.
    EXPECT_GE(Clock::now() - start, 15500ms * 0.1);
    EXPECT_EQ(busy.connections(), 1 + 5);
    EXPECT_EQ(gone.connections(), 1);
  }
  // An ending thread stays listed until the system has reaped it.
  EXPECT_TRUE(waitFor([&] { return threadCount() <= threadsBefore; }, 2s)) << threadCount() << " threads";
}

TEST(UrlStreamResume, AStalledStreamPausesPlaysAndSeeksAsAPlayingOneDoes) {
  // The server's silence, not the watchdog, decides when the connection breaks.
  ShortNetWaits shortWaits(0.5);
  const std::string song = songText();
  const std::size_t cut = song.size() * 3 / 5;
  FaultServer server;
  server.on("/song.mp3", [&](const FaultRequest& r) {
    return r.earlier == 0 ? FaultScript().send(brokenOff(song, cut)).silence(2s)
                          : FaultScript().send(rangeResponse(song, r));
  });
  CaptureSession session(20.0);
  ASSERT_TRUE(session.ready());
  HSTREAM stream = openUrl(server.url("/song.mp3"));
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STALLED && heardOf(stream) > 0; }, 5s));
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD), cut);
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_BUFFER), cut);

  EXPECT_TRUE(BASS_ChannelPause(stream));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PAUSED);
  EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STALLED);

  // Back into what is held: it plays at once.
  QWORD early = BASS_ChannelSeconds2Bytes(stream, 0.5);
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, early, BASS_POS_BYTE)) << BASS_ErrorGetCode();
  EXPECT_TRUE(waitFor([&] { return heardOf(stream) > early; }, 2s));
  EXPECT_EQ(headsFor(server, "/song.mp3").size(), 1u);

  // Past it, this close to the held data: the request that resumes the download serves it.
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STALLED; }, 2s));
  QWORD late = BASS_ChannelSeconds2Bytes(stream, 10.0);
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, late, BASS_POS_BYTE)) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STALLED);
  ASSERT_TRUE(playToEnd(stream, 5s));
  // A seek by estimate lands near its target, so the end is reached near the length.
  EXPECT_NEAR(static_cast<double>(heardOf(stream)),
              static_cast<double>(BASS_ChannelGetLength(stream, BASS_POS_BYTE)),
              static_cast<double>(BASS_ChannelSeconds2Bytes(stream, 0.5)));
  std::vector<std::string> heads = headsFor(server, "/song.mp3");
  ASSERT_EQ(heads.size(), 2u);
  EXPECT_NE(heads[1].find("Range: bytes=" + std::to_string(cut) + "-"), std::string::npos);
}

TEST(UrlStreamResume, APauseLongerThanTheServersPatienceResumesWhenReadingGoesOn) {
  // A silence counted while the window is full would show as more requests.
  ShortNetWaits shortWaits;
  // Small: a sanitizer build copies the answers slowly, and a slow answer is a silence.
  std::string file(3u << 19, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 2654435761u >> 13);
  FaultServer server;
  // The first answer gives more than the window and closes while the reader pauses.
  server.on("/long.bin", [&](const FaultRequest& r) {
    if (r.earlier > 0) return FaultScript().send(rangeResponse(file, r));
    return FaultScript().send(brokenOff(file, 1u << 20)).silence(500ms);
  });
  constexpr std::size_t kWindow = HttpSource::kSmallestWindow * 4;
  int error = BASS_OK;
  auto source = HttpSource::open(server.url("/long.bin"), 0, nullptr, nullptr, Clock::now() + 5s, error, kWindow);
  ASSERT_NE(source, nullptr) << error;
  std::string got(file.size(), '\0');
  std::size_t at = 0;
  auto readUpTo = [&](std::size_t end) {
    while (at < end) {
      std::size_t n = source->read(got.data() + at, std::min<std::size_t>(65536, end - at));
      if (n == 0) return;
      at += n;
    }
  };
  readUpTo(2 * kWindow);
  ASSERT_TRUE(waitFor([&] { return source->paused(); }, 5s));
  std::this_thread::sleep_for(2500ms);
  readUpTo(file.size());
  ASSERT_EQ(at, file.size()) << server.requestHeads().size() << " requests";
  EXPECT_TRUE(got == file);
  std::vector<std::string> heads = server.requestHeads();
  ASSERT_EQ(heads.size(), 2u);
  EXPECT_NE(heads[1].find("Range: bytes="), std::string::npos);
}

}  // namespace
