// The test servers that run as Linux processes: nginx, spawned with a free loopback port.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "AudioTestSupport.h"

extern char** environ;

namespace audiotest {

int freeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

bool waitForPort(int port, std::chrono::milliseconds timeout) {
  return waitFor(
      [&] {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool up = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return up;
      },
      timeout);
}

SilentListener::SilentListener() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  socket_ = fd;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 4) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port_ = ntohs(address.sin_port);
  }
}

SilentListener::~SilentListener() {
  if (socket_ >= 0) close(static_cast<int>(socket_));
}

NginxServer::NginxServer() {
  char pattern[] = "/tmp/tunora-nginx-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return;
  folder_ = pattern;
  // Another process may take the port between our probe and nginx's bind: try again.
  for (int attempt = 0; attempt < 5 && pid_ < 0; ++attempt) start();
}

void NginxServer::start() {
  port_ = freeLoopbackPort();
  std::string root = TUNORA_TEST_MEDIA;
  std::ofstream conf(folder_ + "/nginx.conf");
  conf << "daemon off;\nmaster_process off;\npid " << folder_ << "/nginx.pid;\n"
       << "error_log " << folder_ << "/error.log;\n"
       << "events { worker_connections 64; }\n"
       << "http {\n  access_log off;\n"
       << "  client_body_temp_path " << folder_ << "/body;\n"
       << "  proxy_temp_path " << folder_ << "/proxy;\n"
       << "  fastcgi_temp_path " << folder_ << "/fastcgi;\n"
       << "  uwsgi_temp_path " << folder_ << "/uwsgi;\n"
       << "  scgi_temp_path " << folder_ << "/scgi;\n"
       << "  types { audio/mpeg mp3; audio/ogg ogg; audio/wav wav; }\n"
       << "  server {\n    listen 127.0.0.1:" << port_ << ";\n    root " << root << ";\n"
       << "    location /slow/ { alias " << root << "/; limit_rate_after 8k; limit_rate 20k; }\n"
       << "    location /slower/ { alias " << root << "/; limit_rate_after 4k; limit_rate 10k; }\n"
       << "    location /norange/ { alias " << root << "/; max_ranges 0; }\n"
       << "    location /slownorange/ { alias " << root << "/; max_ranges 0; limit_rate_after 8k; limit_rate 20k; }\n"
       << "    location ~ ^/moved/(.*)$ { return 302 /$1; }\n"
       << "    location ~ ^/ftp/(.*)$ { return 302 ftp://127.0.0.1/$1; }\n"
       << "  }\n}\n";
  conf.close();
  std::string confPath = folder_ + "/nginx.conf";
  const char* argv[] = {"/usr/sbin/nginx", "-q", "-p", folder_.c_str(), "-c", confPath.c_str(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return;
  bool up = waitForPort(port_, std::chrono::seconds(5));
  // A port that answers while our nginx has exited belongs to someone else.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  pid_t exited = waitpid(pid, nullptr, WNOHANG);
  if (up && exited == 0) {
    pid_ = pid;
    return;
  }
  if (exited == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

NginxServer::~NginxServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

bool NginxServer::running() const { return pid_ > 0; }

}  // namespace audiotest
