#include "tools/song-service/SongService.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include <unistd.h>

#include "tools/song-service/ByteRange.h"
#include "tools/song-service/SongAnswers.h"

namespace songservice {
namespace {

constexpr char kJsonpType[] = "text/javascript; charset=GBK";
constexpr std::size_t kMediaChunk = 64 * 1024;
constexpr int kWorkerThreads = 16;

void answerText(httplib::Response& response, int status, const std::string& text) {
  response.status = status;
  response.set_content(text + "\n", "text/plain; charset=utf-8");
}

// Only a plain host name or address with an optional port goes into links we hand out.
bool isPlainHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
    if (!plain) return false;
  }
  return true;
}

// The callback named by the request, or nullopt (after answering 400) when it is unusable.
std::optional<std::string> callbackOf(const httplib::Request& request, httplib::Response& response) {
  if (!request.has_param("jsoncallback")) return std::string();
  std::string name = request.get_param_value("jsoncallback");
  if (!isCallbackName(name)) {
    answerText(response, 400, "jsoncallback must be a script name of at most 64 characters");
    return std::nullopt;
  }
  return name;
}

// Sends one response's bytes in chunks, paced and cut as the options say.
class MediaDelivery {
 public:
  MediaDelivery(MediaBody body, std::size_t first, const ServiceOptions& options,
                const std::atomic<bool>& stopping)
      : body_(std::move(body)), first_(first), bytesPerSecond_(options.slowBytesPerSecond),
        cutAfter_(options.cutAfterBytes), stopping_(stopping),
        started_(std::chrono::steady_clock::now()) {}

  // offset counts from the start of this response's body; false ends the connection.
  bool send(std::size_t offset, std::size_t length, httplib::DataSink& sink) const {
    std::size_t chunk = std::min(length, kMediaChunk);
    if (bytesPerSecond_ > 0) chunk = std::min<std::size_t>(chunk, std::max<long long>(1, bytesPerSecond_ / 20));
    if (cutAfter_ >= 0) {
      if (offset >= static_cast<std::size_t>(cutAfter_)) return false;
      chunk = std::min<std::size_t>(chunk, cutAfter_ - offset);
    }
    if (bytesPerSecond_ > 0 && !waitUntilDue(offset)) return false;
    if (stopping_) return false;
    if (body_.bytes) return sink.write(body_.bytes->data() + first_ + offset, chunk);
    // A file that shrank or went bad meanwhile ends the connection: the length was promised.
    buffer_.resize(chunk);
    if (body_.file->readAt(first_ + offset, buffer_.data(), chunk) != chunk) return false;
    return sink.write(buffer_.data(), chunk);
  }

 private:
  // Waits in short steps so a stopping service is not held up by a slow download.
  bool waitUntilDue(std::size_t offset) const {
    auto due = started_ + std::chrono::microseconds(static_cast<long long>(
                              offset * 1'000'000.0 / static_cast<double>(bytesPerSecond_)));
    while (std::chrono::steady_clock::now() < due) {
      if (stopping_) return false;
      auto step = std::min<std::chrono::steady_clock::duration>(due - std::chrono::steady_clock::now(),
                                                                std::chrono::milliseconds(20));
      std::this_thread::sleep_for(step);
    }
    return true;
  }

  MediaBody body_;
  std::size_t first_;
  mutable std::string buffer_;  // one request's provider runs on one thread at a time
  long long bytesPerSecond_;
  long long cutAfter_;
  const std::atomic<bool>& stopping_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace

SongService::SongService(SongSource& source, ServiceOptions options) : source_(source), options_(options) {
  // Without it a reused connection waits for the delayed ACK.
  server_.set_tcp_nodelay(true);
  server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  addRoutes();
}

int SongService::bind(const std::string& address, int port) {
  if (port == 0) port_ = server_.bind_to_any_port(address.c_str());
  else port_ = server_.bind_to_port(address.c_str(), port) ? port : -1;
  if (port_ <= 0) port_ = -1;
  return port_;
}

bool SongService::run() { return port_ > 0 && server_.listen_after_bind(); }

void SongService::stop() {
  stopping_ = true;
  server_.stop();
}

void SongService::addRoutes() {
  // The library would slice every answer by the request's Range itself, and an
  // unsatisfiable range makes it fail outside any handler; the media route reads the
  // header on its own and no other route takes ranges.
  server_.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
    const_cast<httplib::Request&>(request).ranges.clear();
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server_.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty())
          answerText(response, response.status, response.status == 404 ? "not found" : "bad request");
        return httplib::Server::HandlerResponse::Handled;
      }));
  server_.Get("/api/songlist2", [this](const httplib::Request& q, httplib::Response& r) { answerSearch(q, r); });
  server_.Get("/api/links2", [this](const httplib::Request& q, httplib::Response& r) { answerLinks(q, r); });
  server_.Get("/new/app/i/yueku.php",
              [this](const httplib::Request& q, httplib::Response& r) { answerPicture(q, r); });
  server_.Get(R"(/media/([^/]+))", [this](const httplib::Request& q, httplib::Response& r) {
    serveBody(q, r, source_.media(q.matches[1].str()), true);
  });
  server_.Get(R"(/pictures/([^/]+))", [this](const httplib::Request& q, httplib::Response& r) {
    serveBody(q, r, source_.picture(q.matches[1].str()), false);
  });
}

std::string SongService::hostOf(const httplib::Request& request) const {
  std::string host = request.get_header_value("Host");
  return isPlainHost(host) ? host : "127.0.0.1:" + std::to_string(port_);
}

void SongService::answerSearch(const httplib::Request& request, httplib::Response& response) {
  if (!request.has_param("query")) return answerText(response, 400, "missing query");
  auto callback = callbackOf(request, response);
  if (!callback) return;
  std::string json = source_.searchAnswer(request.get_param_value("query"), request.remote_addr);
  // Moved in rather than set: a full answer is some hundred kilobytes.
  response.body = wrapped(*callback, json);
  response.set_header("Content-Type", kJsonpType);
}

void SongService::answerLinks(const httplib::Request& request, httplib::Response& response) {
  if (options_.links404) return answerText(response, 404, "not found");
  if (!request.has_param("query")) return answerText(response, 400, "missing query");
  auto callback = callbackOf(request, response);
  if (!callback) return;
  auto json = source_.linksAnswer(request.get_param_value("query"), request.remote_addr, hostOf(request),
                                  options_.linksWithoutUrl);
  if (!json) {
    response.status = 404;
    response.set_content(wrapped(*callback, "{\"status\":0,\"error\":\"no such song\"}"), kJsonpType);
    return;
  }
  response.set_content(wrapped(*callback, *json), kJsonpType);
}

void SongService::answerPicture(const httplib::Request& request, httplib::Response& response) {
  if (!request.has_param("singer")) return answerText(response, 400, "missing singer");
  response.set_content(source_.pictureAnswer(request.get_param_value("singer"), hostOf(request)),
                       "application/json; charset=utf-8");
}

// Media are paced and cut by the fault flags; pictures go out whole.
void SongService::serveBody(const httplib::Request& request, httplib::Response& response,
                            std::optional<MediaBody> body, bool paced) {
  if (!body || body->size == 0) return answerText(response, 404, paced ? "no such media file" : "no such picture");
  const std::size_t size = body->size;
  if (!body->etag.empty()) response.set_header("ETag", body->etag);
  if (!body->lastModified.empty()) response.set_header("Last-Modified", body->lastModified);
  const bool ranges = paced && !options_.noRanges;
  if (ranges) response.set_header("Accept-Ranges", "bytes");
  ByteRange range = ranges ? parseByteRange(request.get_header_value("Range"), size)
                          : ByteRange{ByteRange::Kind::Whole, 0, size};
  // A range asked of an older version of the file gets the whole new one.
  if (range.kind != ByteRange::Kind::Whole && request.has_header("If-Range") &&
      request.get_header_value("If-Range") != body->etag)
    range = ByteRange{ByteRange::Kind::Whole, 0, size};
  if (range.kind == ByteRange::Kind::Unsatisfiable) {
    response.set_header("Content-Range", "bytes */" + std::to_string(size));
    return answerText(response, 416, "range not satisfiable");
  }
  if (range.kind == ByteRange::Kind::Part) {
    response.status = 206;
    response.set_header("Content-Range", "bytes " + std::to_string(range.first) + "-" +
                                             std::to_string(range.first + range.length - 1) + "/" +
                                             std::to_string(size));
  } else {
    response.status = 200;
  }
  const std::string type = body->contentType;
  ServiceOptions pacing = paced ? options_ : ServiceOptions{};
  auto delivery = std::make_shared<MediaDelivery>(std::move(*body), range.first, pacing, stopping_);
  response.set_content_provider(
      range.length, type.c_str(),
      [delivery](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        return delivery->send(offset, length, sink);
      });
}

}  // namespace songservice
