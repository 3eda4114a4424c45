#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <vector>

#include "tests/support/TestSocket.h"

namespace testsupport {
namespace {

SOCKET raw(SocketHandle socket) { return static_cast<SOCKET>(socket); }

void startWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) std::abort();
}

long classified(int n) {
  if (n >= 0) return n;
  int error = WSAGetLastError();
  return error == WSAEWOULDBLOCK || error == WSAEINTR ? kWouldBlock : kFailed;
}

sockaddr_in loopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  return address;
}

}  // namespace

SocketHandle connectToLoopback(int port) {
  startWinsock();
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = loopbackAddress(port);
  if (socket != INVALID_SOCKET && ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
    return static_cast<SocketHandle>(socket);
  if (socket != INVALID_SOCKET) ::closesocket(socket);
  return kNoSocket;
}

int closedLoopbackPort() {
  startWinsock();
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = loopbackAddress(0);
  int length = sizeof address;
  ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
  ::closesocket(socket);
  return ntohs(address.sin_port);
}

LoopbackSocket listenOnLoopback(int backlog) {
  startWinsock();
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = loopbackAddress(0);
  int length = sizeof address;
  if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, backlog) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    std::abort();
  return {static_cast<SocketHandle>(listener), ntohs(address.sin_port)};
}

SocketHandle acceptClient(SocketHandle listener) {
  SOCKET client = ::accept(raw(listener), nullptr, nullptr);
  if (client == INVALID_SOCKET) return kNoSocket;
  u_long nonBlocking = 1;
  ::ioctlsocket(client, FIONBIO, &nonBlocking);
  return static_cast<SocketHandle>(client);
}

long receiveSome(SocketHandle socket, char* out, std::size_t size) {
  return classified(::recv(raw(socket), out, static_cast<int>(size), 0));
}

long sendSome(SocketHandle socket, const char* bytes, std::size_t size) {
  return classified(::send(raw(socket), bytes, static_cast<int>(size), 0));
}

void shutdownSending(SocketHandle socket) { ::shutdown(raw(socket), SD_SEND); }

void resetOnClose(SocketHandle socket) {
  linger abort{1, 0};
  ::setsockopt(raw(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
}

void closeSocket(SocketHandle socket) { ::closesocket(raw(socket)); }

int pollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
  std::vector<WSAPOLLFD> fds(count);
  for (std::size_t i = 0; i < count; ++i) {
    fds[i] = {raw(entries[i].socket),
              static_cast<SHORT>((entries[i].read ? POLLRDNORM : 0) | (entries[i].write ? POLLWRNORM : 0)), 0};
  }
  int ready = ::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
  if (ready == SOCKET_ERROR) return WSAGetLastError() == WSAEINTR ? 0 : -1;
  for (std::size_t i = 0; i < count; ++i) entries[i].ready = fds[i].revents != 0;
  return ready;
}

// Winsock polls only sockets: the flag is a connected loopback pair whose reading end turns
// readable once a byte is sent.
Wakeup::Wakeup() {
  LoopbackSocket listener = listenOnLoopback(1);
  SocketHandle writer = connectToLoopback(listener.port);
  if (writer == kNoSocket) std::abort();
  SOCKET reader = ::accept(raw(listener.socket), nullptr, nullptr);
  closeSocket(listener.socket);
  if (reader == INVALID_SOCKET) std::abort();
  read_ = static_cast<SocketHandle>(reader);
  write_ = writer;
}

Wakeup::~Wakeup() {
  closeSocket(read_);
  closeSocket(write_);
}

void Wakeup::raise() {
  char one = 1;
  if (::send(raw(write_), &one, 1, 0) != 1) std::abort();
}

std::uint64_t residentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.WorkingSetSize;
}

int threadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  CloseHandle(snapshot);
  return count;
}

}  // namespace testsupport
