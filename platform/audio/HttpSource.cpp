#include "platform/audio/HttpSource.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/CallbackGuard.h"
#include "platform/audio/NetWaits.h"

namespace platform::audio {
namespace {

using namespace std::chrono_literals;

// Tag probes look at the last bytes of a file (ID3v1, APE, Lyrics3).
constexpr std::uint64_t kTagProbeBytes = 4096;
constexpr std::uint64_t kNearAhead = 64 * 1024;
constexpr std::uint64_t kNearWhileDetecting = 16 * 1024 * 1024;
// How often the download thread looks at its state when libcurl has nothing to say.
constexpr int kPollMs = 100;

int errorForCurl(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return BASS_ERROR_TIMEOUT;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
      return BASS_ERROR_SSL;
    default:
      return BASS_ERROR_FILEOPEN;
  }
}

}  // namespace

// Reads a download that holds the whole file; such a buffer never changes again.
class HttpSource::CompletedReader : public ByteSource {
 public:
  CompletedReader(const HttpSource& owner, std::uint64_t size) : owner_(owner), size_(size) {}
  std::size_t read(void* out, std::size_t size) override {
    std::lock_guard lock(owner_.mutex_);
    std::size_t n = owner_.buffer_.copy(position_, static_cast<std::uint8_t*>(out), size);
    position_ += n;
    return n;
  }
  bool seek(std::uint64_t offset) override {
    if (offset > size_) return false;
    position_ = offset;
    return true;
  }
  std::uint64_t tell() const override { return position_; }
  std::optional<std::uint64_t> size() const override { return size_; }

 private:
  const HttpSource& owner_;
  const std::uint64_t size_;
  std::uint64_t position_ = 0;
};

HttpSource::HttpSource(std::string url, std::uint64_t offset, DOWNLOADPROC proc, void* user,
                       std::size_t window)
    : url_(std::move(url)), proc_(proc), user_(user), buffer_(std::max(window, kSmallestWindow)), multi_(curl_multi_init()) {
  buffer_.restartAt(offset);
  readPosition_ = offset;
  publish();
}

std::unique_ptr<HttpSource> HttpSource::open(const std::string& url, std::uint64_t offset,
                                             DOWNLOADPROC proc, void* user,
                                             Clock::time_point deadline, int& error,
                                             std::size_t window) {
  if (!curl::curlReady()) {
    error = BASS_ERROR_NONET;
    return nullptr;
  }
  std::unique_ptr<HttpSource> source(new HttpSource(url, offset, proc, user, window));
  if (!source->multi_) {
    error = BASS_ERROR_MEM;
    return nullptr;
  }
  source->thread_ = std::thread([raw = source.get()] { raw->run(); });
  std::unique_lock lock(source->mutex_);
  bool answered = source->changed_.wait_until(lock, deadline, [&] {
    return source->headersDone_ || source->finished_;
  });
  if (!answered) {
    error = BASS_ERROR_TIMEOUT;
  } else if (source->failed_ && !source->headersDone_) {
    error = source->error_;
  } else if (source->error_ != BASS_OK) {
    error = source->error_;  // a status that is not 2xx, a size past belief
  } else {
    return source;
  }
  lock.unlock();
  return nullptr;  // the destructor stops the download thread
}

HttpSource::~HttpSource() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    cancelled_ = true;
  }
  changed_.notify_all();
  if (multi_) curl_multi_wakeup(multi_.get());
  if (thread_.joinable()) thread_.join();
}

void HttpSource::publish() {
  publishedStart_.store(buffer_.start(), std::memory_order_relaxed);
  publishedEnd_.store(buffer_.end(), std::memory_order_relaxed);
  publishedRead_.store(readPosition_, std::memory_order_relaxed);
  publishedFinished_.store(finished_, std::memory_order_release);
}

void HttpSource::run() {
  std::uint64_t from = 0;
  std::uint64_t generation = 0;
  bool resume = false;
  {
    std::lock_guard lock(mutex_);
    from = buffer_.start();
  }
  for (;;) {
    Ending ending = transfer(from, generation, resume);
    std::unique_lock lock(mutex_);
    // A seek made while the transfer ended has already started over: how the old one ended
    // must not mark the new one finished.
    if (restartAt_) ending = Ending::Aborted;
    // Before the first answer there is no stream to resume: opening it failed.
    if (ending == Ending::Broken && !identity_) ending = Ending::Final;
    if (ending == Ending::Broken) {
      if (auto next = reconnection_.failed(Clock::now())) {
        reconnecting_ = true;
        changed_.notify_all();  // format detection does not wait for this
        changed_.wait_until(lock, *next, [&] { return stopping_ || restartAt_.has_value(); });
        if (stopping_) break;
        if (!restartAt_) {
          from = buffer_.end();
          resume = true;
          continue;
        }
      } else {
        ending = Ending::Final;
      }
    }
    if (ending == Ending::Complete || ending == Ending::Final) finish(lock, ending == Ending::Final);
    changed_.wait(lock, [&] { return stopping_ || restartAt_.has_value(); });
    if (stopping_) break;
    from = *restartAt_;
    restartAt_.reset();
    generation = generation_;
    resume = false;
    // A seek's request is a fresh start, not a try of the break before it.
    reconnection_.recovered();
    reconnecting_ = false;
  }
}

void HttpSource::finish(std::unique_lock<std::mutex>& lock, bool failed) {
  finished_ = true;
  connected_ = false;
  paused_ = false;
  reconnecting_ = false;
  if (failed) failed_ = true;
  if (failed_ && !headersDone_ && error_ == BASS_OK) error_ = BASS_ERROR_FILEOPEN;
  if (!failed_ && !total_) total_ = buffer_.end();
  publish();
  changed_.notify_all();
  if (proc_ != nullptr && !stopping_) {
    lock.unlock();
    guardCallback(0, [&] {
      proc_(nullptr, 0, user_);  // the download has ended
      return 0;
    });
    lock.lock();
  }
}

bool HttpSource::abortRequested() const {
  return stopping_ || restartAt_.has_value() || transferGeneration_ != generation_;
}

bool HttpSource::mayResume() const {
  std::uint64_t ahead = buffer_.end() > readPosition_ ? buffer_.end() - readPosition_ : 0;
  return ahead <= buffer_.limit() - buffer_.limit() / 4;
}

void HttpSource::configure(CURL* e, const std::string& url, const std::string& range, long connectMs) {
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
  curl_easy_setopt(e, CURLOPT_TCP_NODELAY, 1L);
  curl_easy_setopt(e, CURLOPT_USERAGENT, "Tunora");
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HttpSource::onData);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HttpSource::onHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
  if (!range.empty()) curl_easy_setopt(e, CURLOPT_RANGE, range.c_str());
}

HttpSource::Ending HttpSource::transfer(std::uint64_t from, std::uint64_t generation, bool resume) {
  curl::CurlEasy easy(curl_easy_init());
  if (!easy) {
    std::lock_guard lock(mutex_);
    if (!headersDone_) error_ = BASS_ERROR_MEM;
    return Ending::Final;
  }
  easy_ = easy.get();
  head_ = ResponseHead();
  verdict_.reset();
  requestedFrom_ = from;
  rangeSent_ = from > 0;
  resuming_ = resume;
  transferGeneration_ = generation;
  lastByte_ = Clock::now();
  auto connectLimit = netwaits::scaled(netwaits::kConnectLimit);
  if (reconnection_.active()) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(reconnection_.giveUpAt() - lastByte_);
    connectLimit = std::clamp(left, 1ms, connectLimit);
  }
  std::string range = rangeSent_ ? std::to_string(from) + "-" : std::string();
  // A resumed download asks where its data last came from; a restart asks as the stream began.
  configure(easy_, resume && !dataUrl_.empty() ? dataUrl_ : url_, range,
            static_cast<long>(connectLimit.count()));
  const auto silenceLimit = netwaits::scaled(netwaits::kSilenceLimit);
  {
    std::lock_guard lock(mutex_);
    paused_ = resumeSignalled_ = false;
  }
  int running = 1;
  CURLcode code = CURLE_OK;
  {
    curl::CurlMultiAttachment attachment(multi_.get(), easy_);
    if (!attachment.attached()) {
      std::lock_guard lock(mutex_);
      if (!headersDone_) error_ = BASS_ERROR_MEM;
      return Ending::Final;
    }
    while (running > 0) {
      if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) break;
      bool resumeTransfer = false;
      {
        std::lock_guard lock(mutex_);
        if (abortRequested()) break;
        if (paused_ && mayResume()) {
          paused_ = resumeSignalled_ = false;
          resumeTransfer = true;
        }
        if (identity_ && running > 0) {
          auto now = Clock::now();
          // A full window wants nothing: silence then is ours, not the server's.
          if (paused_) lastByte_ = now;
          if (now - lastByte_ >= silenceLimit) {
            verdict_ = Ending::Broken;
            break;
          }
          if (now >= reconnection_.giveUpAt()) {
            verdict_ = Ending::Final;
            break;
          }
        }
      }
      // Outside the lock: resuming hands the held-back block to the write callback.
      if (resumeTransfer) {
        curl_easy_pause(easy_, CURLPAUSE_CONT);
        continue;
      }
      if (running > 0) curl_multi_poll(multi_.get(), nullptr, 0, kPollMs, nullptr);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) code = message->data.result;
    }
  }
  easy_ = nullptr;
  std::lock_guard lock(mutex_);
  paused_ = false;
  return endingOf(code, running == 0);
}

HttpSource::Ending HttpSource::endingOf(CURLcode code, bool finishedByCurl) {
  if (abortRequested()) return Ending::Aborted;
  if (verdict_) return *verdict_;
  if (!finishedByCurl) return Ending::Broken;
  if (code == CURLE_OK) {
    // A body shorter than its stated size can end without an error.
    return total_ && buffer_.end() < *total_ ? Ending::Broken : Ending::Complete;
  }
  if (!headersDone_ && error_ == BASS_OK) error_ = errorForCurl(code);
  return Reconnection::worthRetrying(code) ? Ending::Broken : Ending::Final;
}

void HttpSource::failFromCallback() {
  std::lock_guard lock(mutex_);
  verdict_ = Ending::Final;
  if (!headersDone_) {
    error_ = BASS_ERROR_MEM;
    headersDone_ = true;
  }
  changed_.notify_all();
}

std::size_t HttpSource::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto* source = static_cast<HttpSource*>(self);
  source->lastByte_ = Clock::now();
  return guardCallback<std::size_t>(
      0, [&] { return source->headerLine(std::string(data, size * count)) ? size * count : 0; },
      [&] { source->failFromCallback(); });
}

bool HttpSource::headerLine(const std::string& line) {
  // Heads of redirects pass by; curl follows them.
  if (!head_.take(line) || head_.redirect()) return true;
  std::lock_guard lock(mutex_);
  if (transferGeneration_ != generation_) return false;
  if (!identity_) return acceptFirst();
  if (auto refusal = refusalOfLater()) {
    verdict_ = *refusal;
    return false;
  }
  accept();
  return true;
}

bool HttpSource::acceptFirst() {
  if (head_.status() < 200 || head_.status() >= 300 || head_.untrustedSize()) {
    error_ = BASS_ERROR_FILEOPEN;
    verdict_ = Ending::Final;
    headersDone_ = true;
    changed_.notify_all();
    return false;
  }
  identity_ = Identity{head_.etag(), head_.lastModified()};
  accept();
  return true;
}

std::optional<HttpSource::Ending> HttpSource::refusalOfLater() {
  long status = head_.status();
  if (status == 416 && head_.rangeTotal() == requestedFrom_ && total_.value_or(requestedFrom_) == requestedFrom_) {
    total_ = requestedFrom_;  // the file ends where the data does: it is all here
    return Ending::Complete;
  }
  if (status < 200 || status >= 300) {
    return Reconnection::worthRetrying(status) ? Ending::Broken : Ending::Final;
  }
  bool partial = status == 206;
  if (head_.untrustedSize() || (status != 200 && !partial)) return Ending::Final;
  // A resumed download must go on where it broke off; a seek can skip to its offset.
  if (rangeSent_ && !partial && resuming_) return Ending::Final;
  if (partial && head_.rangeFirst() && *head_.rangeFirst() != requestedFrom_) return Ending::Final;
  std::optional<std::uint64_t> total = partial ? head_.rangeTotal() : head_.contentLength();
  if (total && total_ && *total != *total_) return Ending::Final;
  auto differs = [](const std::optional<std::string>& first, const std::optional<std::string>& now) {
    return first && now && *first != *now;
  };
  if (differs(identity_->etag, head_.etag()) || differs(identity_->lastModified, head_.lastModified())) {
    return Ending::Final;
  }
  return std::nullopt;
}

void HttpSource::accept() {
  // Only a 206 proves that the range was honoured; a 200 starts at byte 0.
  bool partial = head_.status() == 206;
  skip_ = partial ? 0 : requestedFrom_;
  if (partial || head_.acceptsRanges()) acceptRanges_ = true;
  if (partial && head_.rangeTotal()) {
    total_ = head_.rangeTotal();
  } else if (head_.contentLength()) {
    total_ = (partial ? requestedFrom_ : 0) + *head_.contentLength();
  }
  char* effective = nullptr;
  if (curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective != nullptr) {
    dataUrl_ = effective;
  }
  headersDone_ = true;
  connected_ = true;
  changed_.notify_all();
}

std::size_t HttpSource::onData(char* data, std::size_t size, std::size_t count, void* self) {
  auto* source = static_cast<HttpSource*>(self);
  source->lastByte_ = Clock::now();
  return guardCallback<std::size_t>(0, [&] { return source->body(data, size * count); },
                                    [&] { source->failFromCallback(); });
}

std::size_t HttpSource::body(const char* data, std::size_t size) {
  {
    std::lock_guard lock(mutex_);
    if (abortRequested()) return 0;
    std::size_t dropped = static_cast<std::size_t>(std::min<std::uint64_t>(skip_, size));
    std::size_t keep = size - dropped;
    if (keep > buffer_.room()) {
      // Make room from what the reader has passed; what is ahead of it stays.
      std::uint64_t played = readPosition_ > buffer_.start() ? readPosition_ - buffer_.start() : 0;
      std::uint64_t wanted = keep - buffer_.room();
      buffer_.dropBefore(buffer_.start() + std::min(played, wanted));
    }
    if (keep > buffer_.room()) {
      paused_ = true;
      publish();
      return CURL_WRITEFUNC_PAUSE;  // libcurl hands the same block again on resume
    }
    skip_ -= dropped;
    buffer_.append(reinterpret_cast<const std::uint8_t*>(data) + dropped, keep);
    if (reconnection_.active()) {
      reconnection_.recovered();
      reconnecting_ = false;
    }
    publish();
  }
  changed_.notify_all();
  // A caller's callback that throws ends this download (onData's guard), nothing more.
  if (proc_ != nullptr) proc_(data, static_cast<DWORD>(size), user_);
  return size;
}

std::size_t HttpSource::read(void* out, std::size_t size) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (cancelled_ || size == 0) return 0;
    if (virtualPosition_) {
      // A tag probe near the end of a file not yet downloaded: nothing to find there.
      std::uint64_t end = total_.value_or(*virtualPosition_);
      std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - std::min(end, *virtualPosition_)));
      std::memset(out, 0, n);
      *virtualPosition_ += n;
      return n;
    }
    std::size_t n = buffer_.copy(readPosition_, static_cast<std::uint8_t*>(out), size);
    if (n > 0) {
      readPosition_ += n;
      publish();
      bool wake = paused_ && !resumeSignalled_ && mayResume();
      if (wake) resumeSignalled_ = true;
      lock.unlock();
      if (wake) curl_multi_wakeup(multi_.get());
      return n;
    }
    if (finished_) return 0;
    if (readDeadline_ && reconnecting_) return 0;
    if (readDeadline_ && Clock::now() >= *readDeadline_) {
      timedOut_ = true;
      return 0;
    }
    changed_.wait_for(lock, 50ms);
  }
}

bool HttpSource::seek(std::uint64_t offset) {
  std::unique_lock lock(mutex_);
  if (offset >= buffer_.start() && offset <= buffer_.end()) {
    readPosition_ = offset;
    virtualPosition_.reset();
    publish();
    return true;
  }
  if (total_ && offset > *total_) return false;
  bool detecting = readDeadline_.has_value();
  if (detecting && total_ && offset + kTagProbeBytes >= *total_) {
    virtualPosition_ = offset;
    return true;
  }
  // Just ahead of the download (a tag being skipped, a short seek): wait for it rather
  // than start over.
  std::uint64_t reach = detecting ? kNearWhileDetecting : kNearAhead;
  if (offset > buffer_.end() && !finished_ && offset - buffer_.end() <= reach) {
    readPosition_ = offset;
    virtualPosition_.reset();
    publish();
    return true;
  }
  if (!acceptRanges_ && offset != 0) return false;
  ++generation_;
  restartAt_ = offset;
  buffer_.restartAt(offset);
  readPosition_ = offset;
  virtualPosition_.reset();
  finished_ = failed_ = false;
  publish();
  lock.unlock();
  changed_.notify_all();
  curl_multi_wakeup(multi_.get());
  return true;
}

std::uint64_t HttpSource::tell() const {
  std::lock_guard lock(mutex_);
  return virtualPosition_.value_or(readPosition_);
}

std::optional<std::uint64_t> HttpSource::size() const {
  std::lock_guard lock(mutex_);
  return total_;
}

bool HttpSource::wholeFileHeld() const {
  return finished_ && !failed_ && buffer_.start() == 0 && total_ && *total_ == buffer_.size();
}

bool HttpSource::complete() const {
  std::lock_guard lock(mutex_);
  return wholeFileHeld();
}

std::unique_ptr<ByteSource> HttpSource::independentReader() const {
  std::lock_guard lock(mutex_);
  if (!wholeFileHeld() || buffer_.size() == 0) return nullptr;
  return std::make_unique<CompletedReader>(*this, buffer_.size());
}

std::uint64_t HttpSource::bytesAhead() const {
  std::uint64_t end = publishedEnd_.load(std::memory_order_relaxed);
  std::uint64_t read = publishedRead_.load(std::memory_order_relaxed);
  return end > read ? end - read : 0;
}

std::uint64_t HttpSource::downloadStart() const { return publishedStart_.load(std::memory_order_relaxed); }

std::uint64_t HttpSource::downloadEnd() const { return publishedEnd_.load(std::memory_order_relaxed); }

bool HttpSource::finished() const { return publishedFinished_.load(std::memory_order_acquire); }

bool HttpSource::connected() const {
  std::lock_guard lock(mutex_);
  return connected_;
}

bool HttpSource::acceptsRanges() const {
  std::lock_guard lock(mutex_);
  return acceptRanges_;
}

bool HttpSource::waitAhead(std::uint64_t bytes, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  // A full window is as far ahead as this download gets.
  bytes = std::min<std::uint64_t>(bytes, buffer_.limit() / 2);
  return changed_.wait_for(lock, timeout, [&] {
    return cancelled_ || finished_ || buffer_.end() >= readPosition_ + bytes;
  });
}

void HttpSource::cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  changed_.notify_all();
}

void HttpSource::limitReadsUntil(Clock::time_point deadline) {
  std::lock_guard lock(mutex_);
  readDeadline_ = deadline;
}

void HttpSource::endReadLimit() {
  std::lock_guard lock(mutex_);
  readDeadline_.reset();
  virtualPosition_.reset();
}

bool HttpSource::timedOut() const {
  std::lock_guard lock(mutex_);
  return timedOut_;
}

bool HttpSource::paused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

}  // namespace platform::audio
