// URL streams against servers that misbehave on purpose: sizes past belief, answers slower
// than the time budget, bodies that never end; and the download window underneath.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>

#include "AudioTestSupport.h"
#include "tests/support/FaultServer.h"
#include "tests/support/TestSocket.h"
#include "platform/audio/DownloadBuffer.h"
#include "platform/audio/HttpSource.h"

using namespace audiotest;
using namespace std::chrono_literals;
using platform::audio::DownloadBuffer;
using platform::audio::HttpSource;
using namespace testsupport;

namespace {

// Answers every connection, one at a time, with a handler that writes raw bytes.
class RawServer {
 public:
  class Peer {
   public:
    Peer(SocketHandle socket, const std::atomic<bool>& stopping, std::atomic<std::uint64_t>& sent)
        : socket_(socket), stopping_(stopping), sent_(sent) {}
    // False once the client has gone or the server stops.
    bool send(const void* data, std::size_t size) {
      auto* bytes = static_cast<const char*>(data);
      while (size > 0) {
        if (stopping_) return false;
        PollEntry entry{socket_, false, true};
        if (pollSockets(&entry, 1, 50) <= 0) continue;
        long n = sendSome(socket_, bytes, size);
        if (n == kWouldBlock) continue;
        if (n <= 0) return false;
        sent_ += static_cast<std::uint64_t>(n);
        bytes += n;
        size -= static_cast<std::size_t>(n);
      }
      return true;
    }
    bool send(const std::string& text) { return send(text.data(), text.size()); }
    bool pause(std::chrono::milliseconds duration) {
      auto until = std::chrono::steady_clock::now() + duration;
      while (std::chrono::steady_clock::now() < until) {
        if (stopping_) return false;
        std::this_thread::sleep_for(10ms);
      }
      return true;
    }
   private:
    SocketHandle socket_;
    const std::atomic<bool>& stopping_;
    std::atomic<std::uint64_t>& sent_;
  };
  using Handler = std::function<void(Peer&)>;

  explicit RawServer(Handler handler) : handler_(std::move(handler)) {
    const LoopbackSocket listener = listenOnLoopback(8);
    listener_ = listener.socket;
    port_ = listener.port;
    thread_ = std::thread([this] { serve(); });
  }
  ~RawServer() {
    stopping_ = true;
    thread_.join();
    closeSocket(listener_);
  }
  std::string url(const std::string& path = "/song.mp3") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::uint64_t bytesSent() const { return sent_; }

 private:
  void serve() {
    while (!stopping_) {
      PollEntry entry{listener_, true};
      if (pollSockets(&entry, 1, 50) <= 0) continue;
      SocketHandle client = acceptClient(listener_);
      if (client == kNoSocket) continue;
      std::string request;
      char chunk[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        PollEntry in{client, true};
        int ready = pollSockets(&in, 1, 50);
        if (stopping_ || ready < 0) break;
        if (ready == 0) continue;
        long n = receiveSome(client, chunk, sizeof chunk);
        if (n == kWouldBlock) continue;
        if (n <= 0) break;
        request.append(chunk, static_cast<std::size_t>(n));
      }
      Peer peer(client, stopping_, sent_);
      handler_(peer);
      closeSocket(client);
    }
  }

  Handler handler_;
  SocketHandle listener_ = kNoSocket;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<std::uint64_t> sent_{0};
  std::thread thread_;
};

// True when data equals cycle repeated without end, from offset on.
bool matchesCycle(const std::uint8_t* data, std::size_t size, std::uint64_t offset,
                  const std::vector<std::uint8_t>& cycle) {
  while (size > 0) {
    std::size_t at = static_cast<std::size_t>(offset % cycle.size());
    std::size_t n = std::min(size, cycle.size() - at);
    if (std::memcmp(data, cycle.data() + at, n) != 0) return false;
    data += n;
    size -= n;
    offset += n;
  }
  return true;
}

// An MP3 without a Xing/Info frame, played again and again as one endless body.
void sendEndlessMp3(RawServer::Peer& peer, const std::vector<std::uint8_t>& song) {
  if (!peer.send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nConnection: close\r\n\r\n")) return;
  while (peer.send(song.data(), song.size())) {
  }
}

}  // namespace

TEST(DownloadBuffer, KeepsOrderAcrossBlocksDropsTheOldestAndReusesBlocks) {
  constexpr std::size_t kLimit = 600 * 1024;
  DownloadBuffer buffer(kLimit);
  buffer.restartAt(1000);
  std::vector<std::uint8_t> cycle(251);
  for (std::size_t i = 0; i < cycle.size(); ++i) cycle[i] = static_cast<std::uint8_t>(i);
  std::vector<std::uint8_t> piece(70001);
  std::uint64_t written = 1000;
  std::vector<std::uint8_t> out(300 * 1024);
  for (int round = 0; round < 40; ++round) {
    for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = cycle[(written + i) % cycle.size()];
    if (!buffer.append(piece.data(), piece.size())) {
      EXPECT_LT(buffer.room(), piece.size());
      EXPECT_EQ(buffer.end(), written) << "a refused append leaves the buffer as it was";
      buffer.dropBefore(buffer.start() + 150 * 1024);
      ASSERT_TRUE(buffer.append(piece.data(), piece.size()));
    }
    written += piece.size();
    ASSERT_EQ(buffer.end(), written);
    ASSERT_LE(buffer.size(), kLimit);
    // Every held byte reads back in place, across block edges.
    std::uint64_t from = buffer.start() + 7;
    std::size_t n = buffer.copy(from, out.data(), out.size());
    ASSERT_EQ(n, std::min<std::uint64_t>(out.size(), buffer.end() - from));
    ASSERT_TRUE(matchesCycle(out.data(), n, from, cycle)) << "round " << round;
  }
  EXPECT_EQ(buffer.copy(buffer.start() - 1, out.data(), 10), 0u);
  EXPECT_EQ(buffer.copy(buffer.end(), out.data(), 10), 0u);
  buffer.dropBefore(buffer.end() + 100);
  EXPECT_EQ(buffer.size(), 0u);
  EXPECT_EQ(buffer.start(), written);
  buffer.restartAt(5);
  EXPECT_EQ(buffer.start(), 5u);
  EXPECT_EQ(buffer.room(), kLimit);
}

TEST(HostileServer, ASizePastBeliefIsRefusedAndTheProcessLives) {
  for (const char* length : {"9000000000000000000", "99999999999999999999999999"}) {
    std::string header = std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + length + "\r\n\r\n";
    RawServer server([&](RawServer::Peer& peer) {
      if (peer.send(header)) peer.send(std::string(64 * 1024, '\0'));
    });
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_StreamCreateURL(server.url().c_str(), 0, 0, nullptr, nullptr), 0u) << length;
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN) << length;
    EXPECT_TRUE(BASS_Free());
  }
  // A 206 whose stated total is past belief is refused the same way.
  RawServer ranged([](RawServer::Peer& peer) {
    peer.send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-99/18446744073709551615\r\n"
              "Content-Length: 100\r\n\r\n" + std::string(100, '\0'));
  });
  int error = BASS_OK;
  auto source = HttpSource::open(ranged.url(), 0, nullptr, nullptr,
                                 HttpSource::Clock::now() + 5s, error);
  EXPECT_EQ(source, nullptr);
  EXPECT_EQ(error, BASS_ERROR_FILEOPEN);
}

TEST(HostileServer, SlowHeadersAndASlowBodyShareOneTimeBudget) {
  // Headers after 3 s, then a drip too slow for format detection: headers and detection
  // together must not take more than the 5 s the interface promises.
  std::vector<std::uint8_t> song = readFile(media("tone.mp3"));
  RawServer server([&](RawServer::Peer& peer) {
    if (!peer.pause(3s)) return;
    if (!peer.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(song.size()) + "\r\n\r\n")) return;
    for (std::uint8_t byte : song) {
      if (!peer.send(&byte, 1) || !peer.pause(100ms)) return;
    }
  });
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(BASS_StreamCreateURL(server.url().c_str(), 0, 0, nullptr, nullptr), 0u);
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_TIMEOUT);
  EXPECT_GT(took, 4500ms);
  EXPECT_LT(took, 5500ms);
  EXPECT_TRUE(BASS_Free());
}

TEST(HostileServer, AnEndlessStreamPlaysInBoundedMemory) {
  std::vector<std::uint8_t> song = readFile(media("tone-vbr.mp3"));
  RawServer server([&](RawServer::Peer& peer) { sendEndlessMp3(peer, song); });
  CaptureSession session(40.0);
  ASSERT_TRUE(session.ready());
  std::uint64_t before = testsupport::residentBytes();
  HSTREAM stream = BASS_StreamCreateURL(server.url().c_str(), 0, 0, nullptr, nullptr);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  // 60 s of audio at forty times the pace.
  const QWORD minute = BASS_ChannelSeconds2Bytes(stream, 60.0);
  std::uint64_t peak = 0;
  bool played = waitFor([&] {
    peak = std::max(peak, testsupport::residentBytes());
    return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) >= minute;
  }, 15s);
  EXPECT_TRUE(played) << BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PLAYING);
  // The window is full and the download waits for the player; the sockets hold a little.
  EXPECT_LE(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_BUFFER), HttpSource::kWindowBytes);
  EXPECT_LT(server.bytesSent(), HttpSource::kWindowBytes + (16u << 20));
  EXPECT_EQ(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END), static_cast<QWORD>(-1));
  EXPECT_LT(peak, before + HttpSource::kWindowBytes * (1 + testsupport::kShadowBytesPerByte) + (40u << 20))
      << "resident " << (peak >> 20) << " MB, " << (before >> 20) << " MB before";
  EXPECT_TRUE(BASS_StreamFree(stream));
}

TEST(HostileServer, AWindowOfItsOwnDropsWhatWasReadPausesAndResumes) {
  // A small window over an endless body: every byte arrives once and in order although the
  // download pauses and resumes many times, and going back before the window fails
  // without Range support.
  std::vector<std::uint8_t> song = readFile(media("tone-vbr.mp3"));
  RawServer server([&](RawServer::Peer& peer) { sendEndlessMp3(peer, song); });
  constexpr std::size_t kWindow = 512 * 1024;
  int error = BASS_OK;
  auto source = HttpSource::open(server.url(), 0, nullptr, nullptr, HttpSource::Clock::now() + 5s,
                                 error, kWindow);
  ASSERT_NE(source, nullptr) << error;
  ASSERT_TRUE(waitFor([&] { return source->paused(); }, 5s));
  EXPECT_LE(source->downloadEnd(), kWindow);
  EXPECT_GT(source->downloadEnd(), kWindow - 16 * 1024) << "paused with the window full";
  std::vector<std::uint8_t> block(40000);
  std::uint64_t offset = 0;
  while (offset < 24u * kWindow) {
    std::size_t n = source->read(block.data(), block.size());
    ASSERT_GT(n, 0u) << "at " << offset;
    ASSERT_TRUE(matchesCycle(block.data(), n, offset, song)) << "from " << offset;
    offset += n;
    ASSERT_LE(source->downloadEnd() - source->downloadStart(), kWindow);
  }
  EXPECT_GT(source->downloadStart(), 0u);
  EXPECT_FALSE(source->seek(source->downloadStart() - 1));
  EXPECT_EQ(source->tell(), offset);
}

TEST(HostileServer, ASeekBackOutOfTheWindowRequestsARange) {
  std::vector<std::uint8_t> song(1 << 20);
  for (std::size_t i = 0; i < song.size(); ++i) song[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
  std::ofstream(media("window.bin"), std::ios::binary)
      .write(reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
  NginxServer nginx;
  ASSERT_TRUE(nginx.running());
  constexpr std::size_t kWindow = HttpSource::kSmallestWindow;
  int error = BASS_OK;
  auto source = HttpSource::open(nginx.url("window.bin"), 0, nullptr, nullptr,
                                 HttpSource::Clock::now() + 5s, error, kWindow);
  ASSERT_NE(source, nullptr) << error;
  std::vector<std::uint8_t> got(song.size());
  std::size_t at = 0;
  while (std::size_t n = source->read(got.data() + at, std::min<std::size_t>(3000, got.size() - at))) {
    at += n;
    ASSERT_LE(source->downloadEnd() - source->downloadStart(), kWindow);
  }
  ASSERT_EQ(at, song.size());
  EXPECT_TRUE(got == song);
  EXPECT_FALSE(source->complete()) << "the start was dropped";
  EXPECT_EQ(source->independentReader(), nullptr);

  ASSERT_TRUE(source->seek(1234));
  std::vector<std::uint8_t> again(300000);
  std::size_t n = 0;
  while (n < again.size()) {
    std::size_t more = source->read(again.data() + n, again.size() - n);
    ASSERT_GT(more, 0u);
    n += more;
  }
  EXPECT_TRUE(std::equal(again.begin(), again.end(), song.begin() + 1234));
  std::remove(media("window.bin").c_str());
}

TEST(HostileServer, ADownloadCallbackThatThrowsEndsTheDownloadNotTheProcess) {
  std::vector<std::uint8_t> song = readFile(media("talk.mp3"));
  RawServer server([&](RawServer::Peer& peer) {
    if (peer.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(song.size()) + "\r\n\r\n")) {
      peer.send(song.data(), song.size());
    }
  });
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  static std::atomic<int> calls{0};
  DOWNLOADPROC throwing = [](const void*, DWORD, void*) {
    ++calls;
    throw std::runtime_error("a caller's callback gone wrong");
  };
  const QWORD size = song.size();
  HSTREAM stream = BASS_StreamCreateURL(server.url().c_str(), 0, 0, throwing, nullptr);
  EXPECT_TRUE(waitFor([] { return calls.load() >= 1; }));
  if (stream != 0) {
    // What arrived before the throw may play; the download itself has ended.
    EXPECT_TRUE(waitFor([&] { return BASS_StreamGetFilePosition(stream, BASS_FILEPOS_CONNECTED) == 0; }));
    EXPECT_LT(BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD), size);
  }
  EXPECT_TRUE(BASS_Free());
}
