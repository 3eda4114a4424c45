#pragma once
// The demo song service run as a child process for a test: started on a free port with the
// given flags, stopped with SIGTERM when the object goes.

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

class SongServiceProcess {
 public:
  // Waits (at most 20 s) for the service's "listening PORT" line; port() is 0 when it did
  // not come.
  SongServiceProcess(const std::string& executable, const std::string& catalogue,
                     const std::vector<std::string>& flags = {});
  ~SongServiceProcess();
  SongServiceProcess(const SongServiceProcess&) = delete;
  SongServiceProcess& operator=(const SongServiceProcess&) = delete;

  int port() const { return port_; }
  std::string url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
  }

  // Sends SIGTERM and waits; the exit status as waitpid gives it, or -1 when the process
  // did not end within timeoutMs (it is then killed).
  int stop(int timeoutMs = 5000);

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace testsupport
