#include "tests/app/ClientSession.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

extern char** environ;

namespace clienttest {
namespace {

namespace fs = std::filesystem;

pid_t spawnWith(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, int stdoutFd) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('=') + 1);
    // The test process may carry its own capture settings; the client gets only ours.
    if (name.rfind("TUNORA_AUDIO_", 0) == 0) continue;
    bool replaced = false;
    for (const std::string& extra : extraEnv) replaced = replaced || extra.rfind(name, 0) == 0;
    if (!replaced) env.push_back(entry);
  }
  for (const std::string& e : extraEnv) env.push_back(e);
  std::vector<char*> argv, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : 0;
}

void stopProcess(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 150; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

std::string commandOutput(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return out;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
  pclose(p);
  return out;
}

SongService::SongService(const std::vector<std::string>& flags) {
  int fds[2];
  if (pipe(fds) != 0) return;
  std::vector<std::string> args{TUNORA_SONG_SERVICE, "--port", "0"};
  args.insert(args.end(), flags.begin(), flags.end());
  pid_ = spawnWith(args, {}, fds[1]);
  close(fds[1]);
  std::string line;
  char c = 0;
  while (pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n') line += c;
  output_ = fds[0];
  if (line.rfind("listening ", 0) == 0) port_ = std::atoi(line.c_str() + 10);
}

SongService::~SongService() {
  stopProcess(pid_);
  if (output_ >= 0) close(output_);
}

ProgramCopy::ProgramCopy() {
  char pattern[] = "/tmp/tunora-client-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return;
  folder_ = pattern;
  const char* windowsProgram = std::getenv("TUNORA_WINDOWS_PROGRAM");
  underWine_ = windowsProgram != nullptr && *windowsProgram != '\0';
  const fs::path from = fs::path(TUNORA_PROGRAM).parent_path();
  std::error_code ignored;
  fs::copy_file(underWine_ ? windowsProgram : TUNORA_PROGRAM, program(), ignored);
  for (const char* sub : {"Resource", "plugins"}) {
    if (fs::exists(from / sub)) fs::copy(from / sub, fs::path(folder_) / sub, fs::copy_options::recursive, ignored);
  }
}

ProgramCopy::~ProgramCopy() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

void setVolumeSetting(const ProgramCopy& copy, int volume) {
  std::ofstream(copy.folder() + "/program parameter.ini") << "[parameter]\r\nvolume size=" << volume << "\r\n";
}

std::vector<std::string> ProgramCopy::command() const {
  if (underWine_) return {"wine", program()};
  return {program()};
}

Client::Client(const ProgramCopy& copy, int servicePort) {
  pid_ = spawnWith(copy.command(),
                   {"TUNORA_SERVICE=127.0.0.1:" + std::to_string(servicePort > 0 ? servicePort : 9),
                    "TUNORA_AUDIO_CAPTURE=" + copy.pathForProgram(copy.capturePath())},
                   -1);
}

Client::~Client() {
  // A reaped process's id may already belong to another process.
  if (pid_ > 0 && !reaped_) stopProcess(pid_);
}

bool Client::reap() {
  if (reaped_) return true;
  int status = 0;
  if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_) return false;
  reaped_ = true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}

int Client::waitForExit(int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (reap()) return status_;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -2;
}

bool Client::running() { return pid_ > 0 && !reap(); }

std::string waitForWindow(int timeoutMs) { return waitForWindowNamed(kTitle, timeoutMs); }

std::string waitForWindowNamed(const std::string& title, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    std::string id = commandOutput("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
    if (!id.empty()) return id.substr(0, id.find('\n'));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  return {};
}

int windowsWithTitle() {
  const std::string ids = commandOutput(std::string("xdotool search --name '^") + kTitle + "$' 2>/dev/null");
  int n = 0;
  for (char c : ids) n += c == '\n';
  return n;
}

}  // namespace clienttest
