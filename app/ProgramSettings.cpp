#include "app/ProgramSettings.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "platform/system/ProfileFile.h"
#include "platform/text/Numbers.h"

namespace app {
namespace {

namespace ps = platform::system;

constexpr char kSection[] = "parameter";
constexpr char kVolume[] = "volume size";
constexpr char kTitle[] = "song title";
constexpr char kSinger[] = "song singer";
constexpr char kList[] = "song list";
constexpr char kRow[] = "song row";
constexpr char kAddress[] = "song address";
constexpr char kLength[] = "song length";
constexpr char kPosition[] = "song position";
constexpr char kKeyword[] = "search keyword";
constexpr char kNotify[] = "notify";

constexpr std::pair<SongList, const char*> kListNames[] = {
    {SongList::Results, "results"}, {SongList::Presets, "presets"}, {SongList::Address, "address"}};

// Texts go in quotes, which reading takes off again, so blanks at their ends survive; a
// line break cannot be stored and is left out.
std::string quoted(const std::string& text) {
  std::string value = "\"";
  for (char c : text)
    if (c != '\r' && c != '\n') value += c;
  return value + "\"";
}

// Seconds with three decimals, the same whatever the locale.
std::string secondsText(double seconds) {
  if (!(seconds >= 0) || seconds > 1e9) seconds = 0;
  char text[32];
  auto end = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 3).ptr;
  return std::string(text, end);
}

double secondsOf(const std::string& text) {
  double seconds = 0;
  auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return status == std::errc() && seconds >= 0 && seconds <= 1e9 ? seconds : 0;
}

}  // namespace

ProgramSettings ReadProgramSettings(const std::string& iniPath) {
  auto read = [&](const char* key, const char* fallback = "") {
    return ps::GetPrivateProfileString(kSection, key, fallback, iniPath);
  };
  ProgramSettings settings;
  settings.volume = platform::text::textToInteger(read(kVolume, "50"));
  settings.keyword = read(kKeyword);
  settings.notify = read(kNotify, "1") != "0";
  KeptSong song;
  song.title = read(kTitle);
  song.singer = read(kSinger);
  const std::string list = read(kList);
  for (const auto& [which, name] : kListNames)
    if (list == name) song.list = which;
  song.row = song.list == SongList::Presets ? std::max(0, platform::text::textToInteger(read(kRow))) : 0;
  if (song.list == SongList::Address) song.url = read(kAddress);
  song.length = secondsOf(read(kLength));
  song.position = secondsOf(read(kPosition));
  if (!song.title.empty() && (song.list != SongList::Address || !song.url.empty())) settings.song = std::move(song);
  return settings;
}

bool WriteProgramSettings(const std::string& iniPath, const ProgramSettings& settings) {
  const KeptSong none;
  const KeptSong& song = settings.song ? *settings.song : none;
  std::string list;
  for (const auto& [which, name] : kListNames)
    if (settings.song && song.list == which) list = name;
  const std::vector<std::pair<std::string, std::string>> values{
      {kVolume, std::to_string(settings.volume)},
      {kTitle, quoted(song.title)},
      {kSinger, quoted(song.singer)},
      {kList, list},
      {kRow, song.row > 0 ? std::to_string(song.row) : std::string()},
      {kAddress, quoted(song.url)},
      {kLength, settings.song ? secondsText(song.length) : std::string()},
      {kPosition, settings.song ? secondsText(song.position) : std::string()},
      {kKeyword, quoted(settings.keyword)},
      {kNotify, settings.notify ? "1" : "0"},
  };
  return ps::WritePrivateProfileValues(kSection, values, iniPath);
}

SettingsKeeper::SettingsKeeper(BackgroundWriter& writer, std::string iniPath, ProgramSettings settings)
    : writer_(writer), path_(std::move(iniPath)), settings_(std::move(settings)) {}

ProgramSettings SettingsKeeper::settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

template <typename Change>
void SettingsKeeper::change(Change&& change) {
  // Submitted under the lock, so the writer's latest request is always the latest snapshot.
  std::lock_guard lock(mutex_);
  ProgramSettings changed = settings_;
  change(changed);
  if (changed == settings_) return;
  settings_ = changed;
  writer_.submit([path = path_, snapshot = std::move(changed)] { return WriteProgramSettings(path, snapshot); });
}

void SettingsKeeper::keepVolume(int volume) {
  change([volume](ProgramSettings& settings) { settings.volume = volume; });
}

void SettingsKeeper::keepSong(std::optional<KeptSong> song) {
  change([&song](ProgramSettings& settings) { settings.song = std::move(song); });
}

void SettingsKeeper::keepKeyword(const std::string& keyword) {
  change([&keyword](ProgramSettings& settings) { settings.keyword = keyword; });
}

}  // namespace app
