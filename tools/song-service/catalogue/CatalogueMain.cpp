// Builds the demo song catalogue into one folder: the synthesised songs as MP3, a picture per
// singer, the index the song service reads, and the preset file that ships beside the client.
// Usage: tunora-catalogue OUTPUT_FOLDER

#include <iconv.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/song-service/CatalogueIndex.h"
#include "tools/song-service/catalogue/CatalogueSongs.h"
#include "tools/song-service/catalogue/LameEncoder.h"
#include "tools/song-service/catalogue/SingerPortrait.h"
#include "tools/song-service/catalogue/SongSynth.h"

namespace fs = std::filesystem;
using namespace songservice;

namespace {

// The address the shipped preset file points at: the demo service on its default port.
constexpr char kPresetMediaBase[] = "http://127.0.0.1:8725/media/";

std::string numbered(const char* prefix, int number, const char* suffix) {
  char text[64];
  std::snprintf(text, sizeof text, "%s%02d%s", prefix, number, suffix);
  return text;
}

std::uint32_t seedOf(const std::string& text) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

// Empty when the text has a character GBK cannot hold.
std::string utf8ToGbk(const std::string& utf8) {
  iconv_t converter = iconv_open("GBK", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  char* outPointer = out.data();
  std::size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return {};
  out.resize(out.size() - outLeft);
  return out;
}

bool writeFileAtomically(const fs::path& path, const std::string& contents) {
  fs::path temporary = path;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out.flush()) return false;
  }
  std::error_code error;
  fs::rename(temporary, path, error);
  return !error;
}

std::string lengthText(int seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
  return text;
}

std::string presetText(const CatalogueIndex& index) {
  std::string text;
  for (int position : presetSongs()) {
    const IndexSong& song = index.songs[position];
    if (!text.empty()) text += "\r\n";
    text += "{\"id\":\"" + std::to_string(song.id) + "\",\"title\":\"" + song.title +
            "\",\"singer\":\"" + song.singer + "\",\"url\":\"" + kPresetMediaBase + song.file +
            "\",\"length\":\"" + lengthText(static_cast<int>(song.seconds())) + "\"}";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tunora-catalogue OUTPUT_FOLDER\n");
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  const fs::path folder = argv[1];
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "tunora-catalogue: cannot create %s\n", folder.c_str());
    return 1;
  }

  CatalogueIndex index;
  int singerNumber = 0;
  for (const SingerPlan& singer : catalogueSingers()) {
    ++singerNumber;
    std::string picture = numbered("singer-", singerNumber, ".png");
    if (!drawSingerPortrait((folder / picture).string(), singer.hue, singerNumber)) {
      std::fprintf(stderr, "tunora-catalogue: cannot write %s\n", picture.c_str());
      return 1;
    }
    index.singers.push_back({singer.name, picture});
  }

  const auto plans = catalogueSongs();
  index.songs.resize(plans.size());
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const EncodingForm& form = encodingForm(plans[i].encoding);
    IndexSong& song = index.songs[i];
    song.id = 101 + static_cast<int>(i);
    song.file = numbered("song-", static_cast<int>(i) + 1, ".mp3");
    song.title = plans[i].title;
    song.singer = plans[i].singer;
    song.album = plans[i].album;
    song.sampleRate = form.sampleRate;
    song.channels = form.channels;
    song.samples = static_cast<long long>(plans[i].seconds) * form.sampleRate;
    song.encoding = form.name;
  }

  // Two encoders at a time: lame is the slow part and runs single-threaded.
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex errorMutex;
  auto work = [&] {
    for (std::size_t i; !failed && (i = next++) < index.songs.size();) {
      const IndexSong& song = index.songs[i];
      fs::path wav = folder / (song.file + ".wav"), part = folder / (song.file + ".part");
      std::string why;
      auto samples = synthesiseSong(seedOf(song.title + song.singer), song.sampleRate,
                                    song.channels, song.samples);
      bool done = writeWav(wav.string(), samples, song.sampleRate, song.channels) &&
                  encodeWithLame(wav.string(), part.string(),
                                 encodingForm(plans[i].encoding).lameArguments, &why);
      std::error_code removeError;
      fs::remove(wav, removeError);
      std::error_code renameError;
      if (done) fs::rename(part, folder / song.file, renameError);
      if (!done || renameError) {
        std::lock_guard lock(errorMutex);
        std::fprintf(stderr, "tunora-catalogue: %s: %s\n", song.file.c_str(),
                     why.empty() ? "cannot write the file" : why.c_str());
        failed = true;
      }
    }
  };
  std::thread helper(work);
  work();
  helper.join();
  if (failed) return 1;

  // The index comes last: its presence says the catalogue is complete.
  std::string preset = utf8ToGbk(presetText(index));
  if (preset.empty() || !writeFileAtomically(folder / kPresetFileName, preset) ||
      !writeFileAtomically(folder / kIndexFileName, formatIndex(index))) {
    std::fprintf(stderr, "tunora-catalogue: cannot write the index or the preset file\n");
    return 1;
  }
  double seconds = 0;
  for (const IndexSong& song : index.songs) seconds += song.seconds();
  std::printf("tunora-catalogue: %zu songs, %.0f s of music, in %.1f s\n", index.songs.size(),
              seconds,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  return 0;
}
