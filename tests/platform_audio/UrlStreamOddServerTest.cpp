// Streams from a server that answers the way nginx does not: a small cpp-httplib server
// (chunked, cut, paused bodies).

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "AudioTestSupport.h"

using namespace audiotest;
using namespace std::chrono_literals;

namespace {

constexpr QWORD kError = static_cast<QWORD>(-1);

HSTREAM openUrl(const std::string& url) {
  return BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
}

QWORD filePos(HSTREAM stream, DWORD mode) { return BASS_StreamGetFilePosition(stream, mode); }

class OddServer {
 public:
  explicit OddServer(std::vector<std::uint8_t> file) : file_(std::move(file)) {
    server_.set_tcp_nodelay(true);
    auto body = [this](std::size_t from, std::size_t to) {
      return std::string(file_.begin() + static_cast<long>(from), file_.begin() + static_cast<long>(to));
    };
    // No Content-Length: chunked transfer.
    server_.Get("/chunked", [this, body](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("audio/mpeg", [this, body](std::size_t offset, httplib::DataSink& sink) {
        if (offset >= file_.size()) {
          sink.done();
          return true;
        }
        std::string piece = body(offset, std::min(file_.size(), offset + 4096));
        return sink.write(piece.data(), piece.size());
      });
    });
    // The connection drops after 40 %.
    server_.Get("/cut", [this, body](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(file_.size(), "audio/mpeg",
                               [this, body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
        std::size_t cut = file_.size() * 2 / 5;
        if (offset >= cut) {
          std::this_thread::sleep_for(1500ms);
          return false;
        }
        std::string piece = body(offset, cut);
        return sink.write(piece.data(), piece.size());
      });
    });
    // PERCENT of the file, a pause (1.5 s or MS), then the rest.
    server_.Get(R"(/pause/(\d+)(?:/(\d+))?)", [this, body](const httplib::Request& req, httplib::Response& res) {
      std::size_t first = file_.size() * std::stoul(req.matches[1]) / 100;
      auto pause = std::chrono::milliseconds(req.matches[2].matched ? std::stoul(req.matches[2]) : 1500);
      res.set_content_provider(file_.size(), "application/octet-stream",
                               [this, body, first, pause](std::size_t offset, std::size_t, httplib::DataSink& sink) {
        if (offset == first) std::this_thread::sleep_for(pause);
        std::string piece = body(offset, offset < first ? first : file_.size());
        return sink.write(piece.data(), piece.size());
      });
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    waitForPort(port_, 5s);
  }
  ~OddServer() {
    server_.stop();
    thread_.join();
  }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  std::vector<std::uint8_t> file_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace

TEST(UrlStreamOddServer, WithoutContentLengthTheSizeIsKnownAtTheEnd) {
  std::vector<std::uint8_t> reference = wavData(media("tone.mp3.ref.wav"));
  std::vector<std::uint8_t> file = readFile(media("tone.mp3"));
  OddServer server(file);
  CaptureSession session;
  HSTREAM stream = openUrl(server.url("/chunked"));
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  // Starting from the beginning needs no seek, so it works before the length is known.
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE)) << BASS_ErrorGetCode();
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }));
  EXPECT_EQ(filePos(stream, BASS_FILEPOS_END), file.size());
  EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), reference.size());
  EXPECT_TRUE(session.finish() == reference);
}

TEST(UrlStreamOddServer, AConnectionThatAlwaysBreaksAtTheSameByteStallsThenEnds) {
  std::vector<std::uint8_t> reference = wavData(media("talk.mp3.ref.wav"));
  std::vector<std::uint8_t> file = readFile(media("talk.mp3"));
  OddServer server(file);
  ShortNetWaits shortWaits(0.05);  // the tries to resume are spent within a second or two
  CaptureSession session;
  HSTREAM stream = openUrl(server.url("/cut"));
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STALLED; }, 3s));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }, 5s));
  EXPECT_EQ(filePos(stream, BASS_FILEPOS_CONNECTED), 0u);
  EXPECT_LT(filePos(stream, BASS_FILEPOS_DOWNLOAD), file.size());
  // What arrived was heard, exactly as a full decode begins.
  std::vector<std::uint8_t> heard = session.finish();
  EXPECT_GT(heard.size(), reference.size() / 3);
  EXPECT_LT(heard.size(), reference.size() / 2);
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), reference.begin()));
}

TEST(UrlStreamOddServer, VorbisTurnsSeekableWhenTheDownloadCompletesInMidPlay) {
  std::vector<std::uint8_t> reference = wavData(media("talk.ogg.ref.wav"));
  OddServer server(readFile(media("talk.ogg")));
  CaptureSession session;
  // The pre-buffer this file asks for reaches past 90 %, so the stream is created when the
  // time budget runs out, with the rest still held back.
  HSTREAM stream = openUrl(server.url("/pause/90/6500"));
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), kError);  // not known yet
  EXPECT_FALSE(BASS_ChannelSetPosition(stream, 176400, BASS_POS_BYTE));
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }, 10s));
  EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), reference.size());
  // Reopening the decoder in mid-play neither lost nor repeated a sample.
  EXPECT_EQ(vorbisMismatch(session.finish(), reference), "");
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  stream = openUrl(server.url("/pause/100"));
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetLength(stream, BASS_POS_BYTE) != kError; }));
  EXPECT_TRUE(BASS_ChannelSetPosition(stream, 176400, BASS_POS_BYTE)) << BASS_ErrorGetCode();
  EXPECT_TRUE(BASS_Free());
}

TEST(UrlStreamOddServer, RunningOutOfDataMidwayStallsAndResumes) {
  std::vector<std::uint8_t> reference = wavData(media("talk.mp3.ref.wav"));
  OddServer server(readFile(media("talk.mp3")));
  CaptureSession session;
  HSTREAM stream = openUrl(server.url("/pause/50"));
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE) > 0; }, 3s));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STALLED; }, 3s));
  QWORD stalledAt = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
  EXPECT_GT(stalledAt, 176400u * 3);
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }, 10s));
  // Nothing was lost or doubled around the stall.
  std::vector<std::uint8_t> heard = session.finish();
  ASSERT_EQ(heard.size(), reference.size());
  auto differs = std::mismatch(heard.begin(), heard.end(), reference.begin());
  EXPECT_TRUE(differs.first == heard.end()) << "first difference at byte " << (differs.first - heard.begin())
                                            << ", stalled at " << stalledAt;
}
