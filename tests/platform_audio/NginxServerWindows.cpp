// The Windows side of the test servers: nginx is a Linux process the test run starts for
// all programs (nginx-fixture.sh), so a test only learns its port.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <fstream>

#include "AudioTestSupport.h"

namespace audiotest {

namespace {

// Winsock for the life of the program.
struct Sockets {
  Sockets() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~Sockets() { WSACleanup(); }
};

void needSockets() { static Sockets sockets; }

sockaddr_in loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

int freeLoopbackPort() {
  needSockets();
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = loopback(0);
  int length = sizeof address;
  int port = 0;
  if (bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  closesocket(socket);
  return port;
}

bool waitForPort(int port, std::chrono::milliseconds timeout) {
  needSockets();
  return waitFor(
      [&] {
        SOCKET socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(port);
        bool up = connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        closesocket(socket);
        return up;
      },
      timeout);
}

SilentListener::SilentListener() {
  needSockets();
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listener == INVALID_SOCKET) return;
  socket_ = static_cast<std::intptr_t>(listener);
  sockaddr_in address = loopback(0);
  int length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener, 4) == 0 &&
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port_ = ntohs(address.sin_port);
  }
}

SilentListener::~SilentListener() {
  if (socket_ != -1) closesocket(static_cast<SOCKET>(socket_));
}

NginxServer::NginxServer() {
  const char* portFile = std::getenv("TUNORA_TEST_NGINX");
  if (portFile == nullptr) return;
  std::ifstream in(portFile);
  int port = 0;
  if (in >> port && waitForPort(port, std::chrono::seconds(5))) port_ = port;
}

NginxServer::~NginxServer() = default;

bool NginxServer::running() const { return port_ > 0; }

}  // namespace audiotest
