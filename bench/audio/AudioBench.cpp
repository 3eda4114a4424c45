// Audio engine benchmarks, each against mpg123 on the same file in the same run:
// decoding speed, a full-speed capture, the CPU of paced playback (no-sound device and
// SDL's dummy driver), and the time to the first heard sample over loopback HTTP.
// Goals: capture >= 0.8 of `mpg123 -w /dev/null`'s speed; paced playback <= 1.2 times the
// CPU of `mpg123 -s | pv -L 176400` (needs pv); first sound about 10 ms.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "platform/audio/Bass.h"
#include "platform/audio/FileSource.h"
#include "platform/audio/Mp3Decoder.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(rusage usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double cpuSelf() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return seconds(usage);
}

// Wall time of `mpg123 -q -w /dev/null file`.
double mpg123Seconds(const std::string& file) {
  const char* argv[] = {"mpg123", "-q", "-w", "/dev/null", file.c_str(), nullptr};
  auto start = Clock::now();
  pid_t pid = -1;
  if (posix_spawnp(&pid, "mpg123", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double engineDecodeSeconds(const std::string& file) {
  auto start = Clock::now();
  auto result = platform::audio::FileSource::OpenResult::Ok;
  auto source = platform::audio::FileSource::open(file, 0, 0, result);
  if (!source) return -1;
  auto decoder = platform::audio::Mp3Decoder::open(*source);
  if (!decoder) return -1;
  std::vector<std::uint8_t> pcm(1 << 16);
  std::size_t total = 0;
  while (std::size_t got = decoder->read(pcm.data(), pcm.size())) total += got;
  benchmark::DoNotOptimize(total);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void DecodeAgainstMpg123(benchmark::State& state) {
  std::string file = audiotest::media("long.mp3");
  for (auto _ : state) {
    double ours = engineDecodeSeconds(file);
    double theirs = mpg123Seconds(file);
    state.SetIterationTime(ours);
    state.counters["engine_s"] = ours;
    state.counters["mpg123_s"] = theirs;
    state.counters["speed_ratio"] = theirs / ours;  // goal >= 0.9
  }
}
BENCHMARK(DecodeAgainstMpg123)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void FirstSoundOverLoopback(benchmark::State& state) {
  audiotest::NginxServer server;
  if (!server.running() || !BASS_Init(0, 44100, 0, nullptr, nullptr)) {
    state.SkipWithError("no server or device");
    return;
  }
  std::string url = server.url("long.mp3");
  double createSeconds = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    HSTREAM stream = BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
    createSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    BASS_ChannelPlay(stream, TRUE);
    while (stream != 0 && BASS_ChannelGetPosition(stream, BASS_POS_BYTE) == 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    BASS_StreamFree(stream);
  }
  state.counters["create_ms"] = 1000 * createSeconds / static_cast<double>(state.iterations());
  BASS_Free();
}
BENCHMARK(FirstSoundOverLoopback)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

double cpuChildren() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return seconds(usage);
}

// Exit status of a shell command line, -1 when it could not run.
int runShell(const std::string& command) {
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid = -1;
  if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr double kPacedSeconds = 15.0;
// MPEG-1 layer III frames of 1152 samples at 44.1 kHz in kPacedSeconds.
constexpr int kPacedMpegFrames = 574;

// CPU seconds of the whole pipeline `mpg123 -s | pv -L 176400` over the first
// kPacedSeconds of file, or -1 without pv.
double mpg123PacedCpu(const std::string& file) {
  if (runShell("command -v pv >/dev/null") != 0) return -1;
  double before = cpuChildren();
  runShell("mpg123 -q -s -n " + std::to_string(kPacedMpegFrames) + " '" + file +
           "' | pv -q -L 176400 >/dev/null");
  return cpuChildren() - before;
}

// CPU seconds this process spends playing the first kPacedSeconds of file on device.
double enginePacedCpu(int device, const std::string& file) {
  if (!BASS_Init(device, 44100, 0, nullptr, nullptr)) return -1;
  HSTREAM stream = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, 0);
  QWORD end = BASS_ChannelSeconds2Bytes(stream, kPacedSeconds);
  double before = cpuSelf();
  BASS_ChannelPlay(stream, TRUE);
  while (stream != 0 && BASS_ChannelGetPosition(stream, BASS_POS_BYTE) < end &&
         BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  double cpu = cpuSelf() - before;
  BASS_Free();
  return stream != 0 ? cpu : -1;
}

void PacedPlayback(benchmark::State& state, int device) {
  std::string file = audiotest::media("long.mp3");
  for (auto _ : state) {
    double ours = enginePacedCpu(device, file);
    double theirs = mpg123PacedCpu(file);
    if (ours < 0 || theirs <= 0) {
      state.SkipWithError("no device, or pv is missing");
      return;
    }
    state.SetIterationTime(ours);
    state.counters["engine_cpu_s"] = ours;
    state.counters["mpg123_pv_cpu_s"] = theirs;
    state.counters["cpu_ratio"] = ours / theirs;  // goal <= 1.2
  }
}

void PacedPlaybackNoSound(benchmark::State& state) { PacedPlayback(state, 0); }
BENCHMARK(PacedPlaybackNoSound)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PacedPlaybackSdlDummy(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  PacedPlayback(state, -1);
}
BENCHMARK(PacedPlaybackSdlDummy)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Wall seconds of a capture of the whole file as fast as the engine goes.
double engineCaptureSeconds(const std::string& file) {
  setenv("TUNORA_AUDIO_CAPTURE", "/dev/null", 1);
  setenv("TUNORA_AUDIO_CAPTURE_SPEED", "100000", 1);
  bool ready = BASS_Init(-1, 44100, 0, nullptr, nullptr);
  unsetenv("TUNORA_AUDIO_CAPTURE");
  unsetenv("TUNORA_AUDIO_CAPTURE_SPEED");
  if (!ready) return -1;
  auto start = Clock::now();
  HSTREAM stream = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, 0);
  BASS_ChannelPlay(stream, TRUE);
  while (stream != 0 && BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  BASS_Free();
  return stream != 0 ? wall : -1;
}

void FullSpeedCapture(benchmark::State& state) {
  std::string file = audiotest::media("long.mp3");
  for (auto _ : state) {
    double ours = engineCaptureSeconds(file);
    double theirs = mpg123Seconds(file);
    if (ours < 0) {
      state.SkipWithError("no capture device");
      return;
    }
    state.SetIterationTime(ours);
    state.counters["engine_s"] = ours;
    state.counters["mpg123_s"] = theirs;
    state.counters["speed_ratio"] = theirs / ours;  // goal >= 0.8
  }
}
BENCHMARK(FullSpeedCapture)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
