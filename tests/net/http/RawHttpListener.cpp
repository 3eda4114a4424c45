#include "tests/net/http/RawHttpListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "tests/support/LoopbackListener.h"

namespace net::test {
namespace {

constexpr int kReadTimeoutMs = 5000;

size_t contentLengthOf(const std::string& head) {
  std::string lowered = head;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  size_t at = lowered.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return std::strtoul(lowered.c_str() + at + 17, nullptr, 10);
}

void sendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace

RawHttpListener::RawHttpListener(std::string response)
    : RawHttpListener(std::move(response), true) {}

RawHttpListener::RawHttpListener(NeverAnswer) : RawHttpListener(std::string(), false) {}

RawHttpListener::RawHttpListener(std::string response, bool answer)
    : response_(std::move(response)), answer_(answer) {
  const testsupport::LoopbackListener listener = testsupport::openLoopbackListener(16);
  listenFd_ = listener.fd;
  port_ = listener.port;
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0) std::abort();
  thread_ = std::thread([this] { serve(); });
}

RawHttpListener::~RawHttpListener() {
  std::uint64_t one = 1;
  if (::write(stopFd_, &one, sizeof one) != sizeof one) std::abort();
  thread_.join();
  for (int fd : heldOpen_) ::close(fd);
  ::close(listenFd_);
  ::close(stopFd_);
}

std::vector<std::string> RawHttpListener::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int RawHttpListener::connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

bool RawHttpListener::waitForConnections(int count) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return connections_ >= count; });
}

// False when the listener is stopping or the peer stayed silent too long.
bool RawHttpListener::waitReadable(int fd, int timeoutMs) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
  int ready = ::poll(fds, 2, timeoutMs);
  return ready > 0 && (fds[1].revents & POLLIN) == 0 && (fds[0].revents & (POLLIN | POLLHUP));
}

std::string RawHttpListener::readRequest(int client) {
  std::string data;
  size_t wanted = std::string::npos;
  char chunk[4096];
  while (data.size() < wanted && waitReadable(client, kReadTimeoutMs)) {
    ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    data.append(chunk, static_cast<size_t>(n));
    size_t headEnd = data.find("\r\n\r\n");
    if (wanted == std::string::npos && headEnd != std::string::npos)
      wanted = headEnd + 4 + contentLengthOf(data.substr(0, headEnd + 2));
  }
  return data;
}

void RawHttpListener::serve() {
  while (waitReadable(listenFd_, -1)) {
    int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    {
      std::lock_guard lock(mutex_);
      ++connections_;
    }
    changed_.notify_all();
    if (!answer_) {
      heldOpen_.push_back(client);
      continue;
    }
    std::string request = readRequest(client);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(std::move(request));
    }
    changed_.notify_all();
    sendAll(client, response_);
    ::shutdown(client, SHUT_WR);
    ::close(client);
  }
}

}  // namespace net::test
