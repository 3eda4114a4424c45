#include <limits.h>
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "tools/song-service/OpenFile.h"
#include "tools/song-service/ServiceSystem.h"

namespace songservice {
namespace {

sigset_t endSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

void prepareProcess() {
  // One heap for every thread: a heap per thread kept tens of megabytes of freed answers and
  // scan leftovers resident, and these threads seldom allocate at the same moment.
  mallopt(M_ARENA_MAX, 1);
  // The signals are taken by one thread with sigwait; every other thread inherits the mask.
  sigset_t set = endSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

// Installed, the catalogue lies in ../share/tunora/catalogue beside the program's folder; in
// the build tree, in catalogue/ beside the program.
std::string defaultCatalogue() {
  char self[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "catalogue";
  std::string folder(self, static_cast<std::size_t>(length));
  folder.erase(folder.rfind('/'));
  for (const std::string& candidate : {folder + "/../share/tunora/catalogue", folder + "/catalogue"})
    if (isNonEmptyFile(candidate + "/index.txt")) return candidate;
  return folder + "/catalogue";
}

// $XDG_CACHE_HOME/tunora/library.sqlite, else ~/.cache/...; "" (memory) without either.
std::string defaultDatabase() {
  std::string cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/') cache = xdg;
  else if (const char* home = std::getenv("HOME"); home && home[0] == '/') cache = std::string(home) + "/.cache";
  else return {};
  // Missing parents too (a fresh account, a cache folder named but never made), private
  // to the user as a cache should be.
  const std::string folder = cache + "/tunora";
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
    if (slash == std::string::npos) break;
  }
  return folder + "/library.sqlite";
}

bool resolveFolder(std::string& folder) {
  char resolved[PATH_MAX];
  struct stat info;
  if (!::realpath(folder.c_str(), resolved) || ::stat(resolved, &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  folder = resolved;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return true;
}

EndRequests::EndRequests(std::function<void()> stop) : stop_(std::move(stop)) {
  waiter_ = std::thread([this] {
    sigset_t set = endSignals();
    int signalNumber = 0;
    sigwait(&set, &signalNumber);
    stop_();
  });
}

EndRequests::~EndRequests() {
  // When serving ended by itself, the waiter still waits: wake it.
  pthread_kill(waiter_.native_handle(), SIGTERM);
  waiter_.join();
}

}  // namespace songservice
