#pragma once
// The few socket calls the test servers make, over BSD sockets or Winsock. Sockets are
// non-blocking once accepted; every wait goes through pollSockets.

#include <cstddef>
#include <cstdint>

namespace testsupport {

using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

struct LoopbackSocket {
  SocketHandle socket = kNoSocket;
  int port = 0;
};

// A listening socket on 127.0.0.1 with a port the system picks. Aborts when it cannot be
// made: a test server without a socket tests nothing.
LoopbackSocket listenOnLoopback(int backlog);
// A blocking connection to 127.0.0.1:port; kNoSocket when refused.
SocketHandle connectToLoopback(int port);
// A port on 127.0.0.1 that nothing listens on (it was free a moment ago).
int closedLoopbackPort();
// The next waiting client, made non-blocking; kNoSocket when there is none.
SocketHandle acceptClient(SocketHandle listener);

// Bytes moved; 0 when the peer has closed (receive only); kWouldBlock; kFailed.
inline constexpr long kWouldBlock = -1;
inline constexpr long kFailed = -2;
long receiveSome(SocketHandle socket, char* out, std::size_t size);
long sendSome(SocketHandle socket, const char* bytes, std::size_t size);

void shutdownSending(SocketHandle socket);
// The close that follows sends a reset instead of an orderly end.
void resetOnClose(SocketHandle socket);
void closeSocket(SocketHandle socket);

struct PollEntry {
  SocketHandle socket = kNoSocket;
  bool read = false;
  bool write = false;
  bool ready = false;  // out: the wanted event, an error or the peer's close
};
// Number of ready entries, 0 on time out or interruption, negative on failure.
int pollSockets(PollEntry* entries, std::size_t count, int timeoutMs);

// A flag raised once from any thread that a pollSockets call sees as a readable entry.
class Wakeup {
 public:
  Wakeup();
  ~Wakeup();
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;

  void raise();
  SocketHandle waitable() const { return read_; }

 private:
  SocketHandle read_ = kNoSocket;
  SocketHandle write_ = kNoSocket;
};

// Resident memory of this process in bytes.
std::uint64_t residentBytes();
// Threads of this process, to see that none is left behind.
int threadCount();

}  // namespace testsupport
