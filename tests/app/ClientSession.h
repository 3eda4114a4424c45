#pragma once
// The built program run like a person runs it, for the end-to-end tests: copied with its
// files into a folder of its own (it writes its settings there), started on the test's
// private X server with the demo song service and the WAV capture device, and found and
// driven with xdotool.

#include <sys/types.h>

#include <string>
#include <vector>

namespace clienttest {

// The window's title as xdotool matches it.
inline constexpr const char* kTitle = "Tunora音乐，聆听世界";

// Output of a shell command (DISPLAY already set by the X session).
std::string commandOutput(const std::string& command);

// The demo song service on a free port, with the given flags (--cut-after N, ...),
// stopped with the object.
class SongService {
 public:
  explicit SongService(const std::vector<std::string>& flags = {});
  ~SongService();
  SongService(const SongService&) = delete;
  SongService& operator=(const SongService&) = delete;
  int port() const { return port_; }

 private:
  pid_t pid_ = 0;
  int port_ = 0;
  int output_ = -1;  // held open: the service may print more
};

// A copy of the program and its files in a fresh folder. When TUNORA_WINDOWS_PROGRAM names a
// Windows build's tunora.exe, the copy is that program, run through Wine, with the pictures
// the Linux build generated (the Windows build makes none).
class ProgramCopy {
 public:
  ProgramCopy();
  ~ProgramCopy();
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;
  const std::string& folder() const { return folder_; }
  bool underWine() const { return underWine_; }
  std::string program() const { return folder_ + (underWine_ ? "/tunora.exe" : "/tunora"); }
  std::vector<std::string> command() const;
  std::string capturePath() const { return folder_ + "/heard.wav"; }
  // A path of this machine as the program names it (Wine sees / as its Z: drive).
  std::string pathForProgram(const std::string& path) const { return underWine_ ? "Z:" + path : path; }

 private:
  std::string folder_;
  bool underWine_ = false;
};

// Writes a settings file that holds only the volume.
void setVolumeSetting(const ProgramCopy& copy, int volume);

// One running client.
class Client {
 public:
  // servicePort 0 points it at a port where nothing answers.
  Client(const ProgramCopy& copy, int servicePort);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  pid_t pid() const { return pid_; }
  // Waits for the process to end; its exit code, -1 on a signal, -2 on time-out.
  int waitForExit(int timeoutMs);
  // False once the process has ended (its exit code is then kept for waitForExit).
  bool running();

 private:
  bool reap();

  pid_t pid_ = 0;
  bool reaped_ = false;
  int status_ = -1;
};

// The window id of the visible window with the title, waiting up to timeoutMs; empty when
// none appears.
std::string waitForWindow(int timeoutMs);
// The same for another title.
std::string waitForWindowNamed(const std::string& title, int timeoutMs);
// How many windows carry the title.
int windowsWithTitle();

}  // namespace clienttest
