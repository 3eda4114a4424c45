// bench_library_make OUT_DIR COUNT: a music folder of COUNT short tagged files for the library
// benchmarks. A few songs are encoded once (mp3, ogg, opus, flac, wav); each file is a copy
// of one of them with tags of its own, in singer/album folders as people keep them.

#include <fileref.h>
#include <tag.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/library/LibraryWords.h"

namespace fs = std::filesystem;

namespace {

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_library_make OUT_DIR COUNT\n");
    return 2;
  }
  const fs::path out = argv[1];
  const long count = std::atol(argv[2]);
  const auto started = std::chrono::steady_clock::now();
  fs::create_directories(out);
  const fs::path base = out / ".base";
  fs::create_directories(base);
  const std::string wav = (base / "tone.wav").string();
  if (!run("sox -n -r 22050 -c 1 -b 16 '" + wav + "' synth 1 sine 330") ||
      !run("lame --quiet -b 32 '" + wav + "' '" + (base / "s.mp3").string() + "'") ||
      !run("oggenc -Q -o '" + (base / "s.ogg").string() + "' '" + wav + "'") ||
      !run("opusenc --quiet '" + wav + "' '" + (base / "s.opus").string() + "'") ||
      !run("flac -s -f --no-padding -o '" + (base / "s.flac").string() + "' '" + wav + "'")) {
    std::fprintf(stderr, "bench_library_make: sox, lame, oggenc, opusenc and flac are needed\n");
    return 1;
  }
  fs::copy_file(wav, base / "s.wav", fs::copy_options::overwrite_existing);
  const std::vector<std::string> formats{"mp3", "ogg", "opus", "flac", "wav"};

  using benchlibrary::kSongsPerAlbum;
  for (long i = 0; i < count; ++i) {
    const std::string& format = formats[static_cast<std::size_t>(i % static_cast<long>(formats.size()))];
    const benchlibrary::SongTexts texts = benchlibrary::songTexts(i);
    const std::string &singerName = texts.singer, &albumName = texts.album, &title = texts.title;
    const long album = i / kSongsPerAlbum;
    const fs::path folder = out / texts.singerFolder / texts.albumFolder;
    fs::create_directories(folder);
    char name[64];
    std::snprintf(name, sizeof name, "%02ld song %ld.%s", i % kSongsPerAlbum + 1, i, format.c_str());
    const fs::path file = folder / name;
    fs::copy_file(base / ("s." + format), file, fs::copy_options::overwrite_existing);
    if (format == "wav") continue;  // WAV files go untagged: named after themselves
    TagLib::FileRef ref(file.c_str());
    if (ref.isNull() || !ref.tag()) continue;
    ref.tag()->setTitle(TagLib::String(title, TagLib::String::UTF8));
    ref.tag()->setArtist(TagLib::String(singerName, TagLib::String::UTF8));
    ref.tag()->setAlbum(TagLib::String(albumName, TagLib::String::UTF8));
    ref.tag()->setTrack(static_cast<unsigned>(i % kSongsPerAlbum + 1));
    ref.tag()->setYear(2000 + static_cast<unsigned>(album % 25));
    ref.save();
  }
  fs::remove_all(base);
  std::printf("bench_library_make: %ld files in %.1f s\n", count,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  return 0;
}
