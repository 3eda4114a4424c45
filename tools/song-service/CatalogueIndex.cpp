#include "tools/song-service/CatalogueIndex.h"

#include <charconv>

namespace songservice {
namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

template <typename Number>
bool parseNumber(std::string_view text, Number& out) {
  auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), out);
  return status == std::errc() && end == text.data() + text.size() && out > 0;
}

}  // namespace

bool isPlainFileName(std::string_view name) {
  if (name.empty() || name.front() == '.') return false;
  for (char c : name) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '_' || c == '.';
    if (!plain) return false;
  }
  return true;
}

std::string formatIndex(const CatalogueIndex& index) {
  std::string text = "# Tunora demo catalogue (UTF-8, TAB-separated)\n";
  for (const IndexSinger& singer : index.singers)
    text += "singer\t" + singer.name + "\t" + singer.picture + "\n";
  for (const IndexSong& song : index.songs) {
    text += "song\t" + std::to_string(song.id) + "\t" + song.file + "\t" + song.title + "\t" +
            song.singer + "\t" + song.album + "\t" + std::to_string(song.sampleRate) + "\t" +
            std::to_string(song.channels) + "\t" + std::to_string(song.samples) + "\t" +
            song.encoding + "\n";
  }
  return text;
}

std::optional<CatalogueIndex> parseIndex(std::string_view text, std::string* error) {
  CatalogueIndex index;
  int lineNumber = 0;
  auto fail = [&](const char* what) -> std::optional<CatalogueIndex> {
    if (error) *error = "line " + std::to_string(lineNumber) + ": " + what;
    return std::nullopt;
  };
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    for (char c : line)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return fail("control character");

    std::vector<std::string_view> fields = splitFields(line);
    if (fields[0] == "singer") {
      if (fields.size() != 3) return fail("a singer needs a name and a picture");
      IndexSinger singer{std::string(fields[1]), std::string(fields[2])};
      if (singer.name.empty() || !isPlainFileName(singer.picture))
        return fail("bad singer name or picture file");
      index.singers.push_back(std::move(singer));
    } else if (fields[0] == "song") {
      if (fields.size() != 10) return fail("a song needs nine fields");
      IndexSong song;
      song.file = fields[2];
      song.title = fields[3];
      song.singer = fields[4];
      song.album = fields[5];
      song.encoding = fields[9];
      if (!parseNumber(fields[1], song.id) || !parseNumber(fields[6], song.sampleRate) ||
          !parseNumber(fields[7], song.channels) || !parseNumber(fields[8], song.samples))
        return fail("id, rate, channels and samples must be positive numbers");
      if (!isPlainFileName(song.file)) return fail("bad media file name");
      if (song.title.empty() || song.singer.empty()) return fail("a song needs a title and a singer");
      index.songs.push_back(std::move(song));
    } else {
      return fail("unknown record");
    }
  }
  return index;
}

}  // namespace songservice
