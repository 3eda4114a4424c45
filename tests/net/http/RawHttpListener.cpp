#include "tests/net/http/RawHttpListener.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>

namespace net::test {
namespace {

using namespace testsupport;

constexpr int kReadTimeoutMs = 5000;

size_t contentLengthOf(const std::string& head) {
  std::string lowered = head;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  size_t at = lowered.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return std::strtoul(lowered.c_str() + at + 17, nullptr, 10);
}

void sendAll(SocketHandle socket, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    long n = sendSome(socket, data.data() + sent, data.size() - sent);
    if (n == kWouldBlock) {
      PollEntry writable{socket, false, true};
      if (pollSockets(&writable, 1, 5000) <= 0) return;
      continue;
    }
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
  const LoopbackSocket listener = listenOnLoopback(16);
  listener_ = listener.socket;
  port_ = listener.port;
  thread_ = std::thread([this] { serve(); });
}

RawHttpListener::~RawHttpListener() {
  stop_.raise();
  thread_.join();
  for (SocketHandle socket : heldOpen_) closeSocket(socket);
  closeSocket(listener_);
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
bool RawHttpListener::waitReadable(SocketHandle socket, int timeoutMs) {
  PollEntry entries[2] = {{socket, true}, {stop_.waitable(), true}};
  int ready = pollSockets(entries, 2, timeoutMs);
  return ready > 0 && !entries[1].ready && entries[0].ready;
}

std::string RawHttpListener::readRequest(SocketHandle client) {
  std::string data;
  size_t wanted = std::string::npos;
  char chunk[4096];
  while (data.size() < wanted && waitReadable(client, kReadTimeoutMs)) {
    long n = receiveSome(client, chunk, sizeof chunk);
    if (n == kWouldBlock) continue;
    if (n <= 0) break;
    data.append(chunk, static_cast<size_t>(n));
    size_t headEnd = data.find("\r\n\r\n");
    if (wanted == std::string::npos && headEnd != std::string::npos)
      wanted = headEnd + 4 + contentLengthOf(data.substr(0, headEnd + 2));
  }
  return data;
}

void RawHttpListener::serve() {
  while (waitReadable(listener_, -1)) {
    SocketHandle client = acceptClient(listener_);
    if (client == kNoSocket) continue;
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
    shutdownSending(client);
    closeSocket(client);
  }
}

}  // namespace net::test
