// Audio engine benchmarks: decoding speed against mpg123 itself, time to the first heard
// sample over loopback HTTP, and CPU use while playing on the no-sound device.
// Goals: decoding >= 0.9 of mpg123's speed, first sound <= 150 ms, < 2 % of one core.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
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
  for (auto _ : state) {
    auto start = Clock::now();
    HSTREAM stream = BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
    BASS_ChannelPlay(stream, TRUE);
    while (stream != 0 && BASS_ChannelGetPosition(stream, BASS_POS_BYTE) == 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    BASS_StreamFree(stream);
  }
  BASS_Free();
}
BENCHMARK(FirstSoundOverLoopback)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void CpuWhilePlaying(benchmark::State& state) {
  if (!BASS_Init(0, 44100, 0, nullptr, nullptr)) {
    state.SkipWithError("no device");
    return;
  }
  for (auto _ : state) {
    HSTREAM stream = BASS_StreamCreateFile(FALSE, audiotest::media("long.mp3").c_str(), 0, 0, 0);
    BASS_ChannelPlay(stream, TRUE);
    double cpuStart = cpuSelf();
    auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = cpuSelf() - cpuStart;
    state.SetIterationTime(wall);
    state.counters["core_percent"] = 100.0 * cpu / wall;  // goal < 2
    state.counters["cpu_s_per_minute"] = 60.0 * cpu / wall;
    BASS_StreamFree(stream);
  }
  BASS_Free();
}
BENCHMARK(CpuWhilePlaying)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
