#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/audio/Bass.h"
#include "platform/audio/DownloadBuffer.h"
#include "platform/audio/NetworkSource.h"
#include "platform/audio/Reconnection.h"
#include "platform/audio/ResponseHead.h"
#include "platform/curl/CurlHandles.h"

namespace platform::audio {

// An HTTP(S) download on its own thread into a buffer that keeps the file from the offset
// of the last restart, up to a window: an ordinary song stays whole, so seeks anywhere in
// what arrived need no new request. Past the window the part already read is dropped and,
// while the window is all ahead of the reader, the download pauses until a quarter of it
// is free again. Seeks outside the buffer restart the download with a Range request when
// the server accepts them and fail otherwise.
//
// Once the first answer is in, a connection that ends short of the file, or that goes
// silent while the download is not paused, is asked again for the rest with a Range
// request at the URL the data came from, a few times with growing pauses (NetWaits.h);
// readers just wait meanwhile and see one unbroken file. An answer that cannot be the
// rest of the same file (a 200 or 416 to the Range, another 4xx, a different total,
// ETag or Last-Modified) ends the download at once, as giving up does.
class HttpSource : public NetworkSource {
 public:
  using Clock = std::chrono::steady_clock;

  // The most one stream holds in memory.
  static constexpr std::size_t kWindowBytes = 64 * 1024 * 1024;
  // libcurl hands over blocks of up to 16 KB whole; a window must take a few of them.
  static constexpr std::size_t kSmallestWindow = 64 * 1024;

  // Blocks until the response headers are in, at most until deadline. Null with error set
  // on failure (TIMEOUT when the deadline passed). window is for tests.
  static std::unique_ptr<HttpSource> open(const std::string& url, std::uint64_t offset,
                                          DOWNLOADPROC proc, void* user, Clock::time_point deadline,
                                          int& error, std::size_t window = kWindowBytes);
  ~HttpSource() override;

  std::size_t read(void* out, std::size_t size) override;
  bool seek(std::uint64_t offset) override;
  std::uint64_t tell() const override;
  std::optional<std::uint64_t> size() const override;
  bool complete() const override;
  std::unique_ptr<ByteSource> independentReader() const override;

  // These four never wait for the download thread.
  std::uint64_t bytesAhead() const override;
  std::uint64_t downloadStart() const override;
  std::uint64_t downloadEnd() const override;
  bool finished() const override;

  bool connected() const override;
  bool acceptsRanges() const override;
  bool waitAhead(std::uint64_t bytes, std::chrono::milliseconds timeout) override;
  void cancel() override;

  // While format detection runs: reads wait at most until deadline and not for a
  // reconnection, and seeks far past the download (tag probes at the end of the file) read
  // as zeros instead of restarting it. endReadLimit() ends that phase.
  void limitReadsUntil(Clock::time_point deadline);
  void endReadLimit();
  bool timedOut() const;
  // True while the download is held back by a full window.
  bool paused() const;

 private:
  class CompletedReader;
  // How one transfer ended.
  enum class Ending {
    Complete,  // all the server had
    Broken,    // worth asking again for the rest
    Final,     // nothing more can come
    Aborted,   // superseded by a restart, or the source is going
  };
  // What the first answer said about the file; later answers must agree.
  struct Identity {
    std::optional<std::string> etag;
    std::optional<std::string> lastModified;
  };

  HttpSource(std::string url, std::uint64_t offset, DOWNLOADPROC proc, void* user,
             std::size_t window);
  // The functions below up to body() run on the download thread.
  void run();
  Ending transfer(std::uint64_t from, std::uint64_t generation, bool resume);
  void configure(CURL* easy, const std::string& url, const std::string& range, long connectMs);
  Ending endingOf(CURLcode code, bool finishedByCurl);  // caller holds mutex_
  static std::size_t onData(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
  bool headerLine(const std::string& line);
  bool acceptFirst();                        // caller holds mutex_
  std::optional<Ending> refusalOfLater();    // caller holds mutex_; nothing when it continues
  void accept();                             // caller holds mutex_
  std::size_t body(const char* data, std::size_t size);
  void finish(std::unique_lock<std::mutex>& lock, bool failed);
  void failFromCallback();
  bool abortRequested() const;  // caller holds mutex_
  bool wholeFileHeld() const;   // caller holds mutex_
  bool mayResume() const;       // caller holds mutex_
  void publish();               // caller holds mutex_

  const std::string url_;
  const DOWNLOADPROC proc_;
  void* const user_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // guarded by mutex_
  DownloadBuffer buffer_;
  std::uint64_t readPosition_ = 0;
  std::optional<std::uint64_t> virtualPosition_;  // a tag probe past the download
  std::optional<std::uint64_t> total_;
  std::optional<std::uint64_t> restartAt_;
  std::uint64_t generation_ = 0;    // bumped by each restart
  std::uint64_t skip_ = 0;          // bytes to drop when a Range request got a 200
  bool headersDone_ = false;
  bool finished_ = false;
  bool failed_ = false;
  bool connected_ = false;       // from the first answer until the download ends for good
  bool reconnecting_ = false;    // from a break until data flows again
  bool acceptRanges_ = false;
  bool cancelled_ = false;
  bool stopping_ = false;
  bool timedOut_ = false;
  bool paused_ = false;          // the write callback asked libcurl to pause
  bool resumeSignalled_ = false;
  int error_ = BASS_OK;
  std::optional<Clock::time_point> readDeadline_;

  // Copies of buffer state for readers that must not wait (the live output).
  std::atomic<std::uint64_t> publishedStart_{0};
  std::atomic<std::uint64_t> publishedEnd_{0};
  std::atomic<std::uint64_t> publishedRead_{0};
  std::atomic<bool> publishedFinished_{false};

  // on the download thread only
  std::optional<Identity> identity_;  // set by the first answer
  std::string dataUrl_;               // where the data last came from, after redirects
  Reconnection reconnection_;
  Clock::time_point lastByte_;
  // per transfer
  CURL* easy_ = nullptr;
  ResponseHead head_;
  std::optional<Ending> verdict_;  // decided from the answer's head
  std::uint64_t requestedFrom_ = 0;
  bool rangeSent_ = false;
  bool resuming_ = false;
  std::uint64_t transferGeneration_ = 0;

  curl::CurlMulti multi_;  // driven by the download thread; woken from others
  std::thread thread_;
};

}  // namespace platform::audio
