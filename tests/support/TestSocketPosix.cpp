#include <dirent.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/LoopbackListener.h"
#include "tests/support/TestSocket.h"

namespace testsupport {

LoopbackSocket listenOnLoopback(int backlog) {
  LoopbackListener listener = openLoopbackListener(backlog);
  return {listener.fd, listener.port};
}

namespace {

sockaddr_in loopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  return address;
}

}  // namespace

SocketHandle connectToLoopback(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = loopbackAddress(port);
  if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
  if (fd >= 0) ::close(fd);
  return kNoSocket;
}

int closedLoopbackPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = loopbackAddress(0);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

SocketHandle acceptClient(SocketHandle listener) {
  int client = ::accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  return client < 0 ? kNoSocket : client;
}

long receiveSome(SocketHandle socket, char* out, std::size_t size) {
  ssize_t n = ::recv(static_cast<int>(socket), out, size, 0);
  if (n >= 0) return static_cast<long>(n);
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? kWouldBlock : kFailed;
}

long sendSome(SocketHandle socket, const char* bytes, std::size_t size) {
  ssize_t n = ::send(static_cast<int>(socket), bytes, size, MSG_NOSIGNAL);
  if (n >= 0) return static_cast<long>(n);
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? kWouldBlock : kFailed;
}

void shutdownSending(SocketHandle socket) { ::shutdown(static_cast<int>(socket), SHUT_WR); }

void resetOnClose(SocketHandle socket) {
  linger abort{1, 0};
  ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

void closeSocket(SocketHandle socket) { ::close(static_cast<int>(socket)); }

int pollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
  std::vector<pollfd> fds(count);
  for (std::size_t i = 0; i < count; ++i) {
    fds[i] = {static_cast<int>(entries[i].socket),
              static_cast<short>((entries[i].read ? POLLIN : 0) | (entries[i].write ? POLLOUT : 0)), 0};
  }
  int ready = ::poll(fds.data(), fds.size(), timeoutMs);
  if (ready < 0) return errno == EINTR ? 0 : -1;
  for (std::size_t i = 0; i < count; ++i) entries[i].ready = fds[i].revents != 0;
  return ready;
}

Wakeup::Wakeup() {
  int fd = ::eventfd(0, EFD_CLOEXEC);
  if (fd < 0) std::abort();
  read_ = write_ = fd;
}

Wakeup::~Wakeup() { ::close(static_cast<int>(read_)); }

void Wakeup::raise() {
  std::uint64_t one = 1;
  if (::write(static_cast<int>(write_), &one, sizeof one) != sizeof one) std::abort();
}

std::uint64_t residentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtoull(line.c_str() + 6, nullptr, 10) * 1024;
  }
  return 0;
}

int threadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.';
    closedir(tasks);
  }
  return count;
}

}  // namespace testsupport
