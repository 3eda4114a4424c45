#include "AudioTestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/audio/NetWaits.h"

extern char** environ;

namespace audiotest {

std::string media(const std::string& name) { return std::string(TUNORA_TEST_MEDIA) + "/" + name; }

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::uint8_t> wavData(const std::string& path) {
  std::vector<std::uint8_t> file = readFile(path);
  auto get32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(file[at]) | static_cast<std::uint32_t>(file[at + 1]) << 8 |
           static_cast<std::uint32_t>(file[at + 2]) << 16 | static_cast<std::uint32_t>(file[at + 3]) << 24;
  };
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0) return {};
  std::size_t at = 12;
  while (at + 8 <= file.size()) {
    std::uint32_t size = get32(at + 4);
    if (std::memcmp(file.data() + at, "data", 4) == 0) {
      std::size_t end = std::min<std::size_t>(file.size(), at + 8 + size);
      return std::vector<std::uint8_t>(file.begin() + static_cast<long>(at + 8),
                                       file.begin() + static_cast<long>(end));
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

std::vector<std::int16_t> samples16(const std::vector<std::uint8_t>& pcm) {
  std::vector<std::int16_t> samples(pcm.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::int16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8);
  }
  return samples;
}

double relativeDifference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                          std::size_t from) {
  double difference = 0;
  double signal = 0;
  for (std::size_t i = from; i < b.size() && i < a.size(); ++i) {
    difference += (a[i] - b[i]) * static_cast<double>(a[i] - b[i]);
    signal += b[i] * static_cast<double>(b[i]);
  }
  return a.size() < b.size() || signal == 0 ? 1.0 : std::sqrt(difference / signal);
}

std::string writeTemp(const std::vector<std::uint8_t>& bytes) {
  char pattern[] = "/tmp/tunora-audio-XXXXXX";
  int fd = mkstemp(pattern);
  if (fd >= 0) close(fd);
  std::ofstream(pattern, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return pattern;
}

std::vector<std::uint8_t> id3Tag(std::size_t body) {
  std::vector<std::uint8_t> tag = {'I', 'D', '3', 3, 0, 0};
  for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<std::uint8_t>((body >> shift) & 0x7F));
  tag.resize(10 + body, 0);  // padding only
  return tag;
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

CaptureSession::CaptureSession(double speed, int rate, bool keepGaps) {
  char pattern[] = "/tmp/tunora-capture-XXXXXX";
  int fd = mkstemp(pattern);
  if (fd >= 0) close(fd);
  path_ = pattern;
  setenv("TUNORA_AUDIO_CAPTURE", path_.c_str(), 1);
  setenv("TUNORA_AUDIO_CAPTURE_SPEED", std::to_string(speed).c_str(), 1);
  if (keepGaps) setenv("TUNORA_AUDIO_CAPTURE_GAPS", "1", 1);
  ready_ = BASS_Init(-1, static_cast<DWORD>(rate), 0, nullptr, nullptr) == TRUE;
  unsetenv("TUNORA_AUDIO_CAPTURE_GAPS");
}

CaptureSession::~CaptureSession() {
  if (ready_ && !freed_) BASS_Free();
  unsetenv("TUNORA_AUDIO_CAPTURE");
  std::remove(path_.c_str());
}

ShortNetWaits::ShortNetWaits(double scale) : before_(platform::audio::netwaits::scale()) {
  platform::audio::netwaits::setScale(scale);
}

ShortNetWaits::~ShortNetWaits() { platform::audio::netwaits::setScale(before_); }

std::vector<std::uint8_t> CaptureSession::finish() {
  if (ready_ && !freed_) BASS_Free();
  freed_ = true;
  return wavData(path_);
}

bool playToEnd(HSTREAM handle, std::chrono::milliseconds timeout) {
  if (!BASS_ChannelPlay(handle, FALSE)) return false;
  return waitFor([&] { return BASS_ChannelIsActive(handle) == BASS_ACTIVE_STOPPED; }, timeout);
}

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

std::string NginxServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

}  // namespace audiotest
