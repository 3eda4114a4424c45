#pragma once
// A listening TCP socket on 127.0.0.1 with a port the kernel picks, for test servers.
// Aborts when the socket cannot be made: a test server without a socket tests nothing.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>

namespace testsupport {

struct LoopbackListener {
  int fd = -1;
  int port = 0;
};

inline LoopbackListener openLoopbackListener(int backlog) {
  LoopbackListener listener;
  listener.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener.fd < 0 || ::bind(listener.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener.fd, backlog) != 0 ||
      ::getsockname(listener.fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    std::abort();
  listener.port = ntohs(address.sin_port);
  return listener;
}

}  // namespace testsupport
