#include "tests/support/GeneratedLibrary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "tests/support/TestPictures.h"
#include "tests/support/FileContents.h"

extern char** environ;

namespace testsupport {
namespace {

namespace fs = std::filesystem;

// Made once per program, removed at its end.
class Tone {
 public:
  Tone() : path_((fs::temp_directory_path() / ("tunora-tone-" + std::to_string(::getpid()) + ".wav")).string()) {
    runQuietly({"sox", "-n", "-r", "22050", "-c", "1", "-b", "16", path_, "synth", "1", "sine", "440"});
  }
  ~Tone() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string toneFile() {
  static const Tone tone;
  return tone.path();
}

}  // namespace

bool runQuietly(const std::vector<std::string>& words) {
  std::vector<std::string> copy = words;
  std::vector<char*> argv;
  for (std::string& word : copy) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool GeneratedLibrary::encode(const std::string& format, const std::string& path, const std::string& title,
                              const std::string& artist, const std::string& album, const std::string& cover) {
  return encodeSound(toneFile(), format, path, title, artist, album, cover);
}

bool GeneratedLibrary::encodeSound(const std::string& wav, const std::string& format, const std::string& path,
                                   const std::string& title, const std::string& artist, const std::string& album,
                                   const std::string& cover) {
  std::vector<std::string> words;
  auto tag = [&](const char* flag, const std::string& value) {
    if (value.empty()) return;
    words.push_back(flag);
    words.push_back(value);
  };
  if (format == "mp3") {
    words = {"lame", "--quiet", "-b", "64"};
    tag("--tt", title);
    tag("--ta", artist);
    tag("--tl", album);
    tag("--ti", cover);
    if (!title.empty()) words.insert(words.end(), {"--tn", "7", "--ty", "2021"});
    words.insert(words.end(), {wav, path});
  } else if (format == "flac") {
    words = {"flac", "--silent", "--force", "-o", path};
    if (!title.empty()) words.push_back("--tag=TITLE=" + title);
    if (!artist.empty()) words.push_back("--tag=ARTIST=" + artist);
    if (!album.empty()) words.push_back("--tag=ALBUM=" + album);
    if (!cover.empty()) words.push_back("--picture=" + cover);
    words.push_back(wav);
  } else if (format == "ogg") {
    words = {"oggenc", "--quiet", "-o", path};
    tag("-t", title);
    tag("-a", artist);
    tag("-l", album);
    words.push_back(wav);
  } else if (format == "opus") {
    words = {"opusenc", "--quiet"};
    tag("--title", title);
    tag("--artist", artist);
    tag("--album", album);
    tag("--picture", cover);
    words.insert(words.end(), {wav, path});
  } else if (format == "wav") {
    std::error_code error;
    return fs::copy_file(wav, path, fs::copy_options::overwrite_existing, error);
  }
  return !words.empty() && runQuietly(words);
}

// Bumped whenever make() changes, so a kept folder is made again.
constexpr char kVersion[] = "1";

GeneratedLibrary::GeneratedLibrary() : root_(TUNORA_GENERATED_LIBRARY_DIR) {
  // Test programs running side by side make it once between them.
  fs::create_directories(fs::path(root_).parent_path());
  int lock = ::open((root_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock >= 0) ::flock(lock, LOCK_EX);
  const std::string marker = root_ + ".complete";
  if (readFile(marker) != kVersion) {
    std::error_code ignored;
    fs::remove(marker, ignored);
    fs::remove_all(root_, ignored);
    fs::create_directories(root_);
    make();
    if (!::testing::Test::HasFailure()) writeFile(marker, kVersion);
  }
  if (lock >= 0) ::close(lock);
}

void GeneratedLibrary::make() {
  for (const char* folder : {"Aurora Vale/First Light", "白沐阳", "Japanese", "Odd", "Twins/North", "Twins/South",
                             "Untagged Singer", "Star", "Folder Cover", "Damaged"})
    fs::create_directories(path(folder));
  const std::string cover = path("embedded-cover.jpg");
  auto jpeg = testpictures::encodeSolid("jpeg", 16, 16, 0xFF3366CC);
  writeFile(cover, std::string(jpeg.begin(), jpeg.end()));
  auto folderJpeg = testpictures::encodeSolid("jpeg", 12, 12, 0xFF22AA44);
  writeFile(path("Folder Cover/cover.jpg"), std::string(folderJpeg.begin(), folderJpeg.end()));

  struct Song {
    const char *format, *file, *title, *artist, *album;
    bool cover;
  } songs[] = {
      {"mp3", "Aurora Vale/First Light/01 Morning Light.mp3", "Morning Light", "Aurora Vale", "First Light", true},
      {"flac", "Aurora Vale/First Light/02.flac", "Evening Tide", "Aurora Vale", "First Light", true},
      {"ogg", "白沐阳/远山.ogg", "远山的回声", "白沐阳", "远山", false},
      {"opus", "白沐阳/星河.opus", "星河列车", "白沐阳", "远山", true},
      {"flac", "Japanese/sakura.flac", "桜の道", "山田花子", "春", false},
      {"mp3", "Japanese/hangul.mp3", "노래 Song", "Kim 민수", "", false},
      {"mp3", "Odd/quote.mp3", "Quote \"A\" \\ B },{ C", "Odd Bytes", "", false},
      {"mp3", "Twins/North/twin.mp3", "Twin Song", "Twin", "North", false},
      {"ogg", "Twins/South/twin.ogg", "Twin Song", "Twin", "South", false},
      {"mp3", "Star/a.mp3", "Night", "Star", "", false},
      {"mp3", "Star/b.mp3", "Star Gazing", "Someone Else", "", false},
      {"mp3", "Star/c.mp3", "Morning", "Other Band", "Bright Star Album", false},
      {"mp3", "Folder Cover/song.mp3", "Green Field", "Folder Cover Singer", "", false},
      {"wav", "Untagged Singer/my untagged song.wav", "", "", "", false},
      {"mp3", "Untagged Singer/no-extension", "Hidden Name", "Misnamed", "", false},
      {"mp3", "\xb0\xd7\xe3\xe5\xd1\xf4/\xd4\xc2\xb9\xe2.mp3", "", "", "", false},  // 白沐阳/月光 in GBK
  };
  fs::create_directories(path("\xb0\xd7\xe3\xe5\xd1\xf4"));
  for (const Song& song : songs) {
    if (!encode(song.format, path(song.file), song.title, song.artist, song.album, song.cover ? cover : "")) {
      ADD_FAILURE() << "cannot encode " << song.file << " (are sox, lame, flac, vorbis-tools, opus-tools installed?)";
    }
  }
  fs::remove(cover);

  // What must not be offered: an AAC stream (ADTS frames), a WMA file's header, a text file
  // named like a song, a cut FLAC, and a folder that links back to its parent.
  std::string adts;
  for (int i = 0; i < 40; ++i) adts += std::string("\xFF\xF1\x50\x80\x02\x1F\xFC", 7) + std::string(9, '\x11');
  writeFile(path("Damaged/aac.m4a"), adts);
  writeFile(path("Damaged/song.wma"), std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
                                          std::string(300, '\0'));
  writeFile(path("Damaged/broken.mp3"), "this is no song at all, just words in a file named like one");
  std::string flac = readFile(path("Aurora Vale/First Light/02.flac"));
  writeFile(path("Damaged/truncated.flac"), flac.substr(0, 60));
  fs::create_directory_symlink("..", path("Damaged/loop"));
}

GeneratedLibrary::~GeneratedLibrary() = default;

const GeneratedLibrary& GeneratedLibrary::get() {
  static const GeneratedLibrary library;
  return library;
}

void GeneratedLibrary::copyTo(const std::string& target) const {
  fs::copy(root_, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

}  // namespace testsupport
