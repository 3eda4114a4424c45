#include "tests/window/XSession.h"

// gtest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/window/WindowApi.h"

extern char** environ;

namespace windowtest {
namespace {

struct Session {
  pid_t xvfb = 0;
  pid_t wm = 0;
  std::string display;
  bool ok = false;
};

Session& session() {
  static Session s;
  return s;
}

pid_t spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : 0;
}

void stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = 0;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = 0;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

bool windowManagerRunning(const std::string& display) {
  Display* d = XOpenDisplay(display.c_str());
  if (d == nullptr) return false;
  Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
  bool running = false;
  if (check != None) {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, AnyPropertyType, &type, &format,
                           &items, &after, &data) == Success && items > 0) {
      running = true;
    }
    if (data != nullptr) XFree(data);
  }
  XCloseDisplay(d);
  return running;
}

void shutdown() {
  Session& s = session();
  stop(s.wm);
  stop(s.xvfb);
}

class SessionEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { shutdown(); }
};
const auto* registered = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

}  // namespace

bool XSession::ensure() {
  Session& s = session();
  if (s.ok) return true;
  (void)registered;
  for (int n = 90 + static_cast<int>(getpid() % 200); n < 400; ++n) {
    const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    struct stat st;
    if (stat(lock.c_str(), &st) == 0 || stat(socket.c_str(), &st) == 0) continue;
    const std::string display = ":" + std::to_string(n);
    s.xvfb = spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
    if (s.xvfb == 0) return false;
    const bool up = waitFor([&] {
      if (Display* d = XOpenDisplay(display.c_str())) {
        XCloseDisplay(d);
        return true;
      }
      return waitpid(s.xvfb, nullptr, WNOHANG) == s.xvfb ? true : false;
    }, 5000);
    if (!up || kill(s.xvfb, 0) != 0) {  // lost the race for this number
      stop(s.xvfb);
      continue;
    }
    s.display = display;
    setenv("DISPLAY", display.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus in a private session
    setenv("GSETTINGS_BACKEND", "memory", 1);
    s.wm = spawn({"openbox", "--sm-disable"});
    if (s.wm == 0 || !waitFor([&] { return windowManagerRunning(display); }, 5000)) {
      shutdown();
      return false;
    }
    s.ok = true;
    std::atexit(shutdown);
    return true;
  }
  return false;
}

std::string XSession::display() { return session().display; }

int XSession::run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool XSession::pumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    platform::window::processPendingMessages();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace windowtest
