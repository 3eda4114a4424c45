#pragma once
// A private X server (Xvfb) with a window manager (openbox) for the tests of the GTK back
// end: started on a free display number the first time it is needed, stopped at exit.
// TUNORA_TEST_DISPLAY names a running display to use instead, as it is.

#include <functional>
#include <string>

namespace windowtest {

class XSession {
 public:
  // Starts the server once per process and points DISPLAY at it; false when it cannot.
  static bool ensure();
  static std::string display();
  // Starts openbox on the display unless this process already did; stopped at exit. The
  // given display comes without one.
  static bool startWindowManager();

  // Runs a shell command with DISPLAY set; its exit status.
  static int run(const std::string& command);
  // Gives each character of the UTF-8 text that the keyboard map lacks a spare key code of
  // its own. xdotool otherwise remaps a scratch key for every such character while typing,
  // and a loaded client may read the key before it has read the new map, losing the
  // character. Call it before the client that is typed into starts, or give that client a
  // moment to read the new map. False when the map is full or the server cannot be reached.
  static bool mapCharacters(const std::string& utf8);
  // Pumps the window layer until done() holds, at most timeoutMs; polls every 10 ms.
  static bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
};

}  // namespace windowtest
