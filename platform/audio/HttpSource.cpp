#include "platform/audio/HttpSource.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "platform/audio/MemorySource.h"

namespace platform::audio {
namespace {

using namespace std::chrono_literals;

constexpr auto kConnectTimeout = 5s;
// Tag probes look at the last bytes of a file (ID3v1, APE, Lyrics3).
constexpr std::uint64_t kTagProbeBytes = 4096;
constexpr std::uint64_t kNearAhead = 64 * 1024;
constexpr std::uint64_t kNearWhileDetecting = 16 * 1024 * 1024;

void curlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)ready;
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::optional<std::uint64_t> parseNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i == text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (UINT64_MAX - 9) / 10) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  return value;
}

bool headerIs(const std::string& line, const char* name, std::string& value) {
  std::size_t length = std::strlen(name);
  if (line.size() <= length || strncasecmp(line.c_str(), name, length) != 0 || line[length] != ':') {
    return false;
  }
  value = line.substr(length + 1);
  while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) {
    value.pop_back();
  }
  return true;
}

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

HttpSource::HttpSource(std::string url, std::uint64_t offset, DOWNLOADPROC proc, void* user)
    : url_(std::move(url)), proc_(proc), user_(user) {
  segmentStart_ = readPosition_ = offset;
  multi_ = curl_multi_init();
}

std::unique_ptr<HttpSource> HttpSource::open(const std::string& url, std::uint64_t offset,
                                             DOWNLOADPROC proc, void* user, int& error) {
  curlReady();
  std::unique_ptr<HttpSource> source(new HttpSource(url, offset, proc, user));
  if (source->multi_ == nullptr) {
    error = BASS_ERROR_MEM;
    return nullptr;
  }
  source->thread_ = std::thread([raw = source.get()] { raw->run(); });
  std::unique_lock lock(source->mutex_);
  bool answered = source->changed_.wait_for(lock, kConnectTimeout, [&] {
    return source->headersDone_ || source->finished_;
  });
  if (!answered) {
    error = BASS_ERROR_TIMEOUT;
  } else if (source->failed_ && !source->headersDone_) {
    error = source->error_;
  } else if (source->error_ != BASS_OK) {
    error = source->error_;  // a status that is not 2xx
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
  curl_multi_wakeup(multi_);
  if (thread_.joinable()) thread_.join();
  curl_multi_cleanup(multi_);
}

void HttpSource::run() {
  std::uint64_t from = 0;
  std::uint64_t generation = 0;
  {
    std::lock_guard lock(mutex_);
    from = segmentStart_;
  }
  for (;;) {
    transfer(from, generation);
    std::unique_lock lock(mutex_);
    if (generation == generation_ && !restartAt_) {
      finished_ = true;
      connected_ = false;
      if (!failed_ && !total_) total_ = segmentStart_ + data_.size();
      changed_.notify_all();
      if (proc_ != nullptr && !stopping_) {
        lock.unlock();
        proc_(nullptr, 0, user_);  // the download has ended
        lock.lock();
      }
    }
    changed_.wait(lock, [&] { return stopping_ || restartAt_.has_value(); });
    if (stopping_) break;
    from = *restartAt_;
    restartAt_.reset();
    generation = generation_;
  }
}

bool HttpSource::abortRequested() const {
  return stopping_ || restartAt_.has_value() || transferGeneration_ != generation_;
}

void HttpSource::transfer(std::uint64_t from, std::uint64_t generation) {
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) {
    std::lock_guard lock(mutex_);
    failed_ = true;
    error_ = BASS_ERROR_MEM;
    return;
  }
  status_ = 0;
  requestedFrom_ = from;
  transferGeneration_ = generation;
  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(std::chrono::milliseconds(kConnectTimeout).count()));
  curl_easy_setopt(e, CURLOPT_TCP_NODELAY, 1L);
  curl_easy_setopt(e, CURLOPT_USERAGENT, "Tunora");
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HttpSource::onData);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HttpSource::onHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
  std::string range;
  if (from > 0) {
    range = std::to_string(from) + "-";
    curl_easy_setopt(e, CURLOPT_RANGE, range.c_str());
  }
  curl_multi_add_handle(multi_, e);
  int running = 1;
  CURLcode code = CURLE_OK;
  while (running > 0) {
    if (curl_multi_perform(multi_, &running) != CURLM_OK) break;
    {
      std::lock_guard lock(mutex_);
      if (abortRequested()) break;
    }
    if (running > 0) curl_multi_poll(multi_, nullptr, 0, 100, nullptr);
  }
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == e) code = message->data.result;
  }
  curl_multi_remove_handle(multi_, e);

  std::lock_guard lock(mutex_);
  if (generation != generation_) return;
  if (running > 0 && !stopping_) return;  // aborted for a restart
  if (code != CURLE_OK && code != CURLE_WRITE_ERROR) {
    failed_ = true;
    if (error_ == BASS_OK && !headersDone_) error_ = errorForCurl(code);
  }
}

std::size_t HttpSource::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto* source = static_cast<HttpSource*>(self);
  return source->headerLine(std::string(data, size * count)) ? size * count : 0;
}

bool HttpSource::headerLine(const std::string& line) {
  if (line.rfind("HTTP/", 0) == 0) {
    std::size_t space = line.find(' ');
    status_ = space == std::string::npos ? 0 : static_cast<long>(parseNumber(line.substr(space)).value_or(0));
    sawLocation_ = sawAcceptRanges_ = false;
    contentLength_.reset();
    rangeTotal_.reset();
    return true;
  }
  std::string value;
  if (headerIs(line, "Location", value)) {
    sawLocation_ = true;
  } else if (headerIs(line, "Accept-Ranges", value)) {
    sawAcceptRanges_ = value.find("bytes") != std::string::npos;
  } else if (headerIs(line, "Content-Length", value)) {
    contentLength_ = parseNumber(value);
  } else if (headerIs(line, "Content-Range", value)) {
    std::size_t slash = value.find('/');
    if (slash != std::string::npos) rangeTotal_ = parseNumber(value.substr(slash + 1));
  }
  if (line != "\r\n" && line != "\n") return true;

  // The end of one response's headers; redirects are followed by curl.
  if (status_ >= 300 && status_ < 400 && sawLocation_) return true;
  std::lock_guard lock(mutex_);
  if (transferGeneration_ != generation_) return false;
  bool partial = status_ == 206;
  if (status_ < 200 || status_ >= 300) {
    if (!headersDone_) error_ = BASS_ERROR_FILEOPEN;
    failed_ = true;
    headersDone_ = true;
    changed_.notify_all();
    return false;
  }
  // Only a 206 proves that the range was honoured; a 200 starts at byte 0.
  skip_ = partial ? 0 : requestedFrom_;
  if (partial || sawAcceptRanges_) acceptRanges_ = true;
  if (partial && rangeTotal_) {
    total_ = rangeTotal_;
  } else if (contentLength_) {
    total_ = (partial ? requestedFrom_ : 0) + *contentLength_;
  }
  if (total_) data_.reserve(static_cast<std::size_t>(*total_ - std::min(*total_, segmentStart_)));
  headersDone_ = true;
  connected_ = true;
  changed_.notify_all();
  return true;
}

std::size_t HttpSource::onData(char* data, std::size_t size, std::size_t count, void* self) {
  auto* source = static_cast<HttpSource*>(self);
  std::size_t bytes = size * count;
  return source->body(data, bytes) ? bytes : 0;
}

bool HttpSource::body(const char* data, std::size_t size) {
  {
    std::lock_guard lock(mutex_);
    if (abortRequested()) return false;
    std::size_t dropped = static_cast<std::size_t>(std::min<std::uint64_t>(skip_, size));
    skip_ -= dropped;
    data_.insert(data_.end(), data + dropped, data + size);
  }
  changed_.notify_all();
  if (proc_ != nullptr) proc_(data, static_cast<DWORD>(size), user_);
  return true;
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
    std::uint64_t end = segmentStart_ + data_.size();
    if (readPosition_ >= segmentStart_ && readPosition_ < end) {
      std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - readPosition_));
      std::memcpy(out, data_.data() + (readPosition_ - segmentStart_), n);
      readPosition_ += n;
      return n;
    }
    if (finished_) return 0;
    if (readDeadline_ && std::chrono::steady_clock::now() >= *readDeadline_) {
      timedOut_ = true;
      return 0;
    }
    changed_.wait_for(lock, 50ms);
  }
}

bool HttpSource::seek(std::uint64_t offset) {
  std::unique_lock lock(mutex_);
  std::uint64_t end = segmentStart_ + data_.size();
  if (offset >= segmentStart_ && offset <= end) {
    readPosition_ = offset;
    virtualPosition_.reset();
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
  std::uint64_t near = detecting ? kNearWhileDetecting : kNearAhead;
  if (offset > end && !finished_ && offset - end <= near) {
    readPosition_ = offset;
    virtualPosition_.reset();
    return true;
  }
  if (!acceptRanges_ && offset != 0) return false;
  ++generation_;
  restartAt_ = offset;
  segmentStart_ = readPosition_ = offset;
  virtualPosition_.reset();
  data_.clear();
  finished_ = failed_ = false;
  lock.unlock();
  changed_.notify_all();
  curl_multi_wakeup(multi_);
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

bool HttpSource::complete() const {
  std::lock_guard lock(mutex_);
  return finished_ && !failed_ && segmentStart_ == 0 && total_ && *total_ == data_.size();
}

std::unique_ptr<ByteSource> HttpSource::independentReader() const {
  std::lock_guard lock(mutex_);
  // Once complete the buffer never changes again: every seek lands inside it.
  bool whole = finished_ && !failed_ && segmentStart_ == 0 && total_ && *total_ == data_.size();
  if (!whole || data_.empty()) return nullptr;
  return std::make_unique<MemorySource>(data_.data(), data_.size());
}

std::uint64_t HttpSource::bytesAhead() const {
  std::lock_guard lock(mutex_);
  std::uint64_t end = segmentStart_ + data_.size();
  return end > readPosition_ ? end - readPosition_ : 0;
}

std::uint64_t HttpSource::downloadEnd() const {
  std::lock_guard lock(mutex_);
  return segmentStart_ + data_.size();
}

bool HttpSource::finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

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
  return changed_.wait_for(lock, timeout, [&] {
    return cancelled_ || finished_ || segmentStart_ + data_.size() >= readPosition_ + bytes;
  });
}

void HttpSource::cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  changed_.notify_all();
}

void HttpSource::limitReadsFor(std::chrono::milliseconds duration) {
  std::lock_guard lock(mutex_);
  if (duration.count() > 0) {
    readDeadline_ = std::chrono::steady_clock::now() + duration;
  } else {
    readDeadline_.reset();
    virtualPosition_.reset();
  }
}

bool HttpSource::timedOut() const {
  std::lock_guard lock(mutex_);
  return timedOut_;
}

}  // namespace platform::audio
