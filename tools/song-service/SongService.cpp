#include "tools/song-service/SongService.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/text/CodePage.h"
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
  MediaDelivery(std::shared_ptr<const std::string> bytes, std::size_t first, const ServiceOptions& options,
                const std::atomic<bool>& stopping)
      : bytes_(std::move(bytes)), first_(first), bytesPerSecond_(options.slowBytesPerSecond),
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
    return sink.write(bytes_->data() + first_ + offset, chunk);
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

  std::shared_ptr<const std::string> bytes_;
  std::size_t first_;
  long long bytesPerSecond_;
  long long cutAfter_;
  const std::atomic<bool>& stopping_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace

SongService::SongService(Catalogue catalogue, ServiceOptions options)
    : catalogue_(std::move(catalogue)), options_(options) {
  // Without it a reused connection waits for the delayed ACK.
  server_.set_tcp_nodelay(true);
  server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  addRoutes();
}

int SongService::bind(int port) {
  if (port == 0) port_ = server_.bind_to_any_port("127.0.0.1");
  else port_ = server_.bind_to_port("127.0.0.1", port) ? port : -1;
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
  server_.Get(R"(/media/([^/]+))", [this](const httplib::Request& q, httplib::Response& r) { serveMedia(q, r); });
  server_.Get(R"(/pictures/([^/]+))",
              [this](const httplib::Request& q, httplib::Response& r) { servePicture(q, r); });
}

std::string SongService::hostOf(const httplib::Request& request) const {
  std::string host = request.get_header_value("Host");
  return isPlainHost(host) ? host : "127.0.0.1:" + std::to_string(port_);
}

void SongService::answerSearch(const httplib::Request& request, httplib::Response& response) const {
  if (!request.has_param("query")) return answerText(response, 400, "missing query");
  auto callback = callbackOf(request, response);
  if (!callback) return;
  auto hits = catalogue_.search(request.get_param_value("query"));
  std::string json = searchAnswer(catalogue_, hits);
  response.set_content(platform::text::utf8ToAnsi(wrapped(*callback, json)), kJsonpType);
}

void SongService::answerLinks(const httplib::Request& request, httplib::Response& response) const {
  if (options_.links404) return answerText(response, 404, "not found");
  if (!request.has_param("query")) return answerText(response, 400, "missing query");
  auto callback = callbackOf(request, response);
  if (!callback) return;
  const IndexSong* song = catalogue_.findByTitleThenSinger(request.get_param_value("query"));
  if (!song) {
    response.status = 404;
    response.set_content(wrapped(*callback, "{\"status\":0,\"error\":\"no such song\"}"), kJsonpType);
    return;
  }
  std::string json = options_.linksWithoutUrl ? linksAnswerWithoutUrl(*song)
                                              : linksAnswer(catalogue_, *song, hostOf(request));
  response.set_content(platform::text::utf8ToAnsi(wrapped(*callback, json)), kJsonpType);
}

void SongService::answerPicture(const httplib::Request& request, httplib::Response& response) const {
  if (!request.has_param("singer")) return answerText(response, 400, "missing singer");
  const IndexSinger* singer = catalogue_.findSinger(request.get_param_value("singer"));
  response.set_content(singer ? pictureAnswer(*singer, hostOf(request)) : noPictureAnswer(),
                       "application/json; charset=utf-8");
}

void SongService::serveMedia(const httplib::Request& request, httplib::Response& response) {
  auto bytes = catalogue_.media(request.matches[1].str());
  if (!bytes) return answerText(response, 404, "no such media file");
  const std::size_t size = bytes->size();
  response.set_header("Accept-Ranges", "bytes");
  ByteRange range = parseByteRange(request.get_header_value("Range"), size);
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
  auto delivery = std::make_shared<MediaDelivery>(std::move(bytes), range.first, options_, stopping_);
  response.set_content_provider(
      range.length, "audio/mpeg",
      [delivery](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        return delivery->send(offset, length, sink);
      });
}

void SongService::servePicture(const httplib::Request& request, httplib::Response& response) const {
  auto bytes = catalogue_.picture(request.matches[1].str());
  if (!bytes) return answerText(response, 404, "no such picture");
  response.set_content(*bytes, "image/png");
}

}  // namespace songservice
