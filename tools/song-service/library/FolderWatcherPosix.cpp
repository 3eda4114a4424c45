#include "tools/song-service/library/FolderWatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace songservice {
namespace {

using Clock = std::chrono::steady_clock;

// Quiet time before a rescan, and the longest a steady stream of writes may hold it off.
constexpr auto kQuiet = std::chrono::milliseconds(400);
constexpr auto kLongestWait = std::chrono::seconds(60);

constexpr std::uint32_t kEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

struct FolderWatcher::Watches {
  int inotify = -1;
  int wake = -1;  // an eventfd that ends run()
};

FolderWatcher::FolderWatcher(std::function<void()> onChange)
    : onChange_(std::move(onChange)), watches_(std::make_unique<Watches>()) {
  int& inotify = watches_->inotify;
  int& wake = watches_->wake;
  inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (inotify < 0 || wake < 0) {
    std::fprintf(stderr, "tunora-song-service: cannot watch the folders: %s\n", std::strerror(errno));
    return;
  }
  thread_ = std::thread([this] { run(); });
}

bool FolderWatcher::ok() const { return watches_->inotify >= 0; }

FolderWatcher::~FolderWatcher() {
  const int inotify = watches_->inotify, wake = watches_->wake;
  if (thread_.joinable()) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(wake, &one, sizeof one);
    thread_.join();
  }
  if (inotify >= 0) ::close(inotify);
  if (wake >= 0) ::close(wake);
}

void FolderWatcher::watch(const std::vector<std::string>& folders) {
  const int inotify = watches_->inotify;
  if (inotify < 0) return;
  for (const std::string& folder : folders) {
    if (::inotify_add_watch(inotify, folder.c_str(), kEvents | IN_ONLYDIR) >= 0) continue;
    std::lock_guard lock(mutex_);
    if (errno == ENOSPC && !limitReported_) {
      limitReported_ = true;
      std::fprintf(stderr,
                   "tunora-song-service: too many folders to watch (raise fs.inotify.max_user_watches);"
                   " changes in some are seen only at the next start\n");
    }
  }
}

void FolderWatcher::run() {
  const int inotify = watches_->inotify, wake = watches_->wake;
  bool pending = false;
  Clock::time_point firstEvent, lastEvent;
  alignas(inotify_event) char buffer[16384];
  while (true) {
    int timeout = -1;
    if (pending) {
      auto due = std::min(lastEvent + kQuiet, firstEvent + kLongestWait);
      timeout = static_cast<int>(std::max<long long>(
          0, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count() + 1));
    }
    pollfd fds[2] = {{inotify, POLLIN, 0}, {wake, POLLIN, 0}};
    int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) return;
    if (fds[1].revents) return;
    if (ready > 0 && fds[0].revents) {
      bool any = false;
      while (::read(inotify, buffer, sizeof buffer) > 0) any = true;
      if (any) {
        lastEvent = Clock::now();
        if (!pending) firstEvent = lastEvent;
        pending = true;
      }
      continue;
    }
    auto now = Clock::now();
    if (pending && (now >= lastEvent + kQuiet || now >= firstEvent + kLongestWait)) {
      pending = false;
      onChange_();
    }
  }
}

}  // namespace songservice
