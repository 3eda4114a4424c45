// What a volume change costs the thread that makes it. Goal: WriteVolumeSetting on a
// writer at most about 1 ms a call however slow the disk, against the two fsyncs of a
// direct write.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "app/BackgroundWriter.h"
#include "app/VolumeSetting.h"

namespace {

void BM_VolumeChangeOnTheCallersThread(benchmark::State& state) {
  app::BackgroundWriter writer;
  int volume = 0;
  for (auto _ : state) app::WriteVolumeSetting(writer, volume++ % 101);
  writer.flush();
  std::remove(app::VolumeSettingPath().c_str());
}
BENCHMARK(BM_VolumeChangeOnTheCallersThread)->Unit(benchmark::kMicrosecond);

void BM_DirectSettingsWrite(benchmark::State& state) {
  const std::string path = app::VolumeSettingPath() + ".direct";
  int volume = 0;
  for (auto _ : state) benchmark::DoNotOptimize(app::WriteVolumeSetting(path, volume++ % 101));
  std::remove(path.c_str());
}
BENCHMARK(BM_DirectSettingsWrite)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
