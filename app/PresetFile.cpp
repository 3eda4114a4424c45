#include "app/PresetFile.h"

#include <filesystem>

#include "net/TextBetween.h"
#include "platform/system/Files.h"
#include "platform/system/ProgramFolder.h"

namespace app {

std::vector<std::string> PresetLines(std::string_view text) {
  constexpr std::string_view kLineEnd = "\r\n";
  std::vector<std::string> lines;
  if (text.size() <= kSmallestPresetFile) return lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(kLineEnd, start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + kLineEnd.size();
  }
  return lines;
}

namespace {

constexpr char kPresetFile[] = "\\plugins\\js_rilu.txt";

std::string urlOfRow(const std::vector<std::string>& lines, int row) {
  if (row < 1 || static_cast<std::size_t>(row) > lines.size()) return {};
  return net::TextBetween(lines[static_cast<std::size_t>(row) - 1], "url\":\"", "\"");
}

bool namesSong(const std::string& line, const std::string& title, const std::string& singer) {
  return net::TextBetween(line, "title\":\"", "\"") == title && net::TextBetween(line, "singer\":\"", "\"") == singer;
}

}  // namespace

std::vector<std::string> PresetLinesOfFile(const std::string& path) {
  const auto bytes = platform::system::readWholeFile(path);
  if (!bytes) return {};
  return PresetLines(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

std::vector<std::string> PresetFileLines(const std::string& folder) {
  return PresetLinesOfFile(platform::system::pathInFolder(folder, kPresetFile));
}

std::string PresetFilePath(const platform::system::ProgramFiles& files) { return files.readPath(kPresetFile); }

std::string PresetUrlOfRow(const std::string& folder, int row) { return urlOfRow(PresetFileLines(folder), row); }

std::string PresetUrlOfSong(const platform::system::ProgramFiles& files, int row, const std::string& title,
                            const std::string& singer) {
  const auto lines = PresetLinesOfFile(PresetFilePath(files));
  if (row >= 1 && static_cast<std::size_t>(row) <= lines.size() &&
      namesSong(lines[static_cast<std::size_t>(row) - 1], title, singer))
    return urlOfRow(lines, row);
  for (const std::string& line : lines) {
    if (namesSong(line, title, singer)) return net::TextBetween(line, "url\":\"", "\"");
  }
  return {};
}

PresetFileStamp StampOfPresetFile(const std::string& path) {
  // Taken as UTF-8 on every system.
  const std::filesystem::path file(std::u8string(path.begin(), path.end()));
  std::error_code failed;
  PresetFileStamp stamp;
  stamp.size = std::filesystem::file_size(file, failed);
  if (failed) return {};
  const auto changed = std::filesystem::last_write_time(file, failed);
  if (failed) return {};
  stamp.changed = changed.time_since_epoch().count();
  return stamp;
}

}  // namespace app
