// Windows's half of the launcher. The song service there is installed and started on its
// own, so the client only talks to the address it is given and never starts one.

#include <winsock2.h>
#include <shlobj.h>

#include "app/ServiceLauncher.h"
#include "platform/system/WideText.h"

namespace app {

bool SomethingListens(int port, int timeoutMs) {
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  bool connected = false;
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket != INVALID_SOCKET) {
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    connected = ::connect(socket, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    if (!connected && ::WSAGetLastError() == WSAEWOULDBLOCK) {
      // A refused connection shows in the except set, a made one in the write set.
      fd_set writable;
      fd_set failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(socket, &writable);
      FD_SET(socket, &failed);
      timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
      connected = ::select(0, nullptr, &writable, &failed, &wait) > 0 && FD_ISSET(socket, &writable);
    }
    ::closesocket(socket);
  }
  ::WSACleanup();
  return connected;
}

std::string UserMusicFolder() {
  PWSTR folder = nullptr;
  std::string music;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Music, 0, nullptr, &folder))) music = platform::system::narrow(folder);
  ::CoTaskMemFree(folder);
  return music;
}

void ServiceLauncher::run(platform::system::ProgramFiles, std::string) { markReady(); }

}  // namespace app
