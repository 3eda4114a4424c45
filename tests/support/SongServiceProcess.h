#pragma once
// The demo song service run as a child process for a test: started on a free port with the
// given flags, asked to end (SIGTERM, or its end event on Windows) when the object goes.

#include <cstdint>
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

  // Asks it to end and waits; its exit code, or -1 when it did not end within timeoutMs (it
  // is then killed) or ended by a signal.
  int stop(int timeoutMs = 5000);

 private:
  std::intptr_t child_ = -1;  // the pid; on Windows the process's handle
  int port_ = 0;
};

}  // namespace testsupport
