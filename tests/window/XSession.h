#pragma once
// A private X server (Xvfb) with a window manager (openbox) for the tests of the GTK back
// end: started on a free display number the first time it is needed, stopped at exit.

#include <functional>
#include <string>

namespace windowtest {

class XSession {
 public:
  // Starts the server once per process and points DISPLAY at it; false when it cannot.
  static bool ensure();
  static std::string display();

  // Runs a shell command with DISPLAY set; its exit status.
  static int run(const std::string& command);
  // Pumps the window layer until done() holds, at most timeoutMs; polls every 10 ms.
  static bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
};

}  // namespace windowtest
