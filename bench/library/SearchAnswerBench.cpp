// bench_library_answer [--songs=N]: the search answer of the library service built in
// memory, without HTTP, over the generated benchmark library's texts (100 000 songs unless
// told): index lookup, ranking and the GBK JSONP answer, one keyword per benchmark, and a
// keyword asked again.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/library/LibraryWords.h"
#include "tools/song-service/SongAnswers.h"
#include "tools/song-service/library/LibraryIndex.h"
#include "tools/song-service/library/LibrarySource.h"

namespace {

long songCount = 100000;

std::vector<songservice::SongRecord> records() {
  std::vector<songservice::SongRecord> songs;
  songs.reserve(static_cast<std::size_t>(songCount));
  for (long i = 0; i < songCount; ++i) {
    benchlibrary::SongTexts texts = benchlibrary::songTexts(i);
    songservice::SongRecord record;
    record.id = i + 1;
    char name[64];
    std::snprintf(name, sizeof name, "%02ld song %ld", i % benchlibrary::kSongsPerAlbum + 1, i);
    record.path = "/music/" + texts.singerFolder + "/" + texts.albumFolder + "/" + name + ".mp3";
    record.size = 4000 + i % 97;
    record.kind = songservice::MediaKind::Mp3;
    if (i % 5 == 4) {  // the folder's untagged WAV files
      record.title = name;
      record.singer = texts.albumFolder;
    } else {
      record.title = texts.title;
      record.singer = texts.singer;
      record.album = texts.album;
      record.track = static_cast<int>(i % benchlibrary::kSongsPerAlbum + 1);
      record.year = 2000 + static_cast<int>(i / benchlibrary::kSongsPerAlbum % 25);
    }
    record.millis = 1000;
    record.kbps = 32;
    songs.push_back(std::move(record));
  }
  return songs;
}

std::shared_ptr<const songservice::LibraryIndex> sharedIndex() {
  static auto index = std::make_shared<const songservice::LibraryIndex>(records());
  return index;
}

// A keyword asked for the first time: a new source has no answers kept.
void searchAnswer(benchmark::State& state, const char* keyword) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    songservice::LibrarySource source([] { return sharedIndex(); });
    std::string answer = songservice::wrapped("jsonp1", source.searchAnswer(keyword, "127.0.0.1"));
    bytes = answer.size();
    benchmark::DoNotOptimize(answer.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// The same keyword again.
void searchAnswerAgain(benchmark::State& state, const char* keyword) {
  songservice::LibrarySource source([] { return sharedIndex(); });
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string answer = songservice::wrapped("jsonp1", source.searchAnswer(keyword, "127.0.0.1"));
    bytes = answer.size();
    benchmark::DoNotOptimize(answer.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

}  // namespace

BENCHMARK_CAPTURE(searchAnswer, common_word, "Morning")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, two_words, "river light")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, chinese_word, "月光")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, chinese_pair, "远山 星河")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, word_and_number, "tide 12")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, rare_number, "song 4711")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, three_words, "quiet engine 3")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, nothing, "zzz-nothing")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswer, one_character, "桜")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchAnswerAgain, common_word, "Morning")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--songs=", 8) == 0) songCount = std::atol(argv[i] + 8);
  benchmark::Initialize(&argc, argv);
  sharedIndex();  // built before the clock runs
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
