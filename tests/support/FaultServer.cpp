#include "tests/support/FaultServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "tests/support/LoopbackListener.h"

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
  const testsupport::LoopbackListener listener = testsupport::openLoopbackListener(64);
  listenFd_ = listener.fd;
  port_ = listener.port;
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  stopListeningFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0 || stopListeningFd_ < 0) std::abort();
  acceptor_ = std::thread([this] { acceptLoop(); });
}

FaultServer::~FaultServer() {
  std::uint64_t one = 1;
  if (::write(stopFd_, &one, sizeof one) != sizeof one) std::abort();
  if (acceptor_.joinable()) acceptor_.join();
  for (auto& thread : connectionThreads_) thread.join();
  if (listenFd_ >= 0) ::close(listenFd_);
  ::close(stopFd_);
  ::close(stopListeningFd_);
}

void FaultServer::on(const std::string& path, FaultScript script) {
  on(path, [script = std::move(script)](const FaultRequest&) { return script; });
}

void FaultServer::on(const std::string& path, Handler handler) {
  std::lock_guard lock(mutex_);
  handlers_[path] = std::move(handler);
}

void FaultServer::stopListening() {
  std::uint64_t one = 1;
  if (::write(stopListeningFd_, &one, sizeof one) != sizeof one) std::abort();
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

bool FaultServer::waitFor(int fd, short events, Clock::time_point until) {
  for (;;) {
    pollfd fds[2] = {{fd, events, 0}, {stopFd_, POLLIN, 0}};
    int ready = ::poll(fds, 2, millisecondsUntil(until));
    if (ready < 0 && errno != EINTR) return false;
    if (fds[1].revents & POLLIN) return false;
    if (ready > 0 && fds[0].revents) return true;
    if (Clock::now() >= until) return false;
  }
}

void FaultServer::acceptLoop() {
  for (;;) {
    pollfd fds[3] = {{listenFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}, {stopListeningFd_, POLLIN, 0}};
    int ready = ::poll(fds, 3, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || fds[1].revents != 0 || fds[2].revents != 0) break;
    int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) continue;
    bool closeNow = false;
    {
      std::lock_guard lock(mutex_);
      ++connections_;
      closeNow = closeAtAccept_;
    }
    if (closeNow) {
      ::close(client);
      continue;
    }
    connectionThreads_.emplace_back([this, client] {
      serve(client);
      ::close(client);
    });
  }
  ::close(listenFd_);
  listenFd_ = -1;
}

bool FaultServer::readHead(int client, Clock::time_point deadline, std::string& head) {
  char chunk[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kHeadLimit) {
    if (!waitFor(client, POLLIN, std::min(deadline, Clock::now() + kHeadWait))) return false;
    ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return false;
    head.append(chunk, static_cast<size_t>(n));
  }
  return true;
}

void FaultServer::serve(int client) {
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
  if (play(client, script, deadline)) ::shutdown(client, SHUT_WR);
}

bool FaultServer::sendAll(int client, std::string_view bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    if (!waitFor(client, POLLOUT, deadline)) return false;
    ssize_t n = ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return false;
    bytesSent_ += static_cast<std::uint64_t>(n);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Sends nothing until then, reading and dropping whatever the client sends; false when the
// client leaves, the server stops or the connection's deadline is reached.
bool FaultServer::idleUntil(int client, Clock::time_point until) {
  while (Clock::now() < until) {
    if (waitFor(client, POLLIN, until)) {
      char ignored[512];
      ssize_t n = ::recv(client, ignored, sizeof ignored, 0);
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return false;
    } else if (Clock::now() < until) {
      return false;
    }
  }
  return true;
}

// False when the connection is over (client gone, reset, time up) and needs no close.
bool FaultServer::play(int client, const FaultScript& script, Clock::time_point deadline) {
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
        linger abort{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        return false;
      }
    }
  }
  return true;
}

std::uint64_t residentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtoull(line.c_str() + 6, nullptr, 10) * 1024;
  }
  return 0;
}

}  // namespace testsupport
