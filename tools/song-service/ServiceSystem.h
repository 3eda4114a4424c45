#pragma once
// What the service's start-up asks of the system, one implementation per system.

#include <functional>
#include <string>
#include <thread>

namespace songservice {

// Before any thread starts: process-wide settings (heap, broken pipes) and the end requests
// (SIGTERM/SIGINT, or Ctrl+C and console close) held for EndRequests.
void prepareProcess();

// The demo catalogue beside the program (installed or in the build tree).
std::string defaultCatalogue();

// Where the library's index lives by default, its folder made; "" (memory) when there is no
// such place.
std::string defaultDatabase();

// Makes folder absolute with '/' between names (links resolved where the system has them);
// false when it is not a readable folder.
bool resolveFolder(std::string& folder);

// Calls stop once when the user or the system asks the service to end.
class EndRequests {
 public:
  explicit EndRequests(std::function<void()> stop);
  ~EndRequests();  // stops waiting
  EndRequests(const EndRequests&) = delete;
  EndRequests& operator=(const EndRequests&) = delete;

 private:
  std::function<void()> stop_;
  std::thread waiter_;
};

}  // namespace songservice
