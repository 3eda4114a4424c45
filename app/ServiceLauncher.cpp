#include "app/ServiceLauncher.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <glib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/ServiceAddress.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A service that indexes a large library may take longer; the client does not wait for it.
constexpr auto kListenWait = std::chrono::milliseconds(2000);
constexpr auto kStopWait = std::chrono::milliseconds(3000);
constexpr int kMostEntriesLooked = 5000;
constexpr const char* kPlayableExtensions[] = {".mp3", ".ogg", ".oga", ".opus", ".flac", ".wav"};

bool isPlayableName(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find_if(std::begin(kPlayableExtensions), std::end(kPlayableExtensions),
                      [&](const char* known) { return extension == known; }) != std::end(kPlayableExtensions);
}

// Forks and executes the command line; the child gets SIGTERM when the calling thread
// ends, reads nothing and shares the client's output. Its pid, 0 on failure.
pid_t spawnChild(const std::vector<std::string>& commandLine) {
  // Everything the child needs is made before fork: after it only async-signal-safe calls.
  std::vector<char*> argv;
  for (const std::string& argument : commandLine) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);  // the client ended before the line above
    if (nothing >= 0) ::dup2(nothing, STDIN_FILENO);
    ::close_range(3, ~0U, 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGPIPE, SIG_DFL);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (nothing >= 0) ::close(nothing);
  return pid > 0 ? pid : 0;
}

bool reaped(pid_t pid) {
  int status = 0;
  const pid_t done = ::waitpid(pid, &status, WNOHANG);
  return done == pid || (done < 0 && errno == ECHILD);
}

void terminate(pid_t pid) {
  ::kill(pid, SIGTERM);
  const auto end = Clock::now() + kStopWait;
  while (Clock::now() < end) {
    if (reaped(pid)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace

std::optional<int> PortOnThisMachine(const std::string& address) {
  const std::string checked = ServiceAddressFrom(address.c_str());
  if (checked != address) return std::nullopt;
  const auto colon = address.rfind(':');
  const std::string host = address.substr(0, colon);
  if (host != "127.0.0.1" && host != "localhost") return std::nullopt;
  return std::atoi(address.c_str() + colon + 1);
}

bool SomethingListens(int port, int timeoutMs) {
  const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket < 0) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(port));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool connected = ::connect(socket, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
  if (!connected && errno == EINPROGRESS) {
    pollfd waiting{socket, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    connected = ::poll(&waiting, 1, timeoutMs) == 1 &&
                ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
  ::close(socket);
  return connected;
}

std::string UserMusicFolder() {
  const char* home = g_get_home_dir();
  const char* music = g_get_user_special_dir(G_USER_DIRECTORY_MUSIC);
  // A folder set to the home itself is how user-dirs.dirs turns one off.
  if (music != nullptr && music[0] == '/' && (home == nullptr || fs::path(music) != fs::path(home))) return music;
  return home != nullptr ? (fs::path(home) / "Music").string() : std::string();
}

bool HoldsPlayableFile(const std::string& folder) {
  std::error_code error;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  int looked = 0;
  for (const fs::recursive_directory_iterator end; !error && it != end && looked < kMostEntriesLooked;
       it.increment(error), ++looked) {
    const fs::directory_entry& entry = *it;
    const bool hidden = entry.path().filename().string().rfind('.', 0) == 0;
    std::error_code ignored;
    if (entry.is_directory(ignored)) {
      if (hidden || entry.is_symlink(ignored)) it.disable_recursion_pending();
      continue;
    }
    if (!hidden && entry.is_regular_file(ignored) && isPlayableName(entry.path())) return true;
  }
  return false;
}

std::vector<std::string> ServiceCommandLine(const platform::system::ProgramFiles& files, int port,
                                            const std::string& musicFolder) {
  std::vector<std::string> line{files.programFolder() + "/tunora-song-service", "--port", std::to_string(port)};
  if (!musicFolder.empty() && HoldsPlayableFile(musicFolder)) {
    line.insert(line.end(), {"--library", musicFolder});
    const std::string presets = files.userPath("\\plugins\\js_rilu.txt");
    if (!presets.empty()) line.insert(line.end(), {"--write-presets", presets});
  } else {
    line.insert(line.end(), {"--catalogue", files.dataPath("\\catalogue")});
  }
  return line;
}

ServiceLauncher::~ServiceLauncher() { stop(); }

void ServiceLauncher::start(const platform::system::ProgramFiles& files, const std::string& address) {
  std::lock_guard lock(mutex_);
  if (thread_.joinable() || stopping_ || !files.installed() || !PortOnThisMachine(address)) return;
  ready_ = false;
  thread_ = std::thread(&ServiceLauncher::run, this, files, address);
}

void ServiceLauncher::waitUntilReady() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return ready_; });
}

void ServiceLauncher::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

pid_t ServiceLauncher::child() {
  std::lock_guard lock(mutex_);
  return child_;
}

void ServiceLauncher::markReady() {
  {
    std::lock_guard lock(mutex_);
    ready_ = true;
  }
  changed_.notify_all();
}

void ServiceLauncher::run(platform::system::ProgramFiles files, std::string address) {
  const int port = *PortOnThisMachine(address);
  if (SomethingListens(port, 500)) {
    markReady();
    return;
  }
  const pid_t pid = spawnChild(ServiceCommandLine(files, port, UserMusicFolder()));
  if (pid == 0) {
    markReady();
    return;
  }
  bool gone = false;
  {
    std::lock_guard lock(mutex_);
    child_ = pid;
  }
  for (const auto end = Clock::now() + kListenWait; Clock::now() < end;) {
    if (SomethingListens(port, 100)) break;
    if ((gone = reaped(pid))) break;  // a taken port, a missing catalogue: it said why
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  markReady();

  // Reaped here when it ends by itself, so it never lingers as a zombie.
  std::unique_lock lock(mutex_);
  while (!gone && !stopping_) {
    changed_.wait_for(lock, std::chrono::milliseconds(500));
    gone = reaped(pid);
  }
  child_ = 0;
  lock.unlock();
  if (!gone) terminate(pid);
}

}  // namespace app
