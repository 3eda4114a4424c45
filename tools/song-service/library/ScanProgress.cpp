#include "tools/song-service/library/ScanProgress.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace songservice {

ScanProgress::ScanProgress(std::size_t total, bool quiet)
    : total_(total), quiet_(quiet), terminal_(::isatty(2) == 1), started_(std::chrono::steady_clock::now()),
      lastLine_(started_) {}

void ScanProgress::advance(std::size_t files) {
  done_ += files;
  if (quiet_) return;
  auto now = std::chrono::steady_clock::now();
  if (terminal_ || now - lastLine_ >= std::chrono::seconds(3)) {
    draw();
    lastLine_ = now;
  }
}

void ScanProgress::draw() {
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  double pace = seconds > 0 ? done_ / seconds : 0;
  if (terminal_) {
    constexpr int kWidth = 30;
    int filled = total_ ? static_cast<int>(kWidth * done_ / total_) : kWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\rindexing [%s] %zu/%zu files, %.0f files/s ", bar.c_str(), done_, total_, pace);
    barShown_ = true;
  } else {
    std::fprintf(stderr, "tunora-song-service: indexing: %zu of %zu files, %.0f files/s\n", done_, total_, pace);
  }
  std::fflush(stderr);
}

void ScanProgress::interrupt() {
  if (!barShown_) return;
  std::fprintf(stderr, "\r\033[K");
  barShown_ = false;
}

void ScanProgress::finish(std::size_t songs, std::size_t removed, double seconds) {
  interrupt();
  std::fprintf(stderr,
               "tunora-song-service: indexed %zu songs (%zu files read, %zu gone) in %.2f s, %.0f files/s\n",
               songs, done_, removed, seconds, seconds > 0 ? done_ / seconds : 0.0);
  std::fflush(stderr);
}

}  // namespace songservice
