#include "tests/window/XSession.h"

// gtest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
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

// Spawns args with stdout and stderr on /dev/null; with passFd >= 0, that descriptor
// becomes the child's descriptor 3.
pid_t spawn(const std::vector<std::string>& args, int passFd = -1) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (passFd >= 0) posix_spawn_file_actions_adddup2(&actions, passFd, 3);
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : 0;
}

// Reads the display number the server writes on its -displayfd descriptor.
std::string readDisplayNumber(int fd, int timeoutMs) {
  std::string text;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (text.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {};
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[32];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return {};
    text.append(buffer, static_cast<std::size_t>(n));
  }
  text.resize(text.find('\n'));
  return text.empty() || text.find_first_not_of("0123456789") != std::string::npos ? std::string{} : text;
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

bool XSession::mapCharacters(const std::string& utf8) {
  if (!ensure()) return false;
  Display* d = XOpenDisplay(display().c_str());
  if (d == nullptr) return false;
  int low = 0, high = 0;
  XDisplayKeycodes(d, &low, &high);
  int perCode = 0;
  KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &perCode);
  bool ok = map != nullptr;
  std::vector<int> spare;
  for (int code = low; ok && code <= high; ++code) {
    bool empty = true;
    for (int i = 0; i < perCode; ++i) empty = empty && map[(code - low) * perCode + i] == NoSymbol;
    if (empty) spare.push_back(code);
  }
  auto mapped = [&](KeySym sym) {
    for (int i = 0; i < (high - low + 1) * perCode; ++i) {
      if (map[i] == sym) return true;
    }
    return false;
  };
  std::size_t next = 0;
  for (std::size_t i = 0; ok && i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    unsigned long codePoint = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + k < utf8.size(); ++k) {
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += static_cast<std::size_t>(length);
    if (codePoint < 0x80) continue;
    const KeySym sym = 0x01000000 | codePoint;
    if (mapped(sym)) continue;
    if (next == spare.size()) {
      ok = false;
      break;
    }
    KeySym both[2] = {sym, sym};
    XChangeKeyboardMapping(d, spare[next++], 2, both, 1);
    XSync(d, False);
    XFree(map);
    map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &perCode);
    ok = map != nullptr;
  }
  if (map != nullptr) XFree(map);
  XSync(d, False);
  XCloseDisplay(d);
  return ok;
}

bool XSession::ensure() {
  Session& s = session();
  if (s.ok) return true;
  (void)registered;
  // A display that is already up is taken as it is: Wine's test run brings its own, with
  // the compositor its layered windows need.
  const char* given = std::getenv("TUNORA_TEST_DISPLAY");
  if (given != nullptr && *given != '\0') {
    s.display = given;
    setenv("DISPLAY", given, 1);
    Display* d = XOpenDisplay(given);
    if (d != nullptr) XCloseDisplay(d);
    s.ok = d != nullptr;
    if (s.ok) std::atexit(shutdown);  // a window manager started on it goes with us
    return s.ok;
  }
  // The server picks a free display itself, so parallel test processes never share one.
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  // Keep the write end off descriptor 3: dup2 onto itself would leave it close-on-exec.
  const int writeEnd = fcntl(fds[1], F_DUPFD_CLOEXEC, 10);
  close(fds[1]);
  fds[1] = writeEnd;
  if (writeEnd < 0) {
    close(fds[0]);
    return false;
  }
  // A run at a device scale (TUNORA_TEST_SCALE) needs room for windows twice as large.
  const char* scale = std::getenv("TUNORA_TEST_SCALE");
  const bool large = scale != nullptr && std::atof(scale) > 1;
  s.xvfb = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", large ? "1280x1600x24" : "1024x768x24", "-nolisten", "tcp",
                  "-noreset"},
                 fds[1]);
  close(fds[1]);
  const std::string number = s.xvfb != 0 ? readDisplayNumber(fds[0], 10000) : std::string{};
  close(fds[0]);
  if (number.empty()) {
    shutdown();
    return false;
  }
  const std::string display = ":" + number;
  s.display = display;
  setenv("DISPLAY", display.c_str(), 1);
  setenv("GDK_BACKEND", "x11", 1);
  setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus in a private session
  setenv("GSETTINGS_BACKEND", "memory", 1);
  if (!startWindowManager()) {
    shutdown();
    return false;
  }
  s.ok = true;
  std::atexit(shutdown);
  return true;
}

bool XSession::startWindowManager() {
  Session& s = session();
  if (s.wm != 0) return true;
  // openbox runs its startup command only once it manages windows; a window mapped before
  // that is adopted without focus.
  char ready[] = "/tmp/tunora-openbox-XXXXXX";
  const int readyFd = mkstemp(ready);
  if (readyFd < 0) return false;
  close(readyFd);
  unlink(ready);
  s.wm = spawn({"openbox", "--sm-disable", "--startup", std::string("touch ") + ready});
  struct stat st;
  const bool managing =
      s.wm != 0 && waitFor([&] { return stat(ready, &st) == 0 && windowManagerRunning(s.display); }, 10000);
  unlink(ready);
  if (!managing) stop(s.wm);
  return managing;
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
