// Streams from nginx on 127.0.0.1: files, ranges, throttling and redirects; and from a
// listener that never answers.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <set>

#include "AudioTestSupport.h"

using namespace audiotest;
using namespace std::chrono_literals;

namespace {

HSTREAM openUrl(const std::string& url) {
  return BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
}

QWORD filePos(HSTREAM stream, DWORD mode) { return BASS_StreamGetFilePosition(stream, mode); }


class UrlStream : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.running()); }
  NginxServer server_;
};

}  // namespace

struct DownloadCount {
  std::atomic<std::uint64_t> bytes{0};
  std::atomic<int> ends{0};
};

void countDownload(const void* buffer, DWORD length, void* user) {
  auto* count = static_cast<DownloadCount*>(user);
  if (buffer == nullptr) {
    ++count->ends;
  } else {
    count->bytes += length;
  }
}

TEST_F(UrlStream, PlaysToTheEndExactlyAndReportsTheDownload) {
  std::vector<std::uint8_t> reference = wavData(media("tone.mp3.ref.wav"));
  QWORD size = readFile(media("tone.mp3")).size();
  CaptureSession session;
  DownloadCount count;
  HSTREAM stream =
      BASS_StreamCreateURL(server_.url("tone.mp3").c_str(), 0, 0, countDownload, &count);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(waitFor([&] { return filePos(stream, BASS_FILEPOS_CONNECTED) == 0; }));
  ASSERT_TRUE(waitFor([&] { return count.ends == 1; }));
  EXPECT_EQ(count.bytes, size);
  EXPECT_EQ(filePos(stream, BASS_FILEPOS_END), size);
  EXPECT_EQ(filePos(stream, BASS_FILEPOS_SIZE), size);
  EXPECT_EQ(filePos(stream, BASS_FILEPOS_DOWNLOAD), size);
  EXPECT_EQ(filePos(stream, BASS_FILEPOS_BUFFER), size);
  EXPECT_EQ(filePos(stream, BASS_FILEPOS_START), 0u);
  ASSERT_TRUE(playToEnd(stream));
  EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), reference.size());
  EXPECT_TRUE(session.finish() == reference);
}

TEST_F(UrlStream, VorbisAndTaggedMp3PlayExactly) {
  // A 3 MB ID3v2 tag in front: format detection reads on past it while it downloads.
  std::vector<std::uint8_t> tagged = {'I', 'D', '3', 4, 0, 0, 1, 64, 0, 0};  // 3 MB body
  tagged.resize(10 + (3u << 20), 0);
  std::vector<std::uint8_t> audio = readFile(media("tone.mp3"));
  tagged.insert(tagged.end(), audio.begin(), audio.end());
  std::string taggedName = "tagged-" + std::to_string(getpid()) + ".mp3";
  {
    std::ofstream out(media(taggedName), std::ios::binary);
    out.write(reinterpret_cast<const char*>(tagged.data()), static_cast<std::streamsize>(tagged.size()));
  }
  for (auto [name, reference] : {std::pair{std::string("tone.ogg"), std::string("tone.ogg.ref.wav")},
                                 std::pair{taggedName, std::string("tone.mp3.ref.wav")}}) {
    SCOPED_TRACE(name);
    CaptureSession session;
    HSTREAM stream = openUrl(server_.url(name));
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE)) << BASS_ErrorGetCode();
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }));
    if (name == "tone.ogg") {
      // Once the whole file is in, a Vorbis stream can seek and restart too.
      EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), wavData(media(reference)).size());
      QWORD middle = BASS_ChannelSeconds2Bytes(stream, 1.5);
      EXPECT_TRUE(BASS_ChannelSetPosition(stream, middle, BASS_POS_BYTE)) << BASS_ErrorGetCode();
      EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), middle);
    }
    if (name == taggedName) {
      EXPECT_EQ(filePos(stream, BASS_FILEPOS_START), tagged.size() - audio.size());
      EXPECT_EQ(filePos(stream, BASS_FILEPOS_END), audio.size());
    }
    std::vector<std::uint8_t> heard = session.finish();
    if (name == "tone.ogg") {
      EXPECT_EQ(vorbisMismatch(heard, wavData(media(reference))), "");
    } else {
      EXPECT_TRUE(heard == wavData(media(reference)));
    }
  }
  std::remove(media(taggedName).c_str());
}

TEST_F(UrlStream, ThrottledDownloadPlaysOnceCreatedWhileTheDownloadGoesOn) {
  for (std::string name : {"talk.mp3"}) {
    SCOPED_TRACE(name);
    std::vector<std::uint8_t> reference = wavData(media(name + ".ref.wav"));
    QWORD size = readFile(media(name)).size();
    CaptureSession session;
    HSTREAM stream = openUrl(server_.url("slow/" + name));
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    // Creation waited for the pre-buffer, not for the whole file.
    EXPECT_EQ(filePos(stream, BASS_FILEPOS_CONNECTED), 1u);
    QWORD first = filePos(stream, BASS_FILEPOS_DOWNLOAD);
    EXPECT_LT(first, size);
    EXPECT_EQ(filePos(stream, BASS_FILEPOS_BUFFER), first);
    EXPECT_EQ(filePos(stream, BASS_FILEPOS_END), size);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(filePos(stream, BASS_FILEPOS_BUFFERING), 0u);

    std::set<QWORD> downloads;
    ASSERT_TRUE(waitFor([&] {
      QWORD download = filePos(stream, BASS_FILEPOS_DOWNLOAD);
      EXPECT_LE(download, size);
      downloads.insert(download);
      return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
    }));
    EXPECT_GE(downloads.size(), 2u);  // it moved while the stream played
    EXPECT_EQ(filePos(stream, BASS_FILEPOS_DOWNLOAD), size);
    EXPECT_EQ(filePos(stream, BASS_FILEPOS_CONNECTED), 0u);
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), reference.size());
    EXPECT_TRUE(session.finish() == reference);
  }
}

TEST_F(UrlStream, SeeksInsideAndBeyondTheDownload) {
  CaptureSession session;
  HSTREAM stream = openUrl(server_.url("slower/talk.mp3"));
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  QWORD early = BASS_ChannelSeconds2Bytes(stream, 0.5);
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, early, BASS_POS_BYTE));
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), early);
  // What follows needs 6 s into the song to lie beyond the download (10 KB/s); a build
  // slowed by a sanitizer may already hold it.
  if (filePos(stream, BASS_FILEPOS_DOWNLOAD) >= 30000u) GTEST_SKIP() << "the download outran this slow build";

  // 6 s into a 12 s file that is still downloading: a Range request.
  QWORD late = BASS_ChannelSeconds2Bytes(stream, 6.0);
  ASSERT_TRUE(BASS_ChannelSetPosition(stream, late, BASS_POS_BYTE)) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), late);
  EXPECT_GT(filePos(stream, BASS_FILEPOS_CURRENT), 20000u);
  // The new download has little ahead of the decoder: playback waits for it.
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STALLED);
  QWORD buffering = filePos(stream, BASS_FILEPOS_BUFFERING);
  EXPECT_GT(buffering, 0u);
  EXPECT_LE(buffering, 100u);
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }, 10s));
  EXPECT_GT(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), late);

  // Back to the start, which the new download no longer holds.
  ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE)) << BASS_ErrorGetCode();
  EXPECT_LT(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), early);
}

TEST_F(UrlStream, WithoutRangesSeekingPastTheDownloadFails) {
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  HSTREAM stream = openUrl(server_.url("slownorange/talk.mp3"));
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  EXPECT_FALSE(BASS_ChannelSetPosition(stream, BASS_ChannelSeconds2Bytes(stream, 10.0), BASS_POS_BYTE));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
  EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);
  QWORD early = BASS_ChannelSeconds2Bytes(stream, 0.5);
  EXPECT_TRUE(BASS_ChannelSetPosition(stream, early, BASS_POS_BYTE));
  EXPECT_TRUE(BASS_Free());
}

TEST_F(UrlStream, RedirectsErrorsAndSchemes) {
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  HSTREAM moved = openUrl(server_.url("moved/tone.mp3"));
  ASSERT_NE(moved, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(waitFor([&] { return filePos(moved, BASS_FILEPOS_CONNECTED) == 0; }));
  EXPECT_EQ(BASS_ChannelGetLength(moved, BASS_POS_BYTE), wavData(media("tone.mp3.ref.wav")).size());

  EXPECT_EQ(openUrl(server_.url("missing.mp3")), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(openUrl(server_.url("ftp/tone.mp3")), 0u);  // redirects go to http(s) only
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(openUrl(server_.url("tone.wav.ref.missing")), 0u);
  EXPECT_EQ(openUrl("ftp://127.0.0.1/tone.mp3"), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(openUrl("file:///etc/passwd"), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(openUrl("http://127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/x.mp3"), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  // Not audio at all.
  EXPECT_EQ(openUrl(server_.url("../nginx.conf")), 0u);
  EXPECT_TRUE(BASS_Free());
}

TEST(UrlStreamSilentServer, AServerThatNeverAnswersTimesOut) {
  SilentListener listener;  // connections queue in its backlog, never read or answered
  ASSERT_NE(listener.port(), 0);
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  auto start = std::chrono::steady_clock::now();
  std::string url = "http://127.0.0.1:" + std::to_string(listener.port()) + "/song.mp3";
  EXPECT_EQ(openUrl(url), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_TIMEOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 7s);
  EXPECT_TRUE(BASS_Free());
}
