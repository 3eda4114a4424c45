#include "tests/support/SongServiceProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

extern char** environ;

namespace testsupport {

SongServiceProcess::SongServiceProcess(const std::string& executable, const std::string& catalogue,
                                       const std::vector<std::string>& flags) {
  std::vector<std::string> words{executable, "--port", "0", "--catalogue", catalogue};
  words.insert(words.end(), flags.begin(), flags.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  child_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);

  std::string line;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (child_ > 0 && line.find('\n') == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    pollfd waiting{pipeFds[0], POLLIN, 0};
    if (::poll(&waiting, 1, 200) <= 0) continue;
    char buffer[64];
    ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    line.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(pipeFds[0]);
  if (std::sscanf(line.c_str(), "listening %d", &port_) != 1) port_ = 0;
}

SongServiceProcess::~SongServiceProcess() { stop(); }

int SongServiceProcess::stop(int timeoutMs) {
  if (child_ <= 0) return -1;
  const auto pid = static_cast<pid_t>(child_);
  child_ = -1;
  ::kill(pid, SIGTERM);
  int status = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
