#include "app/PresetList.h"

#include "app/MainWindowParts.h"
#include "net/TextBetween.h"
#include "platform/system/Files.h"
#include "platform/system/ProgramFolder.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/ExList.h"

namespace app {
namespace {

constexpr char kPresetFile[] = "\\plugins\\js_rilu.txt";
constexpr char kPresetPicture[] = "\\Resource\\rilu.jpg";
constexpr std::string_view kLineEnd = "\r\n";

std::vector<std::string> presetFileLines(const std::string& folder) {
  const auto bytes = platform::system::readWholeFile(platform::system::pathInFolder(folder, kPresetFile));
  if (!bytes) return {};
  return PresetLines(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

}  // namespace

std::vector<std::string> PresetLines(std::string_view text) {
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

void LoadPresetList() {
  MainWindowParts& parts = mainParts();
  LoadPresetList(platform::system::programFolder(), parts.presetList, parts.presetImages);
}

void LoadPresetList(const std::string& folder, ui::controls::ExList& list, ui::ExImageList& pictures) {
  const std::vector<std::string> lines = presetFileLines(folder);
  if (lines.empty()) return;
  // Every row shows the same picture, so the list keeps one copy of it. A missing file
  // still takes its place and draws nothing.
  const auto picture = platform::system::readWholeFile(platform::system::pathInFolder(folder, kPresetPicture));
  const int pictureIndex = pictures.addFromMemory(picture.value_or(platform::system::ByteBlock()));
  for (const std::string& line : lines) {
    const int row = list.addRow(std::nullopt, pictureIndex);
    const std::string title = net::TextBetween(line, "title\":\"", "\"");
    const std::string singer = net::TextBetween(line, "singer\":\"", "\"");
    list.cellText(row, 1, title + "\r\n" + singer);
  }
  list.redraw();
}

std::string PresetUrlOfRow(int row) { return PresetUrlOfRow(platform::system::programFolder(), row); }

std::string PresetUrlOfRow(const std::string& folder, int row) {
  const std::vector<std::string> lines = presetFileLines(folder);
  if (row < 1 || static_cast<std::size_t>(row) > lines.size()) return {};
  return net::TextBetween(lines[static_cast<std::size_t>(row) - 1], "url\":\"", "\"");
}

}  // namespace app
