#pragma once

#include <curl/curl.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/Bass.h"
#include "platform/audio/NetworkSource.h"

namespace platform::audio {

// An HTTP(S) download on its own thread into a buffer that keeps the whole file (from
// the offset of the last restart). Seeks outside the downloaded part restart the
// download with a Range request when the server accepts them.
class HttpSource : public NetworkSource {
 public:
  // Blocks until the response headers are in. Null with error set on failure.
  static std::unique_ptr<HttpSource> open(const std::string& url, std::uint64_t offset,
                                          DOWNLOADPROC proc, void* user, int& error);
  ~HttpSource() override;

  std::size_t read(void* out, std::size_t size) override;
  bool seek(std::uint64_t offset) override;
  std::uint64_t tell() const override;
  std::optional<std::uint64_t> size() const override;
  bool complete() const override;
  std::unique_ptr<ByteSource> independentReader() const override;

  std::uint64_t bytesAhead() const override;
  std::uint64_t downloadEnd() const override;
  bool finished() const override;
  bool connected() const override;
  bool acceptsRanges() const override;
  bool waitAhead(std::uint64_t bytes, std::chrono::milliseconds timeout) override;
  void cancel() override;

  // While format detection runs: reads wait at most this long in all, and seeks far
  // past the download (tag probes at the end of the file) read as zeros instead of
  // restarting it. A zero duration ends that phase.
  void limitReadsFor(std::chrono::milliseconds duration);
  bool timedOut() const;

 private:
  HttpSource(std::string url, std::uint64_t offset, DOWNLOADPROC proc, void* user);
  void run();
  void transfer(std::uint64_t from, std::uint64_t generation);
  static std::size_t onData(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
  bool headerLine(const std::string& line);
  bool body(const char* data, std::size_t size);
  bool abortRequested() const;  // caller holds mutex_

  const std::string url_;
  const DOWNLOADPROC proc_;
  void* const user_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // guarded by mutex_
  std::vector<std::uint8_t> data_;   // file bytes from segmentStart_
  std::uint64_t segmentStart_ = 0;
  std::uint64_t readPosition_ = 0;
  std::optional<std::uint64_t> virtualPosition_;  // a tag probe past the download
  std::optional<std::uint64_t> total_;
  std::optional<std::uint64_t> restartAt_;
  std::uint64_t generation_ = 0;    // bumped by each restart
  std::uint64_t skip_ = 0;          // bytes to drop when a Range request got a 200
  bool headersDone_ = false;
  bool finished_ = false;
  bool failed_ = false;
  bool connected_ = false;
  bool acceptRanges_ = false;
  bool cancelled_ = false;
  bool stopping_ = false;
  bool timedOut_ = false;
  int error_ = BASS_OK;
  std::optional<std::chrono::steady_clock::time_point> readDeadline_;
  // per response, on the download thread (headers of redirects are seen too)
  long status_ = 0;
  bool sawLocation_ = false;
  bool sawAcceptRanges_ = false;
  std::optional<std::uint64_t> contentLength_;
  std::optional<std::uint64_t> rangeTotal_;
  std::uint64_t requestedFrom_ = 0;
  std::uint64_t transferGeneration_ = 0;

  CURLM* multi_ = nullptr;  // owned by the download thread; woken from others
  std::thread thread_;
};

}  // namespace platform::audio
