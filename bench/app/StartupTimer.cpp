// Time from starting the client to its window mapped and to its window fully drawn (all
// 20 controls): the window's area of the screen is read every 2 ms; "drawn" is the first
// moment it equals what it shows once everything has settled. Needs DISPLAY (a private
// X server with a window manager; see client-bench.sh).
//   bench_client_startup PROGRAM [RUNS]
// With STARTUP_FRAMES=FOLDER every frame seen is also written there as a PPM picture, to
// look at what a person sees while the window comes up.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLeft = 50, kTop = 50, kWidth = 296, kHeight = 657;

std::vector<char> grab(Display* d) {
  std::vector<char> pixels;
  XImage* image = XGetImage(d, DefaultRootWindow(d), kLeft, kTop, kWidth, kHeight, AllPlanes, ZPixmap);
  if (image == nullptr) return pixels;
  pixels.assign(image->data, image->data + static_cast<std::size_t>(image->bytes_per_line) * kHeight);
  XDestroyImage(image);
  return pixels;
}

struct Frame {
  double ms;
  std::vector<char> pixels;
};

void writeFrame(const char* folder, int run, const Frame& frame) {
  char name[512];
  std::snprintf(name, sizeof name, "%s/run%d-%04dms.ppm", folder, run, static_cast<int>(frame.ms));
  FILE* out = std::fopen(name, "wb");
  if (out == nullptr) return;
  std::fprintf(out, "P6 %d %d 255\n", kWidth, kHeight);
  for (std::size_t i = 0; i + 3 < frame.pixels.size(); i += 4) {
    const char rgb[3] = {frame.pixels[i + 2], frame.pixels[i + 1], frame.pixels[i]};
    std::fwrite(rgb, 1, 3, out);
  }
  std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PROGRAM [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 6;
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  std::vector<double> mapped, drawn;
  for (int run = 0; run < runs; ++run) {
    const std::vector<char> empty = grab(d);
    std::vector<Frame> frames;
    const auto start = Clock::now();
    pid_t pid = 0;
    char* args[] = {argv[1], nullptr};
    if (posix_spawn(&pid, argv[1], nullptr, nullptr, args, environ) != 0) return 1;
    while (Clock::now() - start < std::chrono::milliseconds(1500)) {
      std::vector<char> now = grab(d);
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      if (frames.empty() ? now != empty : now != frames.back().pixels) frames.push_back({ms, std::move(now)});
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);  // only the start is measured
    waitpid(pid, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (frames.empty()) continue;
    const auto& settled = frames.back().pixels;
    const auto first = std::find_if(frames.begin(), frames.end(), [&](const Frame& f) { return f.pixels == settled; });
    mapped.push_back(frames.front().ms);
    drawn.push_back(first->ms);
    if (const char* folder = std::getenv("STARTUP_FRAMES")) {
      for (const Frame& f : frames) writeFrame(folder, run + 1, f);
    }
    std::printf("run %d: mapped %.1f ms, fully drawn %.1f ms (%zu frames)\n", run + 1, frames.front().ms, first->ms,
                frames.size());
  }
  XCloseDisplay(d);
  if (drawn.size() < 2) return 1;
  // The first run warms the caches; the median of the others is the warm figure.
  std::vector<double> warmMapped(mapped.begin() + 1, mapped.end()), warmDrawn(drawn.begin() + 1, drawn.end());
  std::sort(warmMapped.begin(), warmMapped.end());
  std::sort(warmDrawn.begin(), warmDrawn.end());
  std::printf("warm median: mapped %.1f ms, all controls drawn %.1f ms (goal 60 ms)\n",
              warmMapped[warmMapped.size() / 2], warmDrawn[warmDrawn.size() / 2]);
  return 0;
}
