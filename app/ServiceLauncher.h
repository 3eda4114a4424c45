#pragma once
// An installed client started from the desktop's menu has nobody to start its song
// service, so it starts the installed one itself when nothing answers on its configured
// address and that address is on this machine: serving the user's music folder (and
// writing a preset file of it into the user's folder), or the installed demo catalogue
// when that folder holds nothing the client plays. The service is the client's child: it
// dies with the client and is stopped when the client ends normally.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/system/ProgramFiles.h"

namespace app {

// The port of a "host:port" address whose host is this machine (127.0.0.1 or localhost).
std::optional<int> PortOnThisMachine(const std::string& address);

// Whether something accepts a connection on 127.0.0.1:port within timeoutMs.
bool SomethingListens(int port, int timeoutMs);

// The user's music folder: the desktop's own name for it (user-dirs.dirs, else ~/Music; the
// Music known folder on Windows).
std::string UserMusicFolder();

// The service's program file name, as installed beside the client.
extern const char kServiceProgram[];

// Whether the folder or one below it holds a file the client plays (MP3, Ogg Vorbis,
// Opus, FLAC, WAV). Hidden folders and linked folders are not entered, and the look ends after a
// few thousand entries, so a huge or looping tree cannot keep it busy.
bool HoldsPlayableFile(const std::string& folder);

// The service's command line for the port: the installed service beside the program,
// serving musicFolder when it holds something playable, else the demo catalogue.
std::vector<std::string> ServiceCommandLine(const platform::system::ProgramFiles& files, int port,
                                            const std::string& musicFolder);

class ServiceLauncher {
 public:
  ServiceLauncher() = default;
  ~ServiceLauncher();
  ServiceLauncher(const ServiceLauncher&) = delete;
  ServiceLauncher& operator=(const ServiceLauncher&) = delete;

  // Looks and, when needed, starts the service on a thread of its own; returns at once.
  // Starts nothing unless files are installed ones and address is on this machine. Once.
  void start(const platform::system::ProgramFiles& files, const std::string& address);
  // Returns once a service started here listens, has failed, or has had its time to come
  // up; at once when none is started. Any thread.
  void waitUntilReady();
  // Stops a service started here (SIGTERM, then reaped; on Windows ended with its job) and
  // waits for that. Any thread but the launcher's; safe to call again.
  void stop();
  // The child's process id while it runs, else 0. Any thread.
  pid_t child();
  // The preset file the client's list comes from: the one the service started here writes
  // over the user's music, even before it is written, since the shipped one names songs that
  // service does not serve; else the program's own (PresetFilePath). Any thread, once ready.
  std::string presetFile(const platform::system::ProgramFiles& files);
  // Waits at most for the service started here to tell how its first scan ended; true once
  // nothing more is to come: told, ended, stopped, or no such service. Any thread.
  bool waitForPresets(std::chrono::milliseconds most);

 private:
  // Runs on the launcher thread: it forks the child, so the child's death signal is tied
  // to it, and it lives until stop().
  void run(platform::system::ProgramFiles files, std::string address);
  void markReady();
  // Launcher thread: notes the service's command line before it starts, its output as it
  // comes, and its end.
  void starting(const std::vector<std::string>& commandLine);
  void heard(std::string_view output);
  void presetsSettled();

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // guarded by mutex_
  bool ready_ = true;
  bool stopping_ = false;
  pid_t child_ = 0;
  std::string presetFile_;
  bool presetsTold_ = true;
  // launcher thread only: output not yet a whole line
  std::string heard_;
};

}  // namespace app
