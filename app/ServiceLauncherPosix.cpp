// Linux's half of the launcher: the service is a forked child tied to the launcher thread.

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

#include <chrono>
#include <filesystem>

#include "app/ServiceLauncher.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A service that indexes a large library may take longer; the client does not wait for it.
constexpr auto kListenWait = std::chrono::milliseconds(2000);
constexpr auto kStopWait = std::chrono::milliseconds(3000);

// Forks and executes the command line; the child gets SIGTERM when the calling thread
// ends, reads nothing, writes its output into output and shares the client's errors. Its
// pid, 0 on failure.
pid_t spawnChild(const std::vector<std::string>& commandLine, int output) {
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
    ::dup2(output, STDOUT_FILENO);
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

// What the child has written so far, without waiting.
std::string available(int fd) {
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
  return text;
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

const char kServiceProgram[] = "tunora-song-service";

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

void ServiceLauncher::run(platform::system::ProgramFiles files, std::string address) {
  const int port = *PortOnThisMachine(address);
  if (SomethingListens(port, 500)) {
    markReady();
    return;
  }
  const std::vector<std::string> commandLine = ServiceCommandLine(files, port, UserMusicFolder());
  starting(commandLine);
  int output[2] = {-1, -1};
  const pid_t pid = ::pipe2(output, O_CLOEXEC) == 0 ? spawnChild(commandLine, output[1]) : 0;
  if (output[1] >= 0) ::close(output[1]);
  if (pid == 0) {
    if (output[0] >= 0) ::close(output[0]);
    presetsSettled();
    markReady();
    return;
  }
  // Read only while the first scan's outcome is awaited, but kept open until the child
  // ends, so a later line never meets a closed pipe.
  ::fcntl(output[0], F_SETFL, O_NONBLOCK);
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
    changed_.wait_for(lock, std::chrono::milliseconds(presetsTold_ ? 500 : 100));
    if (!presetsTold_) {
      lock.unlock();
      heard(available(output[0]));
      lock.lock();
    }
    gone = reaped(pid);
  }
  child_ = 0;
  lock.unlock();
  if (!gone) terminate(pid);
  ::close(output[0]);
  presetsSettled();
}

}  // namespace app
