// CPU time of paced playback on the no-sound device: 60 s of MP3 played in real time,
// the same on Linux and on Windows. Prints the process's CPU seconds over the playing.
// Usage: bench_paced_cpu [file] [seconds]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "AudioTestSupport.h"
#include "ProcessCpu.h"
#include "platform/audio/Bass.h"

int main(int argc, char** argv) {
  std::string file = argc > 1 ? argv[1] : audiotest::media("long.mp3");
  double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
  if (!BASS_Init(0, 44100, 0, nullptr, nullptr)) return 1;
  HSTREAM stream = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, 0);
  if (stream == 0) {
    std::fprintf(stderr, "cannot open %s\n", file.c_str());
    return 1;
  }
  QWORD end = BASS_ChannelSeconds2Bytes(stream, seconds);
  auto started = std::chrono::steady_clock::now();
  double before = bench::processCpuSeconds();
  BASS_ChannelPlay(stream, TRUE);
  while (BASS_ChannelGetPosition(stream, BASS_POS_BYTE) < end &&
         BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  double cpu = bench::processCpuSeconds() - before;
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  BASS_Free();
  std::printf("paced %.1f s of audio: wall %.2f s, cpu %.3f s\n", seconds, wall, cpu);
  return 0;
}
