#pragma once
// How far indexing has come, on stderr: a bar redrawn in place on a terminal, a line every few
// seconds otherwise, and a closing line with the count and the pace. Used by the scanning
// thread only.

#include <chrono>
#include <cstddef>

namespace songservice {

class ScanProgress {
 public:
  // total files to read; quiet says nothing until finish().
  ScanProgress(std::size_t total, bool quiet);

  void advance(std::size_t files);
  // Clears the bar so a message line can follow.
  void interrupt();
  void finish(std::size_t songs, std::size_t removed, double seconds);

 private:
  void draw();

  std::size_t total_, done_ = 0;
  bool quiet_, terminal_, barShown_ = false;
  std::chrono::steady_clock::time_point started_, lastLine_;
};

}  // namespace songservice
