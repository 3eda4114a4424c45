#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/system/WideText.h"
#include "tools/song-service/library/FolderWatcher.h"

namespace songservice {
namespace {

using Clock = std::chrono::steady_clock;

// Quiet time before a rescan, and the longest a steady stream of writes may hold it off.
constexpr auto kQuiet = std::chrono::milliseconds(400);
constexpr auto kLongestWait = std::chrono::seconds(60);

constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES;

// One watched tree: its folder handle and the buffer its pending read fills.
struct Tree {
  std::string path;
  HANDLE folder = INVALID_HANDLE_VALUE;
  OVERLAPPED pending{};
  alignas(DWORD) char buffer[16384];

  bool arm() {
    pending = OVERLAPPED{};
    return ::ReadDirectoryChangesW(folder, buffer, sizeof buffer, TRUE, kChanges, nullptr, &pending, nullptr);
  }
};

}  // namespace

struct FolderWatcher::Watches {
  HANDLE port = nullptr;
  std::vector<std::unique_ptr<Tree>> trees;  // guarded by the watcher's mutex_
};

FolderWatcher::FolderWatcher(std::function<void()> onChange)
    : onChange_(std::move(onChange)), watches_(std::make_unique<Watches>()) {
  watches_->port = ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  if (!watches_->port) {
    std::fprintf(stderr, "tunora-song-service: cannot watch the folders (error %lu)\n", ::GetLastError());
    return;
  }
  thread_ = std::thread([this] { run(); });
}

bool FolderWatcher::ok() const { return watches_->port != nullptr; }

FolderWatcher::~FolderWatcher() {
  if (thread_.joinable()) {
    // A completion without a tree ends run().
    ::PostQueuedCompletionStatus(watches_->port, 0, 0, nullptr);
    thread_.join();
  }
  for (auto& tree : watches_->trees) {
    // The pending read writes into the tree until it has really ended.
    DWORD ignored = 0;
    if (::CancelIoEx(tree->folder, &tree->pending) || ::GetLastError() != ERROR_NOT_FOUND)
      ::GetOverlappedResult(tree->folder, &tree->pending, &ignored, TRUE);
    ::CloseHandle(tree->folder);
  }
  if (watches_->port) ::CloseHandle(watches_->port);
}

// Each tree is watched whole, so a folder inside one already watched needs nothing.
void FolderWatcher::watch(const std::vector<std::string>& folders) {
  if (!watches_->port) return;
  std::lock_guard lock(mutex_);
  for (const std::string& folder : folders) {
    bool covered = std::any_of(watches_->trees.begin(), watches_->trees.end(), [&](const auto& tree) {
      return folder == tree->path || folder.rfind(tree->path + "/", 0) == 0;
    });
    if (covered) continue;
    auto tree = std::make_unique<Tree>();
    tree->path = folder;
    tree->folder = ::CreateFileW(platform::system::widen(folder).c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (tree->folder == INVALID_HANDLE_VALUE) continue;
    if (!::CreateIoCompletionPort(tree->folder, watches_->port, reinterpret_cast<ULONG_PTR>(tree.get()), 0) ||
        !tree->arm()) {
      if (!limitReported_) {
        limitReported_ = true;
        std::fprintf(stderr, "tunora-song-service: cannot watch a folder (error %lu); changes in it are seen"
                             " only at the next start\n", ::GetLastError());
      }
      ::CloseHandle(tree->folder);
      continue;
    }
    watches_->trees.push_back(std::move(tree));
  }
}

void FolderWatcher::run() {
  bool pending = false;
  Clock::time_point firstEvent, lastEvent;
  while (true) {
    DWORD timeout = INFINITE;
    if (pending) {
      auto due = std::min(lastEvent + kQuiet, firstEvent + kLongestWait);
      timeout = static_cast<DWORD>(std::max<long long>(
          0, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count() + 1));
    }
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* done = nullptr;
    BOOL got = ::GetQueuedCompletionStatus(watches_->port, &bytes, &key, &done, timeout);
    if (done) {
      if (key == 0) return;
      // Any completion is a change: a full buffer (no bytes) lost its details, a failed one
      // means the folder itself went away.
      lastEvent = Clock::now();
      if (!pending) firstEvent = lastEvent;
      pending = true;
      if (got) {
        std::lock_guard lock(mutex_);
        reinterpret_cast<Tree*>(key)->arm();
      }
      continue;
    }
    if (key == 0 && got) return;
    if (!got && ::GetLastError() != WAIT_TIMEOUT) return;
    auto now = Clock::now();
    if (pending && (now >= lastEvent + kQuiet || now >= firstEvent + kLongestWait)) {
      pending = false;
      onChange_();
    }
  }
}

}  // namespace songservice
