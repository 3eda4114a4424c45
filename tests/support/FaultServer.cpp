#include "tests/support/FaultServer.h"

#include <algorithm>
#include <cstdlib>

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t kHeadLimit = 64 * 1024;
constexpr auto kHeadWait = 5s;

int millisecondsUntil(Clock::time_point until) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 1000));
}

std::string pathOf(const std::string& head) {
  size_t start = head.find(' ');
  if (start == std::string::npos) return {};
  size_t end = head.find_first_of(" ?\r\n", start + 1);
  return head.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

std::optional<std::uint64_t> rangeFromHead(const std::string& head) {
  constexpr std::string_view kRange = "\r\nRange: bytes=";
  std::size_t at = head.find(kRange);
  if (at == std::string::npos) return std::nullopt;
  const char* digits = head.c_str() + at + kRange.size();
  char* end = nullptr;
  unsigned long long from = std::strtoull(digits, &end, 10);
  if (end == digits || *end != '-') return std::nullopt;
  return from;
}

}  // namespace

FaultScript& FaultScript::send(std::string bytes) {
  steps_.push_back({Kind::Send, std::move(bytes)});
  return *this;
}

FaultScript& FaultScript::drip(std::string bytes, std::chrono::milliseconds every) {
  steps_.push_back({Kind::Drip, std::move(bytes), every});
  return *this;
}

FaultScript& FaultScript::silence(std::chrono::milliseconds duration) {
  steps_.push_back({Kind::Silence, {}, duration});
  return *this;
}

FaultScript& FaultScript::silenceForever() {
  return silence(std::chrono::milliseconds::max());
}

FaultScript& FaultScript::endless(std::string bytes) {
  steps_.push_back({Kind::Endless, std::move(bytes)});
  return *this;
}

FaultScript& FaultScript::reset() {
  steps_.push_back({Kind::Reset, {}});
  return *this;
}

std::string httpResponse(const std::string& status, const std::string& headerLines,
                         const std::string& body) {
  return "HTTP/1.1 " + status + "\r\n" + headerLines + "Connection: close\r\n\r\n" + body;
}

std::string rangeResponse(const std::string& body, const FaultRequest& request,
                          const std::string& headerLines) {
  std::string lines = headerLines + "Accept-Ranges: bytes\r\n";
  if (!request.rangeFrom) {
    return httpResponse("200 OK", lines + "Content-Length: " + std::to_string(body.size()) + "\r\n", body);
  }
  std::uint64_t from = *request.rangeFrom;
  if (from >= body.size()) {
    return httpResponse("416 Range Not Satisfiable",
                        lines + "Content-Range: bytes */" + std::to_string(body.size()) + "\r\nContent-Length: 0\r\n", "");
  }
  std::string part = body.substr(static_cast<std::size_t>(from));
  return httpResponse("206 Partial Content",
                      lines + "Content-Range: bytes " + std::to_string(from) + "-" + std::to_string(body.size() - 1) +
                          "/" + std::to_string(body.size()) + "\r\nContent-Length: " + std::to_string(part.size()) +
                          "\r\n",
                      part);
}

FaultServer::FaultServer(std::chrono::milliseconds connectionLimit)
    : connectionLimit_(connectionLimit) {
  const LoopbackSocket listener = listenOnLoopback(64);
  listener_ = listener.socket;
  port_ = listener.port;
  acceptor_ = std::thread([this] { acceptLoop(); });
}

FaultServer::~FaultServer() {
  stop_.raise();
  if (acceptor_.joinable()) acceptor_.join();
  for (auto& thread : connectionThreads_) thread.join();
  if (listener_ != kNoSocket) closeSocket(listener_);
}

void FaultServer::on(const std::string& path, FaultScript script) {
  on(path, [script = std::move(script)](const FaultRequest&) { return script; });
}

void FaultServer::on(const std::string& path, Handler handler) {
  std::lock_guard lock(mutex_);
  handlers_[path] = std::move(handler);
}

void FaultServer::stopListening() {
  stopListening_.raise();
  // The acceptor closes the socket as it leaves, so nothing is refused before this returns
  // and everything is after.
  if (acceptor_.joinable()) acceptor_.join();
}

void FaultServer::closeEveryConnectionAtAccept() {
  std::lock_guard lock(mutex_);
  closeAtAccept_ = true;
}

std::string FaultServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int FaultServer::connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

std::vector<std::string> FaultServer::requestHeads() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

bool FaultServer::waitFor(SocketHandle socket, bool write, Clock::time_point until) {
  for (;;) {
    PollEntry entries[2] = {{socket, !write, write}, {stop_.waitable(), true}};
    int ready = pollSockets(entries, 2, millisecondsUntil(until));
    if (ready < 0 || entries[1].ready) return false;
    if (entries[0].ready) return true;
    if (Clock::now() >= until) return false;
  }
}

void FaultServer::acceptLoop() {
  for (;;) {
    PollEntry entries[3] = {{listener_, true}, {stop_.waitable(), true}, {stopListening_.waitable(), true}};
    int ready = pollSockets(entries, 3, -1);
    if (ready == 0) continue;
    if (ready < 0 || entries[1].ready || entries[2].ready) break;
    SocketHandle client = acceptClient(listener_);
    if (client == kNoSocket) continue;
    bool closeNow = false;
    {
      std::lock_guard lock(mutex_);
      ++connections_;
      closeNow = closeAtAccept_;
    }
    if (closeNow) {
      closeSocket(client);
      continue;
    }
    connectionThreads_.emplace_back([this, client] {
      serve(client);
      closeSocket(client);
    });
  }
  closeSocket(listener_);
  listener_ = kNoSocket;
}

bool FaultServer::readHead(SocketHandle client, Clock::time_point deadline, std::string& head) {
  char chunk[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kHeadLimit) {
    if (!waitFor(client, false, std::min(deadline, Clock::now() + kHeadWait))) return false;
    long n = receiveSome(client, chunk, sizeof chunk);
    if (n == kWouldBlock) continue;
    if (n <= 0) return false;
    head.append(chunk, static_cast<size_t>(n));
  }
  return true;
}

void FaultServer::serve(SocketHandle client) {
  auto deadline = Clock::now() + connectionLimit_;
  std::string head;
  if (!readHead(client, deadline, head)) return;
  FaultRequest request{head, 0, rangeFromHead(head)};
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    heads_.push_back(head);
    std::string path = pathOf(head);
    request.earlier = requestCounts_[path]++;
    auto found = handlers_.find(path);
    if (found != handlers_.end()) handler = found->second;
  }
  FaultScript script;
  if (handler) {
    script = handler(request);
  } else {
    script.send(httpResponse("404 Not Found", "Content-Length: 9\r\n", "not found"));
  }
  if (play(client, script, deadline)) shutdownSending(client);
}

bool FaultServer::sendAll(SocketHandle client, std::string_view bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    if (!waitFor(client, true, deadline)) return false;
    long n = sendSome(client, bytes.data(), bytes.size());
    if (n == kWouldBlock) continue;
    if (n <= 0) return false;
    bytesSent_ += static_cast<std::uint64_t>(n);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Sends nothing until then, reading and dropping whatever the client sends; false when the
// client leaves, the server stops or the connection's deadline is reached.
bool FaultServer::idleUntil(SocketHandle client, Clock::time_point until) {
  while (Clock::now() < until) {
    if (waitFor(client, false, until)) {
      char ignored[512];
      long n = receiveSome(client, ignored, sizeof ignored);
      if (n == 0 || n == kFailed) return false;
    } else if (Clock::now() < until) {
      return false;
    }
  }
  return true;
}

// False when the connection is over (client gone, reset, time up) and needs no close.
bool FaultServer::play(SocketHandle client, const FaultScript& script, Clock::time_point deadline) {
  for (const auto& step : script.steps_) {
    switch (step.kind) {
      case FaultScript::Kind::Send:
        if (!sendAll(client, step.bytes, deadline)) return false;
        break;
      case FaultScript::Kind::Drip:
        for (char byte : step.bytes) {
          if (!idleUntil(client, std::min(deadline, Clock::now() + step.time)) ||
              !sendAll(client, std::string_view(&byte, 1), deadline))
            return false;
        }
        break;
      case FaultScript::Kind::Silence: {
        bool forever = step.time == std::chrono::milliseconds::max();
        if (!idleUntil(client, forever ? deadline : std::min(deadline, Clock::now() + step.time)))
          return false;
        break;
      }
      case FaultScript::Kind::Endless:
        while (sendAll(client, step.bytes, deadline)) {
        }
        return false;
      case FaultScript::Kind::Reset: {
        resetOnClose(client);
        return false;
      }
    }
  }
  return true;
}

}  // namespace testsupport
